#include "bar/placeholder_window.h"

#include <QCloseEvent>
#include <QIcon>

#include "bar/bar_window.h"
#include "core/host_services.h"
#include "core/window_registry.h"

namespace {
// Far beyond the right and bottom edges of any screen: a restored placeholder is never seen.
constexpr double kRestoredLeft = 245790;
constexpr double kRestoredTop = 246075;
}  // namespace

Form10::Form10() : Form("Form10", 2355, 435, Form::Titled) {
    setWindowTitle(QStringLiteral("T a l v e n d o k"));
    QIcon icon;
    for (qreal ratio : {1.0, 2.0})
        icon.addPixmap(pictures::builtIn(QStringLiteral(":/program.png"), ratio));
    setWindowIcon(icon);
    Label1 = new Label(this, QStringLiteral("Label1"), QStringLiteral("Restoring Window"), 540, 120,
                       1335, 195, Qt::AlignHCenter);
    Label1->setWordWrap(false);
    setLeft(kRestoredLeft);
    setTop(kRestoredTop);
    // Only ever shown minimised: set before its native window exists, the window system
    // learns it with the window rather than while the bar is being put away.
    setWindowState(Qt::WindowMinimized);
}

void Form10::putBarAway() {
    Form10 *placeholder = Forms::get<Form10>();
    // Minimised before it is first shown, so that it starts iconic and never flashes. It is
    // not activated as well: on X11 an iconic window cannot hold the focus, and a window
    // manager that honours the request (fluxbox) restores it.
    if (placeholder && !placeholder->isVisible()) placeholder->showMinimized();
    Forms::get<Form1>()->setVisible(false);
}

void Form10::Form_GotFocus() {
    // The bar first, so that the close request of this unloading finds it visible.
    Forms::open<Form1>();
    Forms::unload(this);
}

void Form10::Form_QueryUnload() {
    if (!Forms::get<Form1>()->Visible()) host().programEnd();
}

void Form10::changeEvent(QEvent *event) {
    Form::changeEvent(event);
    // Where the window system tells the state itself, nativeEvent follows it instead.
    if (event->type() != QEvent::WindowStateChange || !event->spontaneous() ||
        host().tellsIconicState())
        return;
    const auto *change = static_cast<QWindowStateChangeEvent *>(event);
    // Only the window system's report of leaving the minimised state counts.
    if ((change->oldState() & Qt::WindowMinimized) && !(windowState() & Qt::WindowMinimized))
        restoredByUser();
}

bool Form10::nativeEvent(const QByteArray &eventType, void *message, qintptr *result) {
    const std::optional<bool> iconic = host().windowIconic(this, eventType, message);
    if (iconic && *iconic) {
        m_wasIconic = true;
    } else if (iconic && m_wasIconic) {
        // A window manager may call a window that starts iconic normal for a moment while
        // it maps it (metacity): only leaving the iconic state is a restore. Queued, since
        // the restore unloads the window whose event is being handled.
        QMetaObject::invokeMethod(this, &Form10::restoredByUser, Qt::QueuedConnection);
    }
    return Form::nativeEvent(eventType, message, result);
}

void Form10::restoredByUser() {
    if (!Forms::isLoaded(this)) return;
    // Window managers may have brought it onto the screen: send it back out of sight for
    // the moment it still exists.
    setLeft(kRestoredLeft);
    setTop(kRestoredTop);
    Form_GotFocus();
}

void Form10::closeEvent(QCloseEvent *event) {
    Form_QueryUnload();
    event->accept();
    Forms::unload(this);
}
