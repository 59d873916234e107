#pragma once

#include <QList>
#include <QPixmap>
#include <QRectF>
#include <QSize>
#include <QSizeF>
#include <QString>
#include <QStringList>
#include <QTime>
#include <functional>
#include <optional>

class QWidget;
class QMouseEvent;
class FileChooser;

// Everything the windows ask of the desktop and the operating system. Tests replace
// only what blocks or ends the process; the rest is the real thing.
class HostServices {
  public:
    virtual ~HostServices() = default;

    // Settings store, application "TALVENDOK". Save returns false when nothing reached disk.
    virtual QString getSetting(const QString &section, const QString &key,
                               const QString &defaultValue) = 0;
    virtual bool saveSetting(const QString &section, const QString &key, const QString &value) = 0;

    // Starts a command line detached, never through a shell; false when it cannot start.
    // A path naming a desktop entry starts that entry's application.
    virtual bool startProgram(const QString &commandLine) = 0;
    // The desktop entry a program path names, when it is an application that can start
    // here: its localized name and its icon (a path or an icon theme name).
    virtual bool applicationEntry(const QString &programPath, QString *name, QString *icon) = 0;
    // An ordinary, not hidden file (folders and hidden files count as missing).
    virtual bool fileExists(const QString &path) = 0;
    // A file this user may execute.
    virtual bool isExecutable(const QString &path) = 0;
    // Names of the ordinary, not hidden files in a folder that match a pattern, sorted by
    // name; false when the folder cannot be listed.
    virtual bool listFiles(const QString &folder, const QString &pattern, QStringList *names) = 0;
    // Open-file dialog; false on cancel. The chooser keeps its own state between uses.
    virtual bool showOpenDialog(FileChooser &chooser) = 0;
    // Blocks until dismissed. Style 16: stop icon and one OK button.
    virtual void messageBox(const QString &prompt, int style = 16, const QString &title = {}) = 0;
    // Every screen's geometry in twips, the primary one first; never empty.
    virtual QList<QRectF> screensTwips() = 0;
    // The primary screen's width and height in twips.
    QSizeF screenSizeTwips() { return screensTwips().constFirst().size(); }
    // The screen that a window (in twips) is on: the one it overlaps most, else the nearest.
    QRectF screenOf(const QRectF &window);
    // Loads a picture recognised by content; for files holding several images the one
    // closest to `preferred` is taken. A bare name is an icon of the user's icon theme;
    // SVG and theme icons are drawn at `preferred` times the screen's pixel ratio. False
    // for anything that is not a loadable picture.
    bool loadPicture(const QString &path, QPixmap *out, QSize preferred = {});
    // The same, with the file read but its checks and decoding, the larger part of loading
    // it, left where it can to `decode`, for when the picture is first drawn. decode() gives
    // a null picture where the data turns out not to be one.
    using PictureDecoder = std::function<QPixmap()>;
    virtual bool readPicture(const QString &path, PictureDecoder *decode, QSize preferred = {}) = 0;
    virtual QTime currentTime() = 0;
    // Ends the program at once; no window's unload handling runs.
    virtual void programEnd() = 0;
    // The bar drag: hands a move that has started on `window` to the window manager.
    // False where no window manager takes it: the caller then moves the window itself.
    virtual bool windowDrag(QWidget *window) = 0;
    // Whether the platform reports where a window is (not so on Wayland, where a window
    // only reads back the place it asked for).
    virtual bool reportsWindowPositions() { return true; }
    // Keeps a window out of task bars (needed each time it is shown on X11).
    virtual void skipTaskbar(QWidget *window) = 0;
    // Whether the window system itself says when a window becomes iconic or normal again
    // (X11: the WM_STATE that the window manager keeps), read by windowIconic. Elsewhere
    // only the toolkit's window state tells.
    virtual bool tellsIconicState() { return false; }
    // The state a native event of `window` gives it: true iconic, false normal or withdrawn;
    // empty for every other event.
    virtual std::optional<bool> windowIconic(const QWidget *window, const QByteArray &eventType,
                                             void *message) {
        Q_UNUSED(window);
        Q_UNUSED(eventType);
        Q_UNUSED(message);
        return std::nullopt;
    }
    // A path of the system (possibly drive-letter) as it is found on this machine.
    virtual QString localPath(const QString &path) = 0;
    // Where the settings are kept, as the user would look for them.
    virtual QString settingsLocation() = 0;
    // A path below the user's home as the user would type it ("~/..."); others unchanged.
    virtual QString homeShortened(const QString &path) = 0;

    // Saves that did not reach the disk so far in this run.
    int saveFailures() const { return m_saveFailures; }

  protected:
    void noteSaveFailure() { ++m_saveFailures; }

  private:
    int m_saveFailures = 0;
};

// Tells the user once when saves since `failuresBefore` did not reach the disk, so that a
// lost setting is never passed off as stored.
void reportUnsavedSettings(int failuresBefore);

// The installed services. Using them before setHost() is a programming error and ends
// the program: a silent stand-in would hand a test the real desktop.
HostServices &host();
// Installs the services for the rest of the run; the caller keeps ownership.
void setHost(HostServices *services);

// Clock text "hh:mm:ss AMPM": 12-hour, two-digit hours, the locale's AM/PM designator.
QString clockText(const QTime &time);
