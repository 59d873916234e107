#pragma once

#include <QColor>
#include <QTimer>
#include <QWidget>

// Bevelled panel that reacts to clicks and to mouse buttons going down and up; it can
// also hold other controls. Handlers show the pressed look through its outer bevel.
// A panel with a click or press handler is a push panel: the keyboard reaches it, and Space
// or Enter held on it, or its access key, go down and up like the left mouse button.
class SSPanel : public QWidget {
    Q_OBJECT
  public:
    enum Bevel { None = 0, Inset = 1, Raised = 2 };

    SSPanel(QWidget *parent, const QString &name, const QString &caption, double left, double top,
            double width, double height);

    QString Caption() const { return m_caption; }
    void setCaption(const QString &caption);
    int BevelOuter() const { return m_bevelOuter; }
    void setBevelOuter(int bevel);
    int BevelWidth() const { return m_bevelWidth; }
    void setBevelWidth(int width);
    QColor BackColor() const { return m_backColor; }
    void setBackColor(const QColor &color);
    void setForeColor(const QColor &color);

    bool isPushPanel() const { return m_push; }
    // Down, a moment held, up and click, as an access key or a screen reader presses it.
    void animateClick();
    // How long that press holds the panel down (a tenth of a second unless set).
    void setActionHold(int ms) { m_animate.setInterval(ms); }

  signals:
    void Click();
    void MouseDown(Qt::MouseButton button);
    void MouseUp(Qt::MouseButton button);

  protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    bool event(QEvent *event) override;
    void connectNotify(const QMetaMethod &signal) override;

  private:
    // A key or an access key let go without its click: focus gone, panel hidden.
    void cancelKeyPress();
    void grabAccessKey();
    QString m_caption;
    QColor m_backColor;
    QColor m_foreColor;
    int m_bevelOuter = Raised;
    int m_bevelWidth = 1;
    Qt::MouseButtons m_down;
    bool m_push = false;
    int m_keyDown = 0;  // the key holding the panel down
    int m_shortcutId = 0;
    QTimer m_animate;
};

// Draws a bevel of `width` pixels inside `rect`, raised or inset.
void drawBevel(class QPainter &painter, const QRect &rect, int width, bool raised);
