#include "core/ss_panel.h"

#include <QMouseEvent>
#include <QPainter>

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
    : QWidget(parent), m_caption(caption), m_backColor(192, 192, 192), m_foreColor(0, 0, 0) {
    setObjectName(name);
    setFont(fonts::tahoma());
    twips::place(this, left, top, width, height);
}

void SSPanel::setCaption(const QString &caption) {
    m_caption = caption;
    update();
}

void SSPanel::setBevelOuter(int bevel) {
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
