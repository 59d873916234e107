#include "config/password_info_window.h"

#include <QMouseEvent>
#include <QWindow>
#include <algorithm>
#include <tuple>

#include "bar/bar_window.h"
#include "config/button_definition_window.h"
#include "config/options_window.h"
#include "core/host_services.h"
#include "core/twips.h"
#include "core/window_registry.h"

namespace {

QString informationText(const QString &file) {
    const QString common = QStringLiteral(
        "Once you enter a password, it will be required to enter the Options section of "
        "TALVENDOK. Before you enter a password, make sure you write it on a piece of paper and "
        "store it somewhere safe. ");
#ifdef Q_OS_WIN
    Q_UNUSED(file);
    return common + QStringLiteral(
                        "The password is however stored unencrypted in the Windows Registry. A "
                        "password remover can be obtained from the author of TALVENDOK.");
#else
    return common + QStringLiteral(
                        "The password is however stored unencrypted in the settings "
                        "file %1. Removing its \"Password\" line removes the password.")
                        .arg(file);
#endif
}

// The text with the settings file named where the label can show all of it: the path
// wraps after its slashes; one too long for the label is shortened in the middle, keeping
// its start and the file name, never cut off at the label's edge.
QString fittedInformationText(const Label *label) {
    // Where the settings live, as the user would type it.
    const QString file = host().homeShortened(host().settingsLocation());
    const QFontMetrics metrics = label->fontMetrics();
    const QRect room = label->contentsRect();
    const auto fits = [&](const QString &text) {
        const QRect needed =
            metrics.boundingRect(room, Qt::TextWordWrap | label->alignment(), text);
        return needed.width() <= room.width() && needed.height() <= room.height();
    };
    QString text = informationText(file);
    // As much of the path as the label's lines can hold, less until it fits.
    const int lines = room.height() / metrics.lineSpacing();
    int width = std::min(metrics.horizontalAdvance(file), room.width() * lines);
    for (; !fits(text) && width > 0; width -= metrics.averageCharWidth())
        text = informationText(metrics.elidedText(file, Qt::ElideMiddle, width));
    return text;
}

constexpr int kEdge = 4;  // pixels along the frame that start a resize

}  // namespace

Form12::Form12() : Form("Form12", 4590, 2895, Form::Frameless) {
    Label1 = heading(QStringLiteral("Important Information"), 120, 120, 2910, 345, 15.75);
    Line1 = rule(QStringLiteral("Line1"), 600, 4680, 480);
    Label2 = new Label(this, QStringLiteral("Label2"), QString(), 240, 720, 4095, 1455,
                       Qt::AlignHCenter);
    Label2->setCaption(fittedInformationText(Label2));
    setForeColor(Label2, Qt::white);
    std::tie(Label3, Label4) = creditStrip(QStringLiteral("Label3"), 0, 2400, 3255,
                                           QStringLiteral("Label4"), 165, 2460, 2925, 195);
    // The credit keeps its centre but is never cut at its ends.
    const int needed = Label4->fontMetrics().horizontalAdvance(Label4->text()) + 2;
    if (Label4->width() < needed) {
        const double centre = twips::left(Label4) + twips::width(Label4) / 2;
        twips::setWidth(Label4, twips::fromPixels(needed));
        twips::setLeft(Label4, centre - twips::width(Label4) / 2);
    }
    SSCommand1 = new SSCommand(this, QStringLiteral("SSCommand1"), QStringLiteral("&Return..."),
                               3240, 2400, 1215, 375);
    connect(SSCommand1, &SSCommand::Click, this, &Form12::SSCommand1_Click);

    // A resizable window that never gets smaller than its design; with no title bar, its
    // own frame is where a resize starts.
    setMinimumSize(size());
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    setMouseTracking(true);
    centre();
}

void Form12::Form_Load() {
    copyPictureFrom(*Forms::get<Form3>());
}

void Form12::SSCommand1_Click() {
    Forms::unload(this);
    Forms::get<Form1>()->Show();
    Forms::open<Form7>();
}

Qt::Edges Form12::edgesAt(const QPoint &pos) const {
    Qt::Edges edges;
    if (pos.x() < kEdge) edges |= Qt::LeftEdge;
    if (pos.x() >= width() - kEdge) edges |= Qt::RightEdge;
    if (pos.y() < kEdge) edges |= Qt::TopEdge;
    if (pos.y() >= height() - kEdge) edges |= Qt::BottomEdge;
    return edges;
}

void Form12::mousePressEvent(QMouseEvent *event) {
    const Qt::Edges edges = edgesAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton && edges && windowHandle() &&
        windowHandle()->startSystemResize(edges)) {
        event->accept();
        return;
    }
    Form::mousePressEvent(event);
}

void Form12::mouseMoveEvent(QMouseEvent *event) {
    const Qt::Edges edges = edgesAt(event->position().toPoint());
    if (edges == (Qt::LeftEdge | Qt::TopEdge) || edges == (Qt::RightEdge | Qt::BottomEdge)) {
        setCursor(Qt::SizeFDiagCursor);
    } else if (edges == (Qt::RightEdge | Qt::TopEdge) || edges == (Qt::LeftEdge | Qt::BottomEdge)) {
        setCursor(Qt::SizeBDiagCursor);
    } else if (edges & (Qt::LeftEdge | Qt::RightEdge)) {
        setCursor(Qt::SizeHorCursor);
    } else if (edges) {
        setCursor(Qt::SizeVerCursor);
    } else {
        unsetCursor();
    }
    Form::mouseMoveEvent(event);
}
