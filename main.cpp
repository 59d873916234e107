#include <QApplication>

#include "bar/bar_window.h"
#include "core/app_setup.h"
#include "core/host_services.h"
#include "core/program_folder.h"
#include "core/qt_host_services.h"
#include "core/window_registry.h"

int main(int argc, char *argv[]) {
    choosePlatform();
    QApplication app(argc, argv);
    setupApplication();
    programfolder::createAtFirstStart();
    QtHostServices services;
    setHost(&services);
    Forms::get<Form1>();
    const int status = app.exec();
    // Nothing of a window runs any more; this only returns their memory before the end.
    Forms::unloadAll();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    setHost(nullptr);
    return status;
}
