#include <QApplication>
#include <QTimer>

#include "bar/bar_window.h"
#include "bar/placeholder_window.h"
#include "core/app_setup.h"
#include "core/host_services.h"
#include "core/program_folder.h"
#include "core/qt_host_services.h"
#include "core/window_registry.h"

namespace {

// Once the bar has painted after coming up, builds the placeholder ahead: putting the bar
// away then neither builds a window nor waits for the window system before the program
// starts. Queued after the paint, so that the bar is on screen first; a click that comes
// earlier builds the placeholder itself, as before.
class PlaceholderAhead : public QObject {
  public:
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (event->type() == QEvent::Show) {
            m_armed = true;
        } else if (event->type() == QEvent::Paint && m_armed) {
            m_armed = false;
            QTimer::singleShot(0, this, [] { Forms::prepare<Form10>(); });
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    bool m_armed = true;  // the bar comes up during its load, before this is installed
};

}  // namespace

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    setupApplication();
    programfolder::createAtFirstStart();
    QtHostServices services;
    setHost(&services);
    PlaceholderAhead placeholderAhead;
    Form1 *bar = Forms::get<Form1>();
    bar->installEventFilter(&placeholderAhead);
    const int status = app.exec();
    // Nothing of a window runs any more; this only returns their memory before the end.
    Forms::unloadAll();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    setHost(nullptr);
    return status;
}
