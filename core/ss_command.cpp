#include "core/ss_command.h"

#include <QAccessible>
#include <QKeyEvent>
#include <QPainter>

#include "core/accessibility.h"
#include "core/controls.h"
#include "core/ss_panel.h"

SSCommand::SSCommand(QWidget *parent, const QString &name, const QString &caption, double left,
                     double top, double width, double height)
    : QAbstractButton(parent) {
    setObjectName(name);
    setFont(fonts::tahoma());
    setFocusPolicy(Qt::StrongFocus);
    setText(caption);
    twips::place(this, left, top, width, height);
    connect(this, &QAbstractButton::clicked, this, &SSCommand::Click);
}

void SSCommand::setCaption(const QString &caption) {
    setText(caption);
    // A screen reader hears the new caption at once (a caption typed for a launch button).
    QAccessibleEvent renamed(this, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&renamed);
    update();
}

QPixmap SSCommand::Picture() const {
    while (!m_pending.isEmpty()) {
        const QPixmap decoded = m_pending.takeLast()();
        if (decoded.isNull()) continue;
        m_picture = decoded;
        m_pending.clear();
    }
    return m_picture;
}

void SSCommand::setPictureLater(std::function<QPixmap()> decode) {
    m_pending.append(std::move(decode));
    update();
}

void SSCommand::setPicture(const QPixmap &picture) {
    m_pending.clear();
    m_picture = picture;
    update();
}

void SSCommand::setBevelWidth(int width) {
    m_bevelWidth = width;
    update();
}

void SSCommand::setFont3D(int style) {
    m_font3D = style;
    update();
}

void SSCommand::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    const QRect all = rect();
    painter.fillRect(all, QColor(192, 192, 192));
    painter.setPen(QColor(0, 0, 0));
    painter.drawRect(all.adjusted(0, 0, -1, -1));
    const bool down = isDown();
    drawBevel(painter, all.adjusted(1, 1, -1, -1), m_bevelWidth, !down);

    const int inset = 1 + m_bevelWidth;
    QRect inner = all.adjusted(inset, inset, -inset, -inset);
    if (down) inner.translate(1, 1);
    const QString caption = text();
    const QFontMetrics metrics(font());
    const int textHeight = caption.isEmpty() ? 0 : metrics.height();

    const QPixmap picture = Picture();
    if (!picture.isNull()) {
        const QSize ps = picture.deviceIndependentSize().toSize();
        const int gap = textHeight ? 2 : 0;
        const int block = ps.height() + gap + textHeight;
        const int y = inner.top() + qMax(0, (inner.height() - block) / 2);
        // A user's icon of one size is scaled on a screen of another density: smoothly.
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawPixmap(inner.left() + (inner.width() - ps.width()) / 2, y, picture);
        inner.setTop(y + ps.height() + gap);
        inner.setHeight(textHeight);
    }
    if (!caption.isEmpty()) {
        painter.setFont(font());
        const int flags = Qt::AlignCenter | Qt::TextShowMnemonic;
        if (!isEnabled()) {
            painter.setPen(QColor(255, 255, 255));
            painter.drawText(inner.translated(1, 1), flags, caption);
            painter.setPen(QColor(128, 128, 128));
        } else if (m_font3D == 1) {
            painter.setPen(QColor(255, 255, 255));
            painter.drawText(inner.translated(-1, -1), flags, caption);
            painter.setPen(QColor(0, 0, 0));
        } else {
            painter.setPen(QColor(0, 0, 0));
        }
        painter.drawText(inner, flags, caption);
    }
    // The focus mark is for keyboard users, as on the original platform's buttons.
    if (hasFocus() && window()->testAttribute(Qt::WA_KeyboardFocusChange)) {
        QPen pen(QColor(0, 0, 0), 1, Qt::DotLine);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(all.adjusted(inset + 1, inset + 1, -inset - 2, -inset - 2));
    }
}

namespace {

// Enter and Return press as Space does, the key the toolkit's buttons press with.
bool isEnter(const QKeyEvent *event) {
    return event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
}

}  // namespace

void SSCommand::keyPressEvent(QKeyEvent *event) {
    if (!isEnter(event)) return QAbstractButton::keyPressEvent(event);
    QKeyEvent space(event->type(), Qt::Key_Space, event->modifiers(), QStringLiteral(" "),
                    event->isAutoRepeat());
    QAbstractButton::keyPressEvent(&space);
    event->setAccepted(space.isAccepted());
}

void SSCommand::keyReleaseEvent(QKeyEvent *event) {
    if (!isEnter(event)) return QAbstractButton::keyReleaseEvent(event);
    QKeyEvent space(event->type(), Qt::Key_Space, event->modifiers(), QStringLiteral(" "),
                    event->isAutoRepeat());
    QAbstractButton::keyReleaseEvent(&space);
    event->setAccepted(space.isAccepted());
}

bool SSCommand::event(QEvent *event) {
    // The access key of a button outside its window (the fourth launch button of the
    // three-button layout) is as unreachable as its click.
    if (event->type() == QEvent::Shortcut && !accessibility::seenByUser(this)) return true;
    return QAbstractButton::event(event);
}
