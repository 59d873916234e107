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
    // Not indexed by fontconfig: load the faces of the look from where Debian puts them.
    static const char *const kFonts[] = {"tahoma.ttf", "tahomabd.ttf", "marlett.ttf",
                                         "small_fonts.ttf"};
    for (const char *file : kFonts) {
        const QString path = QStringLiteral("/usr/share/wine/fonts/") + QLatin1String(file);
        if (QFileInfo::exists(path)) QFontDatabase::addApplicationFont(path);
    }
    // Every control names its face; this keeps the toolkit from setting up its own default.
    QApplication::setFont(fonts::tahoma());
    QGuiApplication::setQuitOnLastWindowClosed(false);
    accessibility::install();
}
