#include "core/controls.h"

#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QMouseEvent>
#include <QPainter>
#include <QVariant>
#include <limits>

#include "core/accessibility.h"
#include "core/host_services.h"
#include "core/twips.h"

namespace pictures {
namespace {
// Read by the format its name gives: by name alone it would first be offered to every
// picture format plug-in, loading them all.
QPixmap compiledIn(const QString &resource) {
    QImageReader reader(resource, QFileInfo(resource).suffix().toLatin1());
    reader.setAutoDetectImageFormat(false);
    return QPixmap::fromImage(reader.read());
}
}  // namespace

QPixmap builtIn(const QString &resource, qreal ratio) {
    if (ratio > 1) {
        const int dot = int(resource.lastIndexOf(QLatin1Char('.')));
        QPixmap dense = compiledIn(resource.left(dot) + QStringLiteral("@2x") + resource.mid(dot));
        if (!dense.isNull()) {
            dense.setDevicePixelRatio(2);
            return dense;
        }
    }
    return compiledIn(resource);
}
}  // namespace pictures

namespace fonts {

QFont byName(const QString &family, double points, bool bold, bool italic) {
    QFont font(family);
    font.setPointSizeF(points);
    font.setBold(bold);
    font.setItalic(italic);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

QFont tahoma(double points, bool bold) {
    return byName(QStringLiteral("Tahoma"), points, bold, false);
}

QFont timesItalic(double points) {
    return byName(QStringLiteral("Times New Roman"), points, false, true);
}

}  // namespace fonts

QColor RGB(int red, int green, int blue) {
    return QColor(qBound(0, red, 255), qBound(0, green, 255), qBound(0, blue, 255));
}

void setForeColor(QWidget *w, const QColor &color) {
    QPalette palette = w->palette();
    palette.setColor(QPalette::WindowText, color);
    palette.setColor(QPalette::Text, color);
    palette.setColor(QPalette::ButtonText, color);
    w->setPalette(palette);
}

QColor foreColor(const QWidget *w) {
    return w->palette().color(QPalette::WindowText);
}

Label::Label(QWidget *parent, const QString &name, const QString &caption, double left, double top,
             double width, double height, Qt::Alignment align)
    : QLabel(caption, parent) {
    setObjectName(name);
    setFont(fonts::tahoma());
    setAlignment(align | Qt::AlignTop);
    setWordWrap(true);
    setTextFormat(Qt::PlainText);
    setAttribute(Qt::WA_TranslucentBackground);
    setAutoFillBackground(false);
    twips::place(this, left, top, width, height);
}

Label *whiteLabel(QWidget *parent, const QString &name, const QString &caption, double left,
                  double top, double width, double height, Qt::Alignment align) {
    auto *label = new Label(parent, name, caption, left, top, width, height, align);
    setForeColor(label, Qt::white);
    return label;
}

void Label::setBackColor(const QColor &color) {
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, color);
    setPalette(palette);
    setAttribute(Qt::WA_TranslucentBackground, false);
    // Turning translucency on also set this, which keeps the fill from being painted: text
    // that changes would then be drawn over its old pixels.
    setAttribute(Qt::WA_NoSystemBackground, false);
    setAutoFillBackground(true);
}

void Label::mousePressEvent(QMouseEvent *event) {
    m_pressed = event->button() == Qt::LeftButton;
    QLabel::mousePressEvent(event);
}

void Label::mouseReleaseEvent(QMouseEvent *event) {
    const bool click = m_pressed && event->button() == Qt::LeftButton &&
                       rect().contains(event->position().toPoint());
    m_pressed = false;
    QLabel::mouseReleaseEvent(event);
    if (click) emit Click();
}

TextBox::TextBox(QWidget *parent, const QString &name, double left, double top, double width,
                 double height, bool password)
    : QLineEdit(parent) {
    setObjectName(name);
    setFont(fonts::tahoma());
    // A field shows a stored text whole: a cut one would be written back cut.
    setMaxLength(std::numeric_limits<int>::max());
    if (password) {
        setEchoMode(QLineEdit::Password);
        // One "*" per character, whatever the style would draw.
        setStyleSheet(QStringLiteral("QLineEdit { lineedit-password-character: 42; }"));
    }
    twips::place(this, left, top, width, height);
}

CheckBox::CheckBox(QWidget *parent, const QString &name, const QString &caption, double left,
                   double top, double width, double height)
    : QCheckBox(caption, parent) {
    setObjectName(name);
    setFont(fonts::tahoma());
    twips::place(this, left, top, width, height);
    connect(this, &QCheckBox::toggled, this, &CheckBox::Click);
}

Line::Line(QWidget *parent, const QString &name, double x1, double y1, double x2, double y2,
           const QColor &color)
    : QWidget(parent), m_color(color), m_vertical(x1 == x2) {
    setObjectName(name);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    accessibility::setDecorative(this);
    const double left = qMin(x1, x2), top = qMin(y1, y2);
    const double px = twips::perPixel();
    if (m_vertical) {
        twips::place(this, left, top, px, qAbs(y2 - y1) + px);
    } else {
        twips::place(this, left, top, qAbs(x2 - x1) + px, px);
    }
}

void Line::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    painter.fillRect(rect(), m_color);
}

Image::Image(QWidget *parent, const QString &name, double left, double top, double width,
             double height)
    : QLabel(parent) {
    setObjectName(name);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setAttribute(Qt::WA_TranslucentBackground);
    twips::place(this, left, top, width, height);
}

void Image::setPicture(const QPixmap &picture) {
    m_picture = picture;
    setPixmap(picture);
}

FileList::FileList(QWidget *parent, const QString &name, double left, double top, double width,
                   double height)
    : QListWidget(parent), m_path(QDir::currentPath()) {
    setObjectName(name);
    setFont(fonts::tahoma());
    setSelectionMode(QAbstractItemView::SingleSelection);
    twips::place(this, left, top, width, height);
    connect(this, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0) emit Click();
    });
}

bool FileList::setPath(const QString &path) {
    QStringList names;
    if (!host().listFiles(path, m_pattern, &names)) return false;
    m_path = path;
    fill(names);
    return true;
}

void FileList::setPattern(const QString &pattern) {
    m_pattern = pattern;
    refresh();
}

QString FileList::FileName() const {
    const QListWidgetItem *item = currentItem();
    return item ? item->text() : QString();
}

// A press of any button makes the entry under it current, and a change of the current entry
// is a click: a right or middle press would pick a Membrane the user only pointed at.
void FileList::mousePressEvent(QMouseEvent *event) {
    if (event->button() == Qt::LeftButton) QListWidget::mousePressEvent(event);
}

void FileList::mouseDoubleClickEvent(QMouseEvent *event) {
    if (event->button() == Qt::LeftButton) QListWidget::mouseDoubleClickEvent(event);
}

void FileList::mouseReleaseEvent(QMouseEvent *event) {
    if (event->button() == Qt::LeftButton) QListWidget::mouseReleaseEvent(event);
}

void FileList::refresh() {
    QStringList names;
    host().listFiles(m_path, m_pattern, &names);
    fill(names);
}

void FileList::fill(const QStringList &names) {
    const QSignalBlocker blocker(this);
    clear();
    addItems(names);
    // A list view taking the focus makes its first entry current unless a current entry was
    // ever set, which would count as a click nobody made. "None" counts as set.
    setCurrentIndex(QModelIndex());
}

Timer::Timer(QObject *parent, const QString &name, int intervalMs, bool enabled) : QTimer(parent) {
    setObjectName(name);
    setInterval(intervalMs);
    setTimerType(Qt::PreciseTimer);
    if (enabled) start();
}

void Timer::setEnabled(bool enabled) {
    if (enabled) {
        start();
    } else {
        stop();
    }
}
