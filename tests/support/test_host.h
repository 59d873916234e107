#pragma once

#include <QDir>
#include <QImage>
#include <QList>
#include <QPixmap>
#include <QString>
#include <QTemporaryDir>
#include <functional>

#include "core/qt_host_services.h"

// The product's host services with only what blocks or ends the process replaced: message
// boxes are recorded, the file chooser answers from a script, program end is counted.
// While `recording` is set, store access and program end are listed in `calls`.
class TestHost : public QtHostServices {
  public:
    struct Message {
        QString prompt;
        int style;
        QString title;
    };

    void messageBox(const QString &prompt, int style = 16, const QString &title = {}) override;
    bool showOpenDialog(FileChooser &chooser) override;
    void programEnd() override;
    QString getSetting(const QString &section, const QString &key,
                       const QString &defaultValue) override;
    bool saveSetting(const QString &section, const QString &key, const QString &value) override;
    QList<QRectF> screensTwips() override;

    // Screens in twips in place of the platform's, primary first, while not empty.
    QList<QRectF> screens;

    // Next answers of the file chooser: a path, or an empty string for a cancel.
    QStringList chooserAnswers;
    // What the chooser was opened with, in order.
    QStringList chooserTitles, chooserInitDirs;

    QList<Message> messages;
    // Called while a message box would block (e.g. to look at the windows at that moment).
    std::function<void(const Message &)> onMessage;
    int programEnds = 0;
    bool recording = false;
    QStringList calls;  // "get Section/Key", "save Section/Key=value", "end"

    // Each case starts from nothing: no window loaded, no settings file, no program folder,
    // nothing recorded.
    void freshStart();
    // Puts a file where the folder `path` (the config home by default) should be, so that
    // nothing can be saved; the next fresh start removes it.
    void blockStore(QString path = {});
    // Rewrites the settings file with raw text and reopens the store.
    void writeSettingsFile(const QByteArray &content);
    QByteArray settingsFileContent() const;
    QString settingsFile() { return settings().fileName(); }
    using QtHostServices::reopenSettings;
};

// Paths of the temporary home the tests run in.
namespace testenv {
QString configHome();
QString dataHome();
// "C:\TALVENDOK\" on disk, created on demand.
QString programFolder(bool create = true);
// Writes a small executable script that appends its arguments to `marker`.
QString writeMarkerScript(const QString &path, const QString &marker);
// Writes a picture of the given format (by Qt writer name) to `path`.
bool writePicture(const QString &path, const char *format, QSize size, QColor color);
// Writes `bytes` (creating the folder); an empty result where the file cannot be read.
bool writeFile(const QString &path, const QByteArray &bytes, bool executable = false);
QByteArray readFile(const QString &path);
// A picture as shown: its pixels, whatever pixmap holds them.
QImage pixels(const QPixmap &picture);
}  // namespace testenv

TestHost &testHost();

class Form7;
// The bar as at a start, then the options opened as the menu opens them (in the windows'
// test support: core's tests do without it).
Form7 *openOptions();

// Sets up a temporary home, the offscreen platform, the application and the test host,
// then runs the Qt Test object.
#define TALVENDOK_TEST_MAIN(TestObject)                                                     \
    int main(int argc, char *argv[]) {                                                      \
        return talvendokTestMain(argc, argv, []() -> QObject * { return new TestObject; }); \
    }

int talvendokTestMain(int argc, char *argv[], QObject *(*make)());
