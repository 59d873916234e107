#pragma once

#include <QColor>
#include <QWidget>

// Bevelled panel that reacts to clicks and to mouse buttons going down and up; it can
// also hold other controls. Handlers show the pressed look through its outer bevel.
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

  signals:
    void Click();
    void MouseDown(Qt::MouseButton button);
    void MouseUp(Qt::MouseButton button);

  protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

  private:
    QString m_caption;
    QColor m_backColor;
    QColor m_foreColor;
    int m_bevelOuter = Raised;
    int m_bevelWidth = 1;
    Qt::MouseButtons m_down;
};

// Draws a bevel of `width` pixels inside `rect`, raised or inset.
void drawBevel(class QPainter &painter, const QRect &rect, int width, bool raised);
