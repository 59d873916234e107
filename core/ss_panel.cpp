#include "core/ss_panel.h"

#include <QAccessible>
#include <QKeyEvent>
#include <QMetaMethod>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QShortcutEvent>

#include "core/controls.h"

void drawBevel(QPainter &painter, const QRect &rect, int width, bool raised) {
    const QColor light(255, 255, 255), dark(128, 128, 128);
    const QColor topLeft = raised ? light : dark, bottomRight = raised ? dark : light;
    QRect r = rect;
    for (int i = 0; i < width && r.width() > 1 && r.height() > 1; ++i) {
        painter.setPen(topLeft);
        painter.drawLine(r.topLeft(), r.topRight() - QPoint(1, 0));
        painter.drawLine(r.topLeft(), r.bottomLeft() - QPoint(0, 1));
        painter.setPen(bottomRight);
        painter.drawLine(r.bottomLeft(), r.bottomRight());
        painter.drawLine(r.topRight(), r.bottomRight());
        r.adjust(1, 1, -1, -1);
    }
}

SSPanel::SSPanel(QWidget *parent, const QString &name, const QString &caption, double left,
                 double top, double width, double height)
    : QWidget(parent), m_backColor(192, 192, 192), m_foreColor(0, 0, 0) {
    setObjectName(name);
    setFont(fonts::tahoma());
    m_caption = caption;
    grabAccessKey();
    twips::place(this, left, top, width, height);
    // As long as a mouse click lets the button down show: the toolkit's buttons do the same.
    m_animate.setSingleShot(true);
    m_animate.setInterval(100);
    connect(&m_animate, &QTimer::timeout, this, [this] {
        QPointer<SSPanel> self(this);
        emit MouseUp(Qt::LeftButton);
        if (self && isVisible() && isEnabled()) emit Click();
    });
}

void SSPanel::setCaption(const QString &caption) {
    m_caption = caption;
    grabAccessKey();
    QAccessibleEvent renamed(this, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&renamed);
    update();
}

void SSPanel::grabAccessKey() {
    if (m_shortcutId) releaseShortcut(m_shortcutId);
    const QKeySequence accessKey = QKeySequence::mnemonic(m_caption);
    m_shortcutId = accessKey.isEmpty() ? 0 : grabShortcut(accessKey);
}

void SSPanel::setBevelOuter(int bevel) {
    if (m_push && (bevel == Inset) != (m_bevelOuter == Inset)) {
        QAccessible::State pressed;
        pressed.pressed = true;
        QAccessibleStateChangeEvent changed(this, pressed);
        QAccessible::updateAccessibility(&changed);
    }
    m_bevelOuter = bevel;
    update();
}

void SSPanel::setBevelWidth(int width) {
    m_bevelWidth = width;
    update();
}

void SSPanel::setBackColor(const QColor &color) {
    m_backColor = color;
    update();
}

void SSPanel::setForeColor(const QColor &color) {
    m_foreColor = color;
    update();
}

void SSPanel::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    painter.fillRect(rect(), m_backColor);
    if (m_bevelOuter != None) drawBevel(painter, rect(), m_bevelWidth, m_bevelOuter == Raised);
    if (!m_caption.isEmpty()) {
        painter.setPen(isEnabled() ? m_foreColor : QColor(128, 128, 128));
        painter.setFont(font());
        // The inset look shifts the caption by a pixel, like a pressed key.
        const QRect area = m_bevelOuter == Inset ? rect().translated(1, 1) : rect();
        painter.drawText(area, Qt::AlignCenter | Qt::TextShowMnemonic, m_caption);
    }
    // The focus mark only once the keyboard is used in the window, as on the push buttons.
    if (hasFocus() && window()->testAttribute(Qt::WA_KeyboardFocusChange)) {
        painter.setPen(QPen(QColor(0, 0, 0), 1, Qt::DotLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(rect().adjusted(2, 2, -3, -3));
    }
}

void SSPanel::mousePressEvent(QMouseEvent *event) {
    m_down |= event->button();
    emit MouseDown(event->button());
}

void SSPanel::mouseReleaseEvent(QMouseEvent *event) {
    const bool wasDown = m_down.testFlag(event->button());
    m_down &= ~event->button();
    emit MouseUp(event->button());
    if (wasDown && event->button() == Qt::LeftButton &&
        rect().contains(event->position().toPoint()))
        emit Click();
}

namespace {

bool isPressKey(int key) {
    return key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter ||
           key == Qt::Key_Select;
}

}  // namespace

void SSPanel::keyPressEvent(QKeyEvent *event) {
    if (!m_push || !isPressKey(event->key())) {
        QWidget::keyPressEvent(event);
        return;
    }
    // A held key repeats only its press: the panel stays down, as under a held mouse button.
    if (!event->isAutoRepeat() && !m_keyDown && !m_animate.isActive()) {
        m_keyDown = event->key();
        emit MouseDown(Qt::LeftButton);
    }
}

void SSPanel::keyReleaseEvent(QKeyEvent *event) {
    if (!m_push || !isPressKey(event->key())) {
        QWidget::keyReleaseEvent(event);
        return;
    }
    if (event->isAutoRepeat() || event->key() != m_keyDown) return;
    m_keyDown = 0;
    QPointer<SSPanel> self(this);
    emit MouseUp(Qt::LeftButton);
    if (self && isVisible() && isEnabled()) emit Click();
}

void SSPanel::animateClick() {
    if (!m_push || m_keyDown || m_animate.isActive() || !isVisible() || !isEnabled()) return;
    emit MouseDown(Qt::LeftButton);
    m_animate.start();
}

void SSPanel::cancelKeyPress() {
    if (!m_keyDown && !m_animate.isActive()) return;
    m_keyDown = 0;
    m_animate.stop();
    emit MouseUp(Qt::LeftButton);
}

void SSPanel::focusOutEvent(QFocusEvent *event) {
    cancelKeyPress();
    QWidget::focusOutEvent(event);
    update();
}

void SSPanel::hideEvent(QHideEvent *event) {
    cancelKeyPress();
    QWidget::hideEvent(event);
}

bool SSPanel::event(QEvent *event) {
    if (event->type() == QEvent::Shortcut) {
        auto *shortcut = static_cast<QShortcutEvent *>(event);
        if (shortcut->shortcutId() != m_shortcutId) return QWidget::event(event);
        if (!shortcut->isAmbiguous()) {
            animateClick();
        } else if (m_push) {
            // Two controls share the key: it moves between them, as on the push buttons.
            setFocus(Qt::ShortcutFocusReason);
        }
        return true;
    }
    if (event->type() == QEvent::EnabledChange && !isEnabled()) cancelKeyPress();
    return QWidget::event(event);
}

void SSPanel::connectNotify(const QMetaMethod &signal) {
    if (!m_push && (signal == QMetaMethod::fromSignal(&SSPanel::Click) ||
                    signal == QMetaMethod::fromSignal(&SSPanel::MouseDown))) {
        m_push = true;
        // Tab reaches it; a mouse click leaves the focus where it was, as it always did.
        setFocusPolicy(Qt::TabFocus);
    }
    QWidget::connectNotify(signal);
}
