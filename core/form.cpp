#include "core/form.h"

#include <QApplication>
#include <QChildEvent>
#include <QCloseEvent>
#include <QEvent>
#include <QFocusFrame>
#include <QHash>
#include <QPainter>
#include <QPointer>
#include <QWindow>

#include "core/accessibility.h"
#include "core/controls.h"
#include "core/host_services.h"
#include "core/twips.h"
#include "core/window_registry.h"

const char *const kCreditText = "TALVENDOK - a launcher bar of your own";

namespace {

// The thin fixed frame of a window without a title bar, over the outermost pixels of its
// client area. Painted by the window itself it would lie under the controls along the
// edges, so it is a child kept above all the others. A focus frame is Qt's decoration
// drawn over other widgets: it takes no clicks and no focus, and is no part of the
// accessibility tree.
class FrameOverlay : public QFocusFrame {
  public:
    explicit FrameOverlay(QWidget *form) : QFocusFrame(form) {
        setObjectName(QStringLiteral("frame"));
        setGeometry(form->rect());
        form->installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (watched != parent()) {
            // A control raised later would cover the frame again.
            if (event->type() == QEvent::ZOrderChange) keepOnTop();
            return false;
        }
        switch (event->type()) {
            case QEvent::ChildAdded:
                static_cast<QChildEvent *>(event)->child()->installEventFilter(this);
                keepOnTop();
                break;
            case QEvent::ChildPolished:
                keepOnTop();
                break;
            case QEvent::Resize: {
                const QRect inside = parentWidget()->rect();
                setGeometry(inside);
                // Only the outermost pixels: the rest never repaints for the frame's sake.
                setMask(QRegion(inside).subtracted(inside.adjusted(1, 1, -1, -1)));
                break;
            }
            default:
                break;
        }
        return false;
    }

    void paintEvent(QPaintEvent *) override {
        // Filled, not stroked: a stroked line at a device pixel ratio above 1 leaves the
        // outermost device pixels of the frame unpainted.
        QPainter painter(this);
        const QRect r = rect();
        const QColor frame(64, 64, 64);
        painter.fillRect(QRect(0, 0, r.width(), 1), frame);
        painter.fillRect(QRect(0, r.height() - 1, r.width(), 1), frame);
        painter.fillRect(QRect(0, 0, 1, r.height()), frame);
        painter.fillRect(QRect(r.width() - 1, 0, 1, r.height()), frame);
    }

  private:
    void keepOnTop() {
        const QObjectList &siblings = parent()->children();
        if (!siblings.isEmpty() && siblings.last() != this) raise();
    }
};

}  // namespace

Form::Form(const char *name, double widthTwips, double heightTwips, Frame frame)
    : QWidget(nullptr), m_frame(frame) {
    setObjectName(QString::fromLatin1(name));
    setWindowRole(QString::fromLatin1(name));
    Qt::WindowFlags flags;
    switch (frame) {
        case Tool:
            flags = Qt::Tool | Qt::FramelessWindowHint;
            break;
        case Frameless:
            flags = Qt::Window | Qt::FramelessWindowHint;
            break;
        case Titled:
            flags = Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                    Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                    Qt::CustomizeWindowHint;
            break;
    }
    setWindowFlags(flags);
    if (frame != Titled) new FrameOverlay(this);
    setWindowTitle(QString());
    setFont(fonts::tahoma());
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, QColor(192, 192, 192));
    setPalette(palette);
    setAutoFillBackground(false);
    const int w = twips::toPixels(widthTwips), h = twips::toPixels(heightTwips);
    if (frame == Titled) {
        setFixedSize(w, h);
    } else {
        resize(w, h);
        setFixedSize(w, h);
    }
}

double Form::Left() const {
    return twips::left(this);
}
double Form::Top() const {
    return twips::top(this);
}
double Form::Width() const {
    return twips::width(this);
}
double Form::Height() const {
    return twips::height(this);
}

void Form::setLeft(double value) {
    twips::setLeft(this, value);
    m_wantedPos = geometry().topLeft();
    m_placed = !isVisible();
}

void Form::setTop(double value) {
    twips::setTop(this, value);
    m_wantedPos = geometry().topLeft();
    m_placed = !isVisible();
}

void Form::Show() {
    setVisible(true);
}

void Form::SetFocus() {
    if (!isVisible()) return;
    raise();
    activateWindow();
}

namespace {
QPointer<QWidget> g_home;
}  // namespace

void Form::setHomeWindow(QWidget *home) {
    g_home = home;
}

void Form::centre() {
    const QWidget *home = g_home ? g_home.data() : this;
    const QRectF screen = host().screenOf(
        QRectF(twips::left(home), twips::top(home), twips::width(home), twips::height(home)));
    setLeft(screen.left() + (screen.width() - Width()) / 2);
    setTop(screen.top() + (screen.height() - Height()) / 2);
}

QPixmap Form::Picture() const {
    if (m_decode) {
        const QPixmap decoded = std::exchange(m_decode, {})();
        if (!decoded.isNull()) {
            m_picture = decoded;
            m_pictureSource.clear();
        }
    }
    if (!m_pictureSource.isEmpty()) {
        // Decoded once per run and density, shared by every window that shows it.
        static QHash<QString, QPixmap> decoded;
        const qreal ratio = devicePixelRatioF();
        const QString key = m_pictureSource + (ratio > 1 ? QStringLiteral("@2x") : QString());
        auto it = decoded.find(key);
        if (it == decoded.end())
            it = decoded.insert(key, pictures::builtIn(m_pictureSource, ratio));
        m_picture = it.value();
        m_pictureSource.clear();
    }
    return m_picture;
}

void Form::setPicture(const QPixmap &picture) {
    m_decode = {};
    m_pictureSource.clear();
    m_picture = picture;
    update();
}

void Form::setBuiltInPicture(const QString &resource) {
    m_decode = {};
    m_picture = QPixmap();
    m_pictureSource = resource;
    update();
}

void Form::copyPictureFrom(const Form &other) {
    if (other.m_decode) other.Picture();
    if (!other.m_pictureSource.isEmpty()) {
        setBuiltInPicture(other.m_pictureSource);
    } else {
        setPicture(other.m_picture);
    }
}

bool Form::loadPicture(const QString &path) {
    HostServices::PictureDecoder decode;
    if (!host().readPicture(path, &decode)) return false;
    m_decode = std::move(decode);
    update();
    return true;
}

Label *Form::heading(const QString &text, double left, double top, double width, double height,
                     double points) {
    Label *label = whiteLabel(this, QStringLiteral("Label1"), text, left, top, width, height);
    label->setFont(fonts::timesItalic(points));
    label->setWordWrap(false);
    m_heading = label;
    return label;
}

Line *Form::rule(const QString &name, double x1, double x2, double y) {
    return new Line(this, name, x1, y, x2, y, RGB(0, 192, 192));
}

Label *Form::creditStrip(const QString &name, double left, double top, double width) {
    auto *strip = new Label(this, name, QString::fromLatin1(kCreditText), left, top, width, 375);
    strip->setAlignment(Qt::AlignCenter);
    strip->setBackColor(RGB(0, 0, 0));
    setForeColor(strip, Qt::white);
    return strip;
}

std::pair<Label *, Label *> Form::creditStrip(const QString &stripName, double stripLeft,
                                              double stripTop, double stripWidth,
                                              const QString &textName, double textLeft,
                                              double textTop, double textWidth, double textHeight) {
    auto *strip = new Label(this, stripName, QString(), stripLeft, stripTop, stripWidth, 375);
    strip->setBackColor(RGB(0, 0, 0));
    accessibility::setDecorative(strip);
    Label *text = whiteLabel(this, textName, QString::fromLatin1(kCreditText), textLeft, textTop,
                             textWidth, textHeight, Qt::AlignHCenter);
    text->setWordWrap(false);
    return {strip, text};
}

void Form::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Window));
    // A Membrane holds one size: on a screen of another density it is scaled, smoothly.
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const QPixmap picture = Picture();
    if (!picture.isNull()) painter.drawPixmap(0, 0, picture);
}

void Form::showEvent(QShowEvent *event) {
    QWidget::showEvent(event);
    if (m_frame == Tool) host().skipTaskbar(this);
    if (m_placed && windowHandle()) {
        // Some window managers leave a frameless tool window believing it sits at 0,0
        // after they reparent it: place it again once it is mapped.
        m_placed = false;
        m_replaceAfterMap = true;
        windowHandle()->removeEventFilter(this);
        windowHandle()->installEventFilter(this);
    }
}

bool Form::eventFilter(QObject *watched, QEvent *event) {
    if (watched == windowHandle() && event->type() == QEvent::Expose && m_replaceAfterMap &&
        windowHandle()->isExposed()) {
        m_replaceAfterMap = false;
        if (geometry().topLeft() != m_wantedPos) move(m_wantedPos);
    }
    return QWidget::eventFilter(watched, event);
}

void Form::wayOut() {
    Forms::unload(this);
}

void Form::closeEvent(QCloseEvent *event) {
    event->ignore();
    // A window that is unloaded or not on screen was not what the user asked to close (a
    // repeated Alt+F4 may arrive after the first one took it away). While a message box or
    // the file chooser holds one of our handlers, the window stays: that handler goes on
    // with it once the box is closed.
    if (!Forms::isLoaded(this) || !isVisible() || QApplication::activeModalWidget()) return;
    wayOut();
}

bool Form::focusNextPrevChild(bool next) {
    // Tab passes over controls a user cannot come upon, such as a button moved outside the
    // window; they are no more reachable by keyboard than by mouse.
    QWidget *first = nullptr;
    while (QWidget::focusNextPrevChild(next)) {
        QWidget *now = focusWidget();
        if (!now || now == first) return true;
        bool seen = true;
        for (const QWidget *w = now; w && w != this; w = w->parentWidget())
            seen = seen && accessibility::seenByUser(w);
        if (seen) return true;
        if (!first) first = now;
    }
    return false;
}
