#include "core/desktop_entry.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>
#include <memory>

// GLib names struct members "signals", which Qt defines as a keyword.
#pragma push_macro("signals")
#undef signals
#include <gio/gdesktopappinfo.h>
#pragma pop_macro("signals")

#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

namespace {

// No entry comes near this; a larger file is refused before it is read.
constexpr qint64 kMaxEntryBytes = 1024 * 1024;
const char kGroup[] = "Desktop Entry";

// GIO and GObject load on the first use of an entry, not with the program: linked, they
// would add eight libraries and their set-up to every start.
// clang-format off
#define GIO_FUNCTIONS(F)                                                                  \
    F(g_object_unref)                                                                     \
    F(g_app_info_get_name)                                                                \
    F(g_desktop_app_info_new)                                                             \
    F(g_desktop_app_info_new_from_filename)                                               \
    F(g_desktop_app_info_new_from_keyfile)                                                \
    F(g_desktop_app_info_get_is_hidden)                                                   \
    F(g_desktop_app_info_get_filename)                                                    \
    F(g_desktop_app_info_get_boolean)                                                     \
    F(g_desktop_app_info_get_string)                                                      \
    F(g_desktop_app_info_launch_uris_as_manager_with_fds)
// clang-format on

struct Gio {
#define GIO_MEMBER(name) decltype(&::name) name = nullptr;
    GIO_FUNCTIONS(GIO_MEMBER)
#undef GIO_MEMBER
};

// Null when GIO cannot be loaded: then no entry can start.
const Gio *gio() {
    static const Gio *const loaded = []() -> const Gio * {
        void *library = dlopen("libgio-2.0.so.0", RTLD_NOW | RTLD_LOCAL);
        if (!library) return nullptr;
        static Gio functions;
        bool complete = true;
#define GIO_RESOLVE(name)                                                        \
    functions.name = reinterpret_cast<decltype(&::name)>(dlsym(library, #name)); \
    complete = complete && functions.name;
        GIO_FUNCTIONS(GIO_RESOLVE)
#undef GIO_RESOLVE
        return complete ? &functions : nullptr;
    }();
    return loaded;
}

struct Unref {
    void operator()(gpointer object) const { gio()->g_object_unref(object); }
};
using AppInfo = std::unique_ptr<GDesktopAppInfo, Unref>;

QString fromUtf8(const char *text) {
    return QString::fromUtf8(text ? text : "");
}

// An Exec line that the desktop could hand to a shell unchanged: characters a shell acts
// on only inside quotes ("`", "$" and "\\" escaped there), known field codes only. GIO
// would read the others in its own way; the user is told instead.
bool plainExec(const QString &exec) {
    const QString shellOnly = QStringLiteral("$`|&;<>()*?#");
    QChar quote;
    for (qsizetype i = 0; i < exec.size(); ++i) {
        const QChar c = exec[i];
        if (c == QLatin1Char('%')) {
            if (++i == exec.size() || !QStringLiteral("fFuUdDnNickvm%").contains(exec[i]))
                return false;
        } else if (quote == QLatin1Char('\'')) {
            if (c == quote) quote = QChar();
        } else if (c == QLatin1Char('\\')) {
            if (++i == exec.size()) return false;
        } else if (quote == QLatin1Char('"')) {
            if (c == quote) quote = QChar();
            if (c == QLatin1Char('$') || c == QLatin1Char('`')) return false;
        } else if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            quote = c;
        } else if (shellOnly.contains(c)) {
            return false;
        }
    }
    return quote.isNull();
}

// Only a plain file of sane size reaches the parser: a folder, a link loop, a device or a
// huge file is refused first. A bare file name is a desktop id, looked up where the
// desktop looks.
AppInfo load(const QString &file) {
    AppInfo app;
    if (!gio()) return app;
    if (!file.contains(QLatin1Char('/'))) {
        static const QRegularExpression id(QStringLiteral("^[A-Za-z0-9_][A-Za-z0-9._-]{0,250}$"));
        if (id.match(file).hasMatch())
            app.reset(gio()->g_desktop_app_info_new(file.toUtf8().constData()));
    } else {
        const QFileInfo info(file);
        if (info.isAbsolute() && info.isFile() && info.size() <= kMaxEntryBytes)
            app.reset(
                gio()->g_desktop_app_info_new_from_filename(QFile::encodeName(file).constData()));
    }
    // GIO itself refuses other types, a missing Exec and a TryExec not found.
    if (!app || gio()->g_desktop_app_info_get_is_hidden(app.get())) return {};
    gchar *exec = gio()->g_desktop_app_info_get_string(app.get(), "Exec");
    if (exec && !plainExec(QString::fromUtf8(exec))) app.reset();
    g_free(exec);
    return app;
}

// GIO's own list of terminals misses Debian's alternative: the entry is run as the Exec of
// the terminal found here instead.
AppInfo throughTerminal(const GDesktopAppInfo *app) {
    QString terminal = QStandardPaths::findExecutable(QStringLiteral("x-terminal-emulator"));
    if (terminal.isEmpty()) terminal = QStandardPaths::findExecutable(QStringLiteral("xterm"));
    const char *file = gio()->g_desktop_app_info_get_filename(const_cast<GDesktopAppInfo *>(app));
    if (terminal.isEmpty() || !file) return {};
    GKeyFile *keys = g_key_file_new();
    AppInfo wrapped;
    if (g_key_file_load_from_file(keys, file, G_KEY_FILE_KEEP_TRANSLATIONS, nullptr)) {
        gchar *exec = g_key_file_get_string(keys, kGroup, "Exec", nullptr);
        gchar *quoted = g_shell_quote(QFile::encodeName(terminal).constData());
        if (exec) {
            const QByteArray line = QByteArray(quoted) + " -e " + exec;
            g_key_file_set_string(keys, kGroup, "Exec", line.constData());
            g_key_file_set_boolean(keys, kGroup, "Terminal", FALSE);
            wrapped.reset(gio()->g_desktop_app_info_new_from_keyfile(keys));
        }
        g_free(quoted);
        g_free(exec);
    }
    g_key_file_unref(keys);
    return wrapped;
}

// Runs in the started program before its exec: it leaves our session.
void ownSession(gpointer) {
    setsid();
}

}  // namespace

namespace desktopentry {

QString entryFile(const QString &programPath) {
    QString path = programPath.trimmed();
    if (path.size() > 1 && path.startsWith(QLatin1Char('"')) && path.endsWith(QLatin1Char('"')))
        path = path.mid(1, path.size() - 2);
    return path.endsWith(QLatin1String(".desktop"), Qt::CaseInsensitive) ? path : QString();
}

bool read(const QString &file, QString *name, QString *icon) {
    const AppInfo app = load(file);
    if (!app) return false;
    if (name) *name = fromUtf8(gio()->g_app_info_get_name(reinterpret_cast<GAppInfo *>(app.get())));
    if (icon) {
        gchar *value = gio()->g_desktop_app_info_get_string(app.get(), "Icon");
        *icon = fromUtf8(value).trimmed();
        g_free(value);
    }
    return true;
}

bool launch(const QString &file) {
    AppInfo app = load(file);
    if (app && gio()->g_desktop_app_info_get_boolean(app.get(), "Terminal"))
        app = throughTerminal(app.get());
    if (!app) return false;
    const int null = open("/dev/null", O_RDWR | O_CLOEXEC);
    if (null < 0) return false;
    // Without DO_NOT_REAP_CHILD GLib starts the program through a child that it reaps at
    // once: nothing is left for us to wait for. No file is ever passed.
    GError *error = nullptr;
    const gboolean started = gio()->g_desktop_app_info_launch_uris_as_manager_with_fds(
        app.get(), nullptr, nullptr, G_SPAWN_SEARCH_PATH, ownSession, nullptr, nullptr, nullptr,
        null, null, null, &error);
    close(null);
    g_clear_error(&error);
    return started;
}

}  // namespace desktopentry
