#include "tests/support/test_host.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageWriter>
#include <QTest>
#include <functional>

#include "core/app_setup.h"
#include "core/file_chooser.h"
#include "core/window_registry.h"

namespace {
TestHost *g_testHost = nullptr;
QTemporaryDir *g_home = nullptr;
}  // namespace

TestHost &testHost() {
    return *g_testHost;
}

void TestHost::messageBox(const QString &prompt, int style, const QString &title) {
    messages.append({prompt, style, title});
    if (onMessage) onMessage(messages.last());
}

QList<QRectF> TestHost::screensTwips() {
    return screens.isEmpty() ? QtHostServices::screensTwips() : screens;
}

void TestHost::programEnd() {
    if (recording) calls << QStringLiteral("end");
    ++programEnds;
}

QString TestHost::getSetting(const QString &section, const QString &key,
                             const QString &defaultValue) {
    if (recording) calls << QStringLiteral("get %1/%2").arg(section, key);
    return QtHostServices::getSetting(section, key, defaultValue);
}

bool TestHost::saveSetting(const QString &section, const QString &key, const QString &value) {
    if (recording) calls << QStringLiteral("save %1/%2=%3").arg(section, key, value);
    return QtHostServices::saveSetting(section, key, value);
}

bool TestHost::showOpenDialog(FileChooser &chooser) {
    chooserTitles.append(chooser.DialogTitle);
    chooserInitDirs.append(chooser.InitDir);
    const QString answer = chooserAnswers.isEmpty() ? QString() : chooserAnswers.takeFirst();
    if (!answer.isEmpty()) chooser.FileName = answer;
    return !answer.isEmpty();
}

void TestHost::blockStore(QString path) {
    if (path.isEmpty()) path = testenv::configHome();
    QDir(path).removeRecursively();
    QFile(path).open(QIODevice::WriteOnly);
    reopenSettings();
}

void TestHost::freshStart() {
    Forms::unloadAll();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    for (const QString &blocker : {testenv::configHome(), testenv::configHome() + "/TALVENDOK"})
        if (QFileInfo(blocker).isFile()) QFile::remove(blocker);
    QFile::remove(settings().fileName());
    QDir(testenv::dataHome()).removeRecursively();
    QDir().mkpath(testenv::dataHome());
    reopenSettings();
    messages.clear();
    onMessage = nullptr;
    programEnds = 0;
    screens.clear();
    recording = false;
    for (QStringList *list : {&calls, &chooserAnswers, &chooserTitles, &chooserInitDirs})
        list->clear();
}

void TestHost::writeSettingsFile(const QByteArray &content) {
    testenv::writeFile(settings().fileName(), content);
    reopenSettings();
}

QByteArray TestHost::settingsFileContent() const {
    return testenv::readFile(const_cast<TestHost *>(this)->settings().fileName());
}

namespace testenv {

QString configHome() {
    return g_home->path() + QStringLiteral("/config");
}
QString dataHome() {
    return g_home->path() + QStringLiteral("/data");
}

QString programFolder(bool create) {
    const QString folder = dataHome() + QStringLiteral("/TALVENDOK/drive_c/TALVENDOK");
    if (create) QDir().mkpath(folder);
    return folder;
}

QString writeMarkerScript(const QString &path, const QString &marker) {
    const QByteArray script =
        "#!/bin/sh\nprintf '%s\\n' \"started\" \"$@\" >> '" + marker.toUtf8() + "'\n";
    return writeFile(path, script, true) ? path : QString();
}

bool writePicture(const QString &path, const char *format, QSize size, QColor color) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QImage image(size, QImage::Format_RGB32);
    image.fill(color);
    return QImageWriter(path, format).write(image);
}

bool writeFile(const QString &path, const QByteArray &bytes, bool executable) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        return false;
    return !executable || file.setPermissions(file.permissions() | QFileDevice::ExeOwner);
}

QByteArray readFile(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QImage pixels(const QPixmap &picture) {
    return picture.toImage().convertToFormat(QImage::Format_ARGB32);
}

}  // namespace testenv

int talvendokTestMain(int argc, char *argv[], QObject *(*make)()) {
    QTemporaryDir home;
    g_home = &home;
    qputenv("HOME", home.path().toUtf8());
    qputenv("XDG_CONFIG_HOME", testenv::configHome().toUtf8());
    qputenv("XDG_DATA_HOME", testenv::dataHome().toUtf8());
    const QString runtime = home.path() + QStringLiteral("/runtime");
    QDir().mkpath(runtime);
    QFile::setPermissions(runtime,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", runtime.toUtf8());
    qputenv("XDG_CONFIG_DIRS", (home.path() + QStringLiteral("/etc")).toUtf8());
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    setupApplication();
    addFaces(Faces::All);
    TestHost host;
    g_testHost = &host;
    setHost(&host);
    QObject *object = make();
    const int status = QTest::qExec(object, argc, argv);
    delete object;
    Forms::unloadAll();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    setHost(nullptr);
    return status;
}
