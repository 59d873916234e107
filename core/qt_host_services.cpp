#include "core/qt_host_services.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImageReader>
#include <QMessageBox>
#include <QProcess>
#include <QScreen>
#include <QStandardPaths>
#include <QWidget>
#include <QWindow>

#include "core/desktop_entry.h"
#include "core/file_chooser.h"
#include "core/icons.h"
#include "core/local_paths.h"
#include "core/settings_schema.h"
#include "core/twips.h"

#ifdef TALVENDOK_HAVE_XCB
#include <xcb/xcb.h>
#endif

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <QTimer>
#include <vector>
extern char **environ;
#endif

namespace {
// A theme icon asked for without a size.
constexpr QSize kThemeIconSize(32, 32);

// The format that a picture's first bytes name, for the common ones: told it, the reader
// loads that format's plug-in only, instead of offering the file to each plug-in in turn
// (the SVG one and its library among them). Empty: the reader tests the content itself.
QByteArray formatByContent(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    const QByteArray head = file.read(8);
    if (head.startsWith("\xFF\xD8\xFF")) return "jpeg";
    if (head.startsWith("\x89PNG\r\n\x1A\n")) return "png";
    if (head.startsWith("GIF87a") || head.startsWith("GIF89a")) return "gif";
    if (head.startsWith("BM")) return "bmp";
    if (head.startsWith(QByteArray("\0\0\1\0", 4))) return "ico";
    if (head.startsWith(QByteArray("\0\0\2\0", 4))) return "cur";
    return {};
}

// The picture that `reader` holds, null when it holds none. Of several images (an icon
// file) the one closest to the size shown; on a dense screen the one closest to that size
// in device pixels, drawn at the size the 1x choice has, so that a larger image makes the
// icon crisp rather than bigger.
QPixmap decodedPicture(QImageReader &reader, QSize preferred, qreal ratio) {
    if (!reader.canRead()) return {};
    qreal density = 1;
    if (preferred.isValid() && reader.imageCount() > 1) {
        QList<QSize> sizes;
        for (int i = 0; i < reader.imageCount() && i < 64; ++i)
            sizes.append(reader.jumpToImage(i) ? reader.size() : QSize());
        auto closest = [&sizes](QSizeF wanted) {
            int best = 0;
            double bestDistance = -1;
            for (int i = 0; i < sizes.size(); ++i) {
                if (!sizes[i].isValid()) continue;
                const double distance = qAbs(sizes[i].width() - wanted.width()) +
                                        qAbs(sizes[i].height() - wanted.height());
                if (bestDistance < 0 || distance < bestDistance) {
                    bestDistance = distance;
                    best = i;
                }
            }
            return best;
        };
        const int shown = closest(QSizeF(preferred));
        const int best = ratio > 1 ? closest(QSizeF(preferred) * ratio) : shown;
        if (sizes[shown].width() > 0 && sizes[best].width() > sizes[shown].width())
            density = qreal(sizes[best].width()) / sizes[shown].width();
        reader.jumpToImage(best);
    }
    const QSize declared = reader.size();
    if (declared.isValid() &&
        qint64(declared.width()) * declared.height() > icons::kMaxPicturePixels)
        return {};
    QPixmap picture = QPixmap::fromImage(reader.read());
    picture.setDevicePixelRatio(density);
    return picture;
}

#ifdef Q_OS_UNIX
// Waits for a started program in the background so that it leaves no zombie behind.
void reapWhenDone(pid_t pid) {
    const int fd = int(syscall(SYS_pidfd_open, pid, 0));
    if (fd >= 0) {
        auto *notifier = new QSocketNotifier(fd, QSocketNotifier::Read, qApp);
        QObject::connect(notifier, &QSocketNotifier::activated, notifier, [notifier, fd, pid] {
            waitpid(pid, nullptr, WNOHANG);
            notifier->setEnabled(false);
            notifier->deleteLater();
            close(fd);
        });
        return;
    }
    auto *poll = new QTimer(qApp);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, pid] {
        if (waitpid(pid, nullptr, WNOHANG) != 0) poll->deleteLater();
    });
    poll->start(1000);
}
#endif

// Starts a program as a session of its own, reading and writing nothing of ours. A spawn
// (no copy of this process's memory) makes a click a running program in a few ms.
bool spawnDetached(const QString &program, const QStringList &arguments) {
#ifdef Q_OS_UNIX
    std::vector<QByteArray> strings;
    strings.push_back(QFile::encodeName(program));
    for (const QString &argument : arguments) strings.push_back(argument.toLocal8Bit());
    std::vector<char *> argv;
    for (QByteArray &string : strings) argv.push_back(string.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none, defaults;
    sigemptyset(&none);
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    sigaddset(&defaults, SIGCHLD);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes,
                             POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    pid_t pid = 0;
    const int error = posix_spawn(&pid, argv[0], &actions, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0) return false;
    reapWhenDone(pid);
    return true;
#else
    QProcess process;
    process.setProgram(program);
    process.setArguments(arguments);
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    return process.startDetached();
#endif
}

}  // namespace

QString QtHostServices::getSetting(const QString &section, const QString &key,
                                   const QString &defaultValue) {
    return m_settings->get(section, key, defaultValue);
}

bool QtHostServices::saveSetting(const QString &section, const QString &key, const QString &value) {
    const bool saved = m_settings->save(section, key, value);
    if (!saved) noteSaveFailure();
    return saved;
}

bool QtHostServices::startProgram(const QString &commandLine) {
    // An entry is read, never run, whatever its mode bits say.
    const QString entry = desktopentry::entryFile(commandLine);
    if (!entry.isEmpty()) return desktopentry::launch(localPath(entry));
    localpaths::Command command;
    if (!localpaths::splitCommandLine(commandLine, &command)) return false;
    if (!desktopentry::entryFile(command.program).isEmpty()) return false;
    // The text viewer of the original platform: a notepad of the user's, else the
    // desktop's opener for the file.
    if (command.program.compare(QLatin1String("notepad"), Qt::CaseInsensitive) == 0) {
        const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
        if (opener.isEmpty()) return false;
        command.program = opener;
    }
    const QFileInfo info(command.program);
    if (!info.isAbsolute() || !info.isFile() || !info.isExecutable()) return false;
    return spawnDetached(info.absoluteFilePath(), command.arguments);
}

bool QtHostServices::applicationEntry(const QString &programPath, QString *name, QString *icon) {
    const QString entry = desktopentry::entryFile(programPath);
    return !entry.isEmpty() && desktopentry::read(localPath(entry), name, icon);
}

bool QtHostServices::fileExists(const QString &path) {
    const QFileInfo info(localPath(path));
    return info.isFile() && !info.isHidden();
}

bool QtHostServices::isExecutable(const QString &path) {
    return QFileInfo(localPath(path)).isExecutable();
}

bool QtHostServices::listFiles(const QString &folder, const QString &pattern, QStringList *names) {
    const QString local = localPath(folder);
    if (!QFileInfo(local).isDir()) return false;
    QDir dir(local);
    *names = dir.entryList(QStringList{pattern}, QDir::Files | QDir::NoDotAndDotDot,
                           QDir::Name | QDir::IgnoreCase);
    return dir.isReadable();
}

bool QtHostServices::showOpenDialog(FileChooser &chooser) {
    QFileDialog dialog;
    dialog.setObjectName(QStringLiteral("FileChooser"));
    dialog.setWindowRole(QStringLiteral("FileChooser"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setWindowTitle(chooser.DialogTitle);
    QStringList filters;
    for (const auto &entry : FileChooser::parseFilter(chooser.Filter)) {
        QString patterns = entry.second;
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        // "Executables(*.exe)" already names its pattern the way Qt reads it.
        const bool named = entry.first.endsWith(QLatin1Char('(') + entry.second + QLatin1Char(')'));
        filters << (named ? entry.first
                          : entry.first + QStringLiteral(" (") + patterns + QLatin1Char(')'));
    }
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
        const int index = qBound(1, chooser.FilterIndex, int(filters.size())) - 1;
        dialog.selectNameFilter(filters[index]);
    }
    if (!chooser.InitDir.isEmpty()) dialog.setDirectory(localPath(chooser.InitDir));
    if (!chooser.FileName.isEmpty()) dialog.selectFile(localPath(chooser.FileName));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
    chooser.FileName = QDir::toNativeSeparators(dialog.selectedFiles().constFirst());
    return true;
}

void QtHostServices::messageBox(const QString &prompt, int style, const QString &title) {
    QMessageBox box;
    box.setObjectName(QStringLiteral("MessageBox"));
    box.setWindowRole(QStringLiteral("MessageBox"));
    box.setWindowTitle(title.isEmpty() ? QLatin1String(SettingsStore::kApplication) : title);
    // A program path or a file name is shown as it is, never read as markup.
    box.setTextFormat(Qt::PlainText);
    box.setText(prompt);
    box.setIcon((style & 0x70) == 16 ? QMessageBox::Critical : QMessageBox::Information);
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
}

QList<QRectF> QtHostServices::screensTwips() {
    auto inTwips = [](const QRect &r) {
        return QRectF(twips::fromPixels(r.x()), twips::fromPixels(r.y()),
                      twips::fromPixels(r.width()), twips::fromPixels(r.height()));
    };
    QScreen *primary = QGuiApplication::primaryScreen();
    // Without any screen (a display being set up) windows still need somewhere to centre.
    QList<QRectF> screens{inTwips(primary ? primary->geometry() : QRect(0, 0, 1280, 1024))};
    for (QScreen *screen : QGuiApplication::screens())
        if (screen != primary) screens.append(inTwips(screen->geometry()));
    return screens;
}

bool QtHostServices::readPicture(const QString &path, PictureDecoder *decode, QSize preferred) {
    const QString local = localPath(path);
    const qreal ratio = qApp->devicePixelRatio();
    if (!QFileInfo(local).isFile()) {
        if (path == QLatin1String(kUnsetPath) || !icons::isThemeName(path)) return false;
        const QPixmap icon =
            icons::themed(path, preferred.isValid() ? preferred : kThemeIconSize, ratio);
        if (icon.isNull()) return false;
        *decode = [icon] { return icon; };
        return true;
    }
    const QByteArray format = formatByContent(local);
    // A bitmap of a kind known by its first bytes, of a usual size, is read now and checked
    // and decoded by its plug-in when first needed; the plug-in is not even loaded before.
    constexpr qint64 kReadAhead = 16 << 20;
    QFile file(local);
    if (!format.isEmpty() && file.size() <= kReadAhead && file.open(QIODevice::ReadOnly)) {
        const QByteArray bytes = file.readAll();
        *decode = [bytes, format, preferred, ratio] {
            QBuffer buffer;
            buffer.setData(bytes);
            QImageReader reader(&buffer, format);
            reader.setAutoDetectImageFormat(false);
            return decodedPicture(reader, preferred, ratio);
        };
        return true;
    }
    QImageReader reader(local, format);
    if (format.isEmpty())
        reader.setDecideFormatFromContent(true);
    else
        reader.setAutoDetectImageFormat(false);
    if (!reader.canRead()) return false;
    // Only the header has been read: an SVG is checked before it is parsed.
    if (reader.format().startsWith("svg")) {
        QPixmap drawn;
        if (!icons::loadSvg(local, preferred, ratio, &drawn)) return false;
        *decode = [drawn] { return drawn; };
        return true;
    }
    const QPixmap picture = decodedPicture(reader, preferred, ratio);
    *decode = [picture] { return picture; };
    return !picture.isNull();
}

QTime QtHostServices::currentTime() {
    return QTime::currentTime();
}

void QtHostServices::programEnd() {
    QCoreApplication::exit(0);
}

bool QtHostServices::windowDrag(QWidget *window) {
    QWindow *handle = window ? window->windowHandle() : nullptr;
    return handle && handle->startSystemMove();
}

bool QtHostServices::reportsWindowPositions() {
    return !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

void QtHostServices::skipTaskbar(QWidget *window) {
#ifdef TALVENDOK_HAVE_XCB
    if (QGuiApplication::platformName() != QLatin1String("xcb") || !window) return;
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11) return;
    xcb_connection_t *conn = x11->connection();
    const auto win = static_cast<xcb_window_t>(window->winId());
    auto intern = [conn](const char *name) {
        xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(
            conn, xcb_intern_atom(conn, 0, uint16_t(strlen(name)), name), nullptr);
        xcb_atom_t atom = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
        free(reply);
        return atom;
    };
    const xcb_atom_t state = intern("_NET_WM_STATE");
    const xcb_atom_t wanted[] = {intern("_NET_WM_STATE_SKIP_TASKBAR"),
                                 intern("_NET_WM_STATE_SKIP_PAGER")};
    // Before the window is mapped, _NET_WM_STATE is ours to write; Qt merges its own
    // states into it when it maps the window.
    QList<xcb_atom_t> atoms;
    xcb_get_property_reply_t *prop = xcb_get_property_reply(
        conn, xcb_get_property(conn, 0, win, state, XCB_ATOM_ATOM, 0, 1024), nullptr);
    if (prop && prop->format == 32 && prop->type == XCB_ATOM_ATOM) {
        const auto *data = static_cast<const xcb_atom_t *>(xcb_get_property_value(prop));
        for (int i = 0; i < xcb_get_property_value_length(prop) / 4; ++i) atoms.append(data[i]);
    }
    free(prop);
    for (xcb_atom_t atom : wanted) {
        if (atom != XCB_ATOM_NONE && !atoms.contains(atom)) atoms.append(atom);
    }
    xcb_change_property(conn, XCB_PROP_MODE_REPLACE, win, state, XCB_ATOM_ATOM, 32,
                        uint32_t(atoms.size()), atoms.constData());
    xcb_flush(conn);
#else
    Q_UNUSED(window);
#endif
}

bool QtHostServices::tellsIconicState() {
#ifdef TALVENDOK_HAVE_XCB
    return QGuiApplication::platformName() == QLatin1String("xcb");
#else
    return false;
#endif
}

std::optional<bool> QtHostServices::windowIconic(const QWidget *window, const QByteArray &eventType,
                                                 void *message) {
#ifdef TALVENDOK_HAVE_XCB
    if (eventType != "xcb_generic_event_t" || !window || !message) return std::nullopt;
    const auto *generic = static_cast<const xcb_generic_event_t *>(message);
    if ((generic->response_type & 0x7f) != XCB_PROPERTY_NOTIFY) return std::nullopt;
    const auto *notify = static_cast<const xcb_property_notify_event_t *>(message);
    if (notify->window != static_cast<xcb_window_t>(window->internalWinId())) return std::nullopt;
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11) return std::nullopt;
    xcb_connection_t *conn = x11->connection();
    static const xcb_atom_t wmState = [conn] {
        xcb_intern_atom_reply_t *reply =
            xcb_intern_atom_reply(conn, xcb_intern_atom(conn, 0, 8, "WM_STATE"), nullptr);
        const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
        free(reply);
        return atom;
    }();
    if (wmState == XCB_ATOM_NONE || notify->atom != wmState) return std::nullopt;
    if (notify->state == XCB_PROPERTY_DELETE) return false;
    // Read now rather than taken from the event: only the latest state matters.
    constexpr uint32_t kIconicState = 3;
    bool iconic = false;
    xcb_get_property_reply_t *prop = xcb_get_property_reply(
        conn, xcb_get_property(conn, 0, notify->window, wmState, wmState, 0, 2), nullptr);
    if (prop && prop->format == 32 && xcb_get_property_value_length(prop) >= 4)
        iconic = *static_cast<const uint32_t *>(xcb_get_property_value(prop)) == kIconicState;
    free(prop);
    return iconic;
#else
    Q_UNUSED(window);
    Q_UNUSED(eventType);
    Q_UNUSED(message);
    return std::nullopt;
#endif
}

void QtHostServices::reopenSettings() {
    m_settings.reset();
    m_settings = std::make_unique<SettingsStore>();
}

QString QtHostServices::settingsLocation() {
    return m_settings->fileName();
}

QString QtHostServices::localPath(const QString &path) {
    return localpaths::map(path);
}

QString QtHostServices::homeShortened(const QString &path) {
    const QString home = QDir::homePath();
    if (!path.startsWith(home + QLatin1Char('/'))) return path;
    return QLatin1Char('~') + path.mid(home.size());
}
