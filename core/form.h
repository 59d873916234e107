#pragma once

#include <QPixmap>
#include <QPoint>
#include <QWidget>
#include <utility>

#include "core/host_services.h"

class Label;
class Line;
class QLabel;

// The window base every window of the system shares: a client area given in twips, a
// thin fixed frame drawn over its outermost pixels, a background picture, and the
// heading, rule and credit strip of the common look.
class Form : public QWidget {
    Q_OBJECT
  public:
    enum Frame {
        Tool,       // no title bar, no task bar entry
        Frameless,  // no title bar, with a task bar entry
        Titled,     // an ordinary window with a title bar and a task bar entry
    };

    Form(const char *name, double widthTwips, double heightTwips, Frame frame);

    // Runs once, when the registry creates the window.
    virtual void Form_Load() {}

    double Left() const;
    double Top() const;
    double Width() const;
    double Height() const;
    void setLeft(double value);
    void setTop(double value);

    void Show();
    void SetFocus();
    bool Visible() const { return isVisible(); }
    // Left = (screen width - width) / 2, Top = (screen height - height) / 2, in twips, on
    // the screen of the home window.
    void centre();
    // The window whose screen the centred windows come up on (the bar).
    static void setHomeWindow(QWidget *home);

    // What names the window to a screen reader: its heading, or the label set here.
    QLabel *headingLabel() const { return m_heading; }
    void setHeadingLabel(QLabel *label) { m_heading = label; }

    // The background; a built-in or loaded one is decoded when it is first needed.
    QPixmap Picture() const;
    void setPicture(const QPixmap &picture);
    // One of the compiled-in pictures (":/bar.jpg"), decoded on first use.
    void setBuiltInPicture(const QString &resource);
    // Takes another window's current background, without decoding it yet.
    void copyPictureFrom(const Form &other);
    // Loads a picture file as the background; false (background unchanged) when it fails.
    // The file is checked and read at once and decoded when first drawn, so that a window
    // loaded before it is shown is on its way to the screen meanwhile; data that proves no
    // picture then leaves the background as it was, as a failed load does.
    bool loadPicture(const QString &path);

  protected:
    Label *heading(const QString &text, double left, double top, double width, double height,
                   double points);
    Line *rule(const QString &name, double x1, double x2, double y);
    // Black strip along the bottom that carries the white one-line credit itself.
    Label *creditStrip(const QString &name, double left, double top, double width);
    // The same strip with the credit in a label of its own over it: (strip, text).
    std::pair<Label *, Label *> creditStrip(const QString &stripName, double stripLeft,
                                            double stripTop, double stripWidth,
                                            const QString &textName, double textLeft,
                                            double textTop, double textWidth, double textHeight);

    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

    // What a close request from the window manager (Alt+F4, a task bar's close) does: the
    // window's own way out, its "&Return", "&Cancel" or "&No". A window without such a
    // button is unloaded. Never a bare hide, which would leave it loaded with nothing to
    // bring it back.
    virtual void wayOut();
    void closeEvent(QCloseEvent *event) override;
    bool focusNextPrevChild(bool next) override;

  private:
    QLabel *m_heading = nullptr;
    mutable QPixmap m_picture;
    mutable QString m_pictureSource;                // built-in picture not decoded yet
    mutable HostServices::PictureDecoder m_decode;  // loaded picture not decoded yet
    Frame m_frame;
    bool m_placed = false;  // placed while hidden: place again once mapped
    QPoint m_wantedPos;
    bool m_replaceAfterMap = false;
};

// The one-line credit every window with a credit strip carries.
extern const char *const kCreditText;
