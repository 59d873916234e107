#pragma once

#include <QAbstractButton>
#include <QLabel>
#include <QPixmap>
#include <QPointer>
#include <functional>

// Three-dimensional push button: grey face, bevel of a chosen width, an optional picture
// above the caption, and a caption that may be drawn raised.
class SSCommand : public QAbstractButton {
    Q_OBJECT
  public:
    SSCommand(QWidget *parent, const QString &name, const QString &caption, double left, double top,
              double width, double height);

    QString Caption() const { return text(); }
    void setCaption(const QString &caption);
    QPixmap Picture() const;
    void setPicture(const QPixmap &picture);
    // A picture decoded when it is first drawn or asked for. One that then proves no picture
    // leaves the one set before it, as a picture that fails to load does.
    void setPictureLater(std::function<QPixmap()> decode);
    int BevelWidth() const { return m_bevelWidth; }
    void setBevelWidth(int width);
    // 0 flat caption, 1 raised caption.
    int Font3D() const { return m_font3D; }
    void setFont3D(int style);
    // Screen readers describe the button by this label's caption, whatever it holds then.
    void describeBy(QLabel *label) { m_describedBy = label; }
    QString description() const { return m_describedBy ? m_describedBy->text() : QString(); }

  signals:
    void Click();

  protected:
    void paintEvent(QPaintEvent *event) override;
    QSize sizeHint() const override { return size(); }
    // Enter works as Space does: down while held, the click when let go.
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    bool event(QEvent *event) override;

  private:
    mutable QPixmap m_picture;
    mutable QList<std::function<QPixmap()>> m_pending;  // not decoded yet, the latest last
    int m_bevelWidth = 2;
    int m_font3D = 0;
    QPointer<QLabel> m_describedBy;
};
