#include "core/app_setup.h"

#include <QApplication>
#include <QFileInfo>
#include <QFontDatabase>

#include "core/accessibility.h"
#include "core/controls.h"

static void initResources() {
    Q_INIT_RESOURCE(resources);
}

void choosePlatform() {
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") || qEnvironmentVariableIsEmpty("DISPLAY"))
        return;
    const bool wayland =
        !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") || qgetenv("XDG_SESSION_TYPE") == "wayland";
    // Wayland stays the fallback for an X server that cannot be reached.
    if (wayland) qputenv("QT_QPA_PLATFORM", "xcb;wayland");
}

void setupApplication() {
    initResources();
    // Every control names its face; this keeps the toolkit from setting up its own default.
    QApplication::setFont(fonts::tahoma());
    QGuiApplication::setQuitOnLastWindowClosed(false);
    accessibility::install();
}

void addFaces(Faces which) {
    // Not indexed by fontconfig: load the faces of the look from where Debian puts them.
    struct Face {
        const char *file;
        bool bar;
        bool added;
    };
    static Face faces[] = {{"tahoma.ttf", true, false},
                           {"marlett.ttf", true, false},
                           {"tahomabd.ttf", false, false},
                           {"small_fonts.ttf", false, false}};
    for (Face &face : faces) {
        if (face.added || (which == Faces::Bar && !face.bar)) continue;
        face.added = true;
        const QString path = QStringLiteral("/usr/share/wine/fonts/") + QLatin1String(face.file);
        if (QFileInfo::exists(path)) QFontDatabase::addApplicationFont(path);
    }
}
