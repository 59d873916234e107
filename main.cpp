#include <QApplication>
#include <QTimer>

#include "bar/bar_window.h"
#include "bar/placeholder_window.h"
#include "core/app_setup.h"
#include "core/host_services.h"
#include "core/program_folder.h"
#include "core/qt_host_services.h"
#include "core/settings_store.h"
#include "core/window_registry.h"

namespace {

// Work that the bar's first paint does not need, queued once the bar has painted after
// coming up, so that it is on screen first: the start-up's save, the windows that the
// start-up built only so that they exist, and the placeholder, built ahead so that putting
// the bar away neither builds a window nor waits for the window system before a program
// starts. Whatever asks for one of the windows earlier builds it then, as before.
class AfterPaint : public QObject {
  public:
    explicit AfterPaint(SettingsStore &settings) : m_settings(settings) {}

    bool eventFilter(QObject *watched, QEvent *event) override {
        if (event->type() == QEvent::Show) {
            m_armed = true;
        } else if (event->type() == QEvent::Paint && m_armed) {
            m_armed = false;
            QTimer::singleShot(0, this, [this] {
                m_settings.release();
                Forms::release();
                Forms::prepare<Form10>();
            });
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    SettingsStore &m_settings;
    bool m_armed = true;  // the bar comes up during its load, before this is installed
};

}  // namespace

int main(int argc, char *argv[]) {
    choosePlatform();
    QApplication app(argc, argv);
    setupApplication();
    programfolder::createAtFirstStart();
    QtHostServices services;
    setHost(&services);
    AfterPaint afterPaint(services.settings());
    services.settings().hold();
    Forms::hold();
    Form1 *bar = Forms::get<Form1>();
    // The bar is on its way to the screen and nothing has measured text yet: fontconfig
    // sets up while the window system maps the window, before the first paint needs it.
    addFaces(Faces::Bar);
    bar->installEventFilter(&afterPaint);
    const int status = app.exec();
    // Ended before its first paint: what it saved meanwhile still reaches the disk.
    services.settings().release();
    // Nothing of a window runs any more; this only returns their memory before the end.
    Forms::unloadAll();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    setHost(nullptr);
    return status;
}
