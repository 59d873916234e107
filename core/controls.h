#pragma once

#include <QCheckBox>
#include <QColor>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPixmap>
#include <QTimer>
#include <QWidget>

#include "core/twips.h"

// Fonts of the system's windows, by face and point size.
namespace fonts {
QFont tahoma(double points = 8.25, bool bold = false);
QFont timesItalic(double points);
QFont byName(const QString &family, double points, bool bold = false, bool italic = false);
}  // namespace fonts

QColor RGB(int red, int green, int blue);

// One of the compiled-in pictures (":/launch.png"), read by the format its name gives. Reading
// it by name alone would first offer it to every picture format plug-in, loading them all.
QPixmap compiledInPicture(const QString &resource);

void setForeColor(QWidget *w, const QColor &color);
QColor foreColor(const QWidget *w);

class Label : public QLabel {
    Q_OBJECT
  public:
    Label(QWidget *parent, const QString &name, const QString &caption, double left, double top,
          double width, double height, Qt::Alignment align = Qt::AlignLeft);
    QString Caption() const { return text(); }
    void setCaption(const QString &caption) { setText(caption); }
    // An opaque label takes this back colour; labels are transparent otherwise.
    void setBackColor(const QColor &color);

  signals:
    void Click();

  protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

  private:
    bool m_pressed = false;
};

// White text over a window's picture, the labels' usual look.
Label *whiteLabel(QWidget *parent, const QString &name, const QString &caption, double left,
                  double top, double width, double height, Qt::Alignment align = Qt::AlignLeft);

class TextBox : public QLineEdit {
    Q_OBJECT
  public:
    TextBox(QWidget *parent, const QString &name, double left, double top, double width,
            double height, bool password = false);
    QString Text() const { return text(); }
};

// Value 1 ticked, 0 clear; a change of the value, by the user or by code, is a click.
class CheckBox : public QCheckBox {
    Q_OBJECT
  public:
    CheckBox(QWidget *parent, const QString &name, const QString &caption, double left, double top,
             double width, double height);
    int Value() const { return isChecked() ? 1 : 0; }
    void setValue(int value) { setChecked(value == 1); }

  signals:
    void Click();
};

// A one-pixel line between two points given in the parent's twips.
class Line : public QWidget {
    Q_OBJECT
  public:
    Line(QWidget *parent, const QString &name, double x1, double y1, double x2, double y2,
         const QColor &color);
    QColor color() const { return m_color; }

  protected:
    void paintEvent(QPaintEvent *event) override;

  private:
    QColor m_color;
    bool m_vertical;
};

// A picture shown at its natural size from the top-left corner.
class Image : public QLabel {
    Q_OBJECT
  public:
    Image(QWidget *parent, const QString &name, double left, double top, double width,
          double height);
    void setPicture(const QPixmap &picture);
    QPixmap Picture() const { return m_picture; }

  private:
    QPixmap m_picture;
};

// A list of the files of a folder that match a pattern; a change of selection is a click.
class FileList : public QListWidget {
    Q_OBJECT
  public:
    FileList(QWidget *parent, const QString &name, double left, double top, double width,
             double height);
    // False when the folder cannot be listed: the list keeps its folder.
    bool setPath(const QString &path);
    QString Path() const { return m_path; }
    void setPattern(const QString &pattern);
    QString FileName() const;

  signals:
    void Click();

  protected:
    // Only a left press (or the keyboard) picks an entry; the others change nothing.
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

  private:
    void refresh();
    void fill(const QStringList &names);
    QString m_path;
    QString m_pattern = QStringLiteral("*.*");
};

// A timer whose enabling restarts its count, and which keeps its interval to the
// millisecond: the colour steps and the icon's swing are counted in ticks.
class Timer : public QTimer {
    Q_OBJECT
  public:
    Timer(QObject *parent, const QString &name, int intervalMs, bool enabled);
    bool Enabled() const { return isActive(); }
    void setEnabled(bool enabled);
};
