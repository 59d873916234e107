#include <QAccessible>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QSignalSpy>
#include <QTest>
#include <QThread>

#include "core/controls.h"
#include "core/file_chooser.h"
#include "core/host_services.h"
#include "core/local_paths.h"
#include "core/settings_store.h"
#include "core/ss_panel.h"
#include "core/twips.h"
#include "core/window_registry.h"
#include "tests/support/test_host.h"

namespace {

// Two windows that exist only for the registry cases.
class ProbeA : public Form {
    Q_OBJECT
  public:
    ProbeA() : Form("ProbeA", 1500, 1500, Form::Tool) { ++constructed; }
    void Form_Load() override {
        ++loads;
        value = host().getSetting("Options", "Probe", "fresh");
    }
    static int constructed, loads;
    QString value;
};
int ProbeA::constructed = 0;
int ProbeA::loads = 0;

// Waits until a marker file written by a started program has `lines` lines.
QStringList waitForMarker(const QString &marker, int lines) {
    QStringList content;
    for (int i = 0; i < 200; ++i) {
        QFile file(marker);
        if (file.open(QIODevice::ReadOnly)) {
            content = QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
            if (content.size() >= lines) return content;
        }
        QThread::msleep(25);
    }
    return content;
}

}  // namespace

class CoreTest : public QObject {
    Q_OBJECT
  private slots:
    void init() {
        testHost().freshStart();
    }

    void flagAndNumberReaders() {
        for (const char *set : {"1", "01", "1.0", " 1", "1 "}) QVERIFY2(stored::isSet(set), set);
        for (const char *clear : {"0", "00", "2", "", "abc", "-1", "1x", "0.5"})
            QVERIFY2(!stored::isSet(clear), clear);
        int whole = 0;
        QVERIFY(stored::toWhole("255", &whole) && whole == 255);
        QVERIFY(stored::toWhole(" 17 ", &whole) && whole == 17);
        QVERIFY(stored::toWhole("2.5", &whole) && whole == 2);  // to even, like the platform
        QVERIFY(!stored::toWhole("abc", &whole));
        QVERIFY(!stored::toWhole("1e30", &whole));
        float single = 0;
        QVERIFY(stored::toSingle("1500", &single) && single == 1500.0f);
        QVERIFY(stored::toSingle("-37.5", &single) && single == -37.5f);
        QVERIFY(!stored::toSingle("", &single));
        QVERIFY(!stored::toSingle("nan", &single));
        QVERIFY(!stored::toSingle("1e300", &single));
        QCOMPARE(stored::fromNumber(123456), QString("123456"));
    }

    void saveReachesDiskBeforeReturnWithOwnerOnlyMode() {
        auto &store = testHost().settings();
        QCOMPARE(store.get("Options", "TitleBar", "TALVENDOK"), QString("TALVENDOK"));
        QVERIFY(!QFileInfo::exists(store.fileName()));  // reading creates nothing
        QVERIFY(store.save("Options", "TitleBar", "Bar, with comma"));
        // A second reader of the file sees the value at once.
        QSettings other(store.fileName(), QSettings::IniFormat);
        QCOMPARE(other.value("Options/TitleBar").toString(), QString("Bar, with comma"));
        QCOMPARE(store.get("Options", "TitleBar", "x"), QString("Bar, with comma"));
        QCOMPARE(QFileInfo(store.fileName()).permissions() & 0x0077, QFileDevice::Permissions());
        QCOMPARE(QFile::permissions(store.fileName()),
                 QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadUser |
                     QFileDevice::WriteUser);
        QVERIFY(store.save("Startup", "Left", "0"));
        QCOMPARE(store.get("Startup", "Left", "x"), QString("0"));
    }

    // A comma outside quotes splits a hand-written value into a list; it must come back
    // joined at the same commas, not with blanks added (the program would get other
    // arguments). What QSettings itself drops is pinned too: blanks next to such a comma,
    // the quotes, a backslash before a comma.
    void handWrittenCommaValues_data() {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QString>("value");
        QTest::newRow("comma") << QByteArray("tool a,b") << "tool a,b";
        QTest::newRow("empty parts") << QByteArray(",a,,b,") << ",a,,b,";
        QTest::newRow("at sign part") << QByteArray("@x,y") << "@x,y";
        QTest::newRow("quoted") << QByteArray("\"tool a, b\"") << "tool a, b";
        QTest::newRow("blanks dropped") << QByteArray("tool a , b") << "tool a,b";
        QTest::newRow("escaped comma dropped") << QByteArray("a\\,b") << "ab";
    }
    void handWrittenCommaValues() {
        QFETCH(QByteArray, line);
        QFETCH(QString, value);
        testHost().writeSettingsFile("[Buttons]\nButton1EXE=" + line + "\n");
        QCOMPARE(testHost().settings().get("Buttons", "Button1EXE", "UNDEFINED"), value);
    }

    void failedWriteIsReportedAndKeepsTheFile() {
        // A settings folder that is a regular file: nothing can be written below it.
        QDir(testenv::configHome()).removeRecursively();
        QFile blocker(testenv::configHome());
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        testHost().reopenSettings();
        QVERIFY(!testHost().settings().save("Options", "TitleBar", "x"));
        QFile::remove(testenv::configHome());
        testHost().reopenSettings();
    }

    // A file with lines QSettings cannot carry over is kept aside as it was, and the file
    // left behind reads cleanly at the next start: QSettings writes some lines it read
    // cleanly back in a form it cannot read (a key of a lone backslash continued onto the
    // next line becomes "\=value").
    void unparsableFileIsKeptAside_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QByteArray>("lost");
        QTest::newRow("unreadable section line")
            << QByteArray("[Options]\nTitleBar=Mine\n[broken\nSaveWinPos=0\n")
            << QByteArray("[broken");
        QTest::newRow("written back unreadable")
            << QByteArray("[Options]\r\nTitleBar=Mine\r\n\\\r\n=value\r\n")
            << QByteArray("\\\r\n=");
    }
    void unparsableFileIsKeptAside() {
        QFETCH(QByteArray, content);
        QFETCH(QByteArray, lost);
        const QFileInfo file(testHost().settingsFile());
        file.dir().removeRecursively();  // no copy aside from an earlier row
        testHost().writeSettingsFile(content);
        QFile::setPermissions(file.filePath(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        QVERIFY(testHost().settings().save("Options", "DisplayTime", "0"));
        QCOMPARE(file.dir().entryList({file.fileName() + ".*"}, QDir::Files).size(), 1);
        const QStringList aside =
            file.dir().entryList({file.fileName() + ".unreadable-*"}, QDir::Files);
        QCOMPARE(aside.size(), 1);
        QFile copy(file.dir().filePath(aside.first()));
        QVERIFY(copy.open(QIODevice::ReadOnly));
        QVERIFY(copy.readAll().contains(lost));
        QCOMPARE(QFile::permissions(file.filePath()) & 0x0077, QFileDevice::Permissions());
        // Read as the next start reads it: under a name this process has not parsed yet.
        const QString next = file.dir().filePath(QTest::currentDataTag() + QString(".ini"));
        QVERIFY(QFile::copy(file.filePath(), next));
        QSettings nextStart(next, QSettings::IniFormat);
        QCOMPARE(nextStart.value("Options/TitleBar").toString(), QString("Mine"));
        QCOMPARE(nextStart.value("Options/DisplayTime").toString(), QString("0"));
        nextStart.allKeys();
        QCOMPARE(nextStart.status(), QSettings::NoError);
    }

    void startRules() {
        const QString dir = testenv::dataHome() + "/start rules";
        const QString marker = dir + "/marker.txt";
        const QString script = testenv::writeMarkerScript(dir + "/my tool.sh", marker);
        // A full path with blanks and no quotes, with arguments.
        QVERIFY(host().startProgram(script + " one two"));
        QCOMPARE(waitForMarker(marker, 3), QStringList({"started", "one", "two"}));
        QFile::remove(marker);
        // A quoted path with a quoted argument.
        QVERIFY(host().startProgram("\"" + script + "\" \"a b\""));
        QCOMPARE(waitForMarker(marker, 2), QStringList({"started", "a b"}));
        QFile::remove(marker);
        // A bare name found on PATH.
        const QByteArray oldPath = qgetenv("PATH");
        qputenv("PATH", (dir + ":" + QString::fromLocal8Bit(oldPath)).toLocal8Bit());
        QVERIFY(host().startProgram("\"my tool.sh\" viaPath"));
        QCOMPARE(waitForMarker(marker, 2), QStringList({"started", "viaPath"}));
        qputenv("PATH", oldPath);
        QFile::remove(marker);
        // A drive-letter path, in another letter case than on disk.
        testenv::writeMarkerScript(testenv::programFolder() + "/Tool.sh", marker);
        QVERIFY(host().startProgram("c:\\talvendok\\TOOL.SH x"));
        QCOMPARE(waitForMarker(marker, 2), QStringList({"started", "x"}));
        QFile::remove(marker);

        // Shell syntax is never interpreted.
        const QString evil = testenv::dataHome() + "/evil";
        QVERIFY(host().startProgram("/bin/echo hi ; touch " + evil));
        QTest::qWait(300);
        QVERIFY(!QFileInfo::exists(evil));

        // Failures are reported at once.
        QVERIFY(!host().startProgram(""));
        QVERIFY(!host().startProgram("UNDEFINED"));
        QVERIFY(!host().startProgram(dir + "/missing"));
        QVERIFY(!host().startProgram(dir));  // a folder
        QFile plain(dir + "/plain.txt");
        QVERIFY(plain.open(QIODevice::WriteOnly));
        plain.write("echo no\n");
        plain.close();
        QVERIFY(!host().startProgram(dir + "/plain.txt"));  // not executable
        plain.setPermissions(plain.permissions() | QFileDevice::ExeOwner);
        QVERIFY(!host().startProgram(dir + "/plain.txt"));  // no #!: cannot be executed
    }

    void driveLetterPathsIgnoreCase() {
        const QString folder = testenv::programFolder();
        QFile file(folder + "/Help.txt");
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        QCOMPARE(localpaths::map("C:\\TALVENDOK\\Help.txt"), folder + "/Help.txt");
        QCOMPARE(localpaths::map("c:\\talvendok\\HELP.TXT"), folder + "/Help.txt");
        QVERIFY(host().fileExists("C:\\TalVendok\\help.txt"));
        QVERIFY(!host().fileExists("C:\\TALVENDOK\\"));  // a folder is not a file
        QVERIFY(!host().fileExists("C:\\TALVENDOK\\Panel.exe"));
        QFile hidden(folder + "/.hidden.emb");
        QVERIFY(hidden.open(QIODevice::WriteOnly));
        hidden.close();
        QVERIFY(!host().fileExists("C:\\TALVENDOK\\.hidden.emb"));
        QCOMPARE(localpaths::map("/usr/bin/env"), QString("/usr/bin/env"));
        QVERIFY(localpaths::map("D:\\x").startsWith(testenv::dataHome() + "/TALVENDOK/drive_d/"));
    }

    void fileListing() {
        const QString folder = testenv::programFolder();
        for (const char *name : {"b.emb", "A.EMB", ".hidden.emb", "c.jpg"}) {
            QFile f(folder + "/" + name);
            QVERIFY(f.open(QIODevice::WriteOnly));
        }
        QDir(folder).mkdir("folder.emb");
        QStringList names;
        QVERIFY(host().listFiles("C:\\TALVENDOK\\", "*.emb", &names));
        QCOMPARE(names, QStringList({"A.EMB", "b.emb"}));
        QVERIFY(!host().listFiles("C:\\NOWHERE\\", "*.emb", &names));
    }

    void picturesByContent() {
        const QString folder = testenv::programFolder();
        QPixmap pixmap;
        for (const char *format : {"jpg", "bmp", "png"}) {
            const QString path = folder + "/picture_" + format + ".emb";
            QVERIFY(testenv::writePicture(path, format, QSize(30, 20), Qt::red));
            QVERIFY2(host().loadPicture(path, &pixmap), format);
            QCOMPARE(pixmap.size(), QSize(30, 20));
        }
        // An icon file holding several images gives the one closest to the size shown.
        const QString ico = QString(TALVENDOK_SOURCE_DIR) + "/resources/program_folder/DEFAULT.ICO";
        QVERIFY(host().loadPicture(ico, &pixmap, QSize(32, 32)));
        QCOMPARE(pixmap.size(), QSize(32, 32));
        QVERIFY(host().loadPicture(ico, &pixmap, QSize(16, 16)));
        QCOMPARE(pixmap.size(), QSize(16, 16));
        QVERIFY(host().loadPicture(
            QString(TALVENDOK_SOURCE_DIR) + "/resources/program_folder/Ember.emb",
            &pixmap));  // GIF

        // Not pictures: nothing, text, truncated, a folder, a huge declared size.
        QFile empty(folder + "/empty.emb");
        QVERIFY(empty.open(QIODevice::WriteOnly));
        empty.close();
        QVERIFY(!host().loadPicture(folder + "/empty.emb", &pixmap));
        QFile text(folder + "/text.emb");
        QVERIFY(text.open(QIODevice::WriteOnly));
        text.write("this is not a picture\n");
        text.close();
        QVERIFY(!host().loadPicture(folder + "/text.emb", &pixmap));
        QVERIFY(!host().loadPicture(folder, &pixmap));
        QVERIFY(!host().loadPicture("form1.picture", &pixmap));
        QFile png(folder + "/picture_png.emb");
        QVERIFY(png.open(QIODevice::ReadOnly));
        QByteArray bytes = png.readAll();
        png.close();
        QFile cut(folder + "/cut.emb");
        QVERIFY(cut.open(QIODevice::WriteOnly));
        cut.write(bytes.left(30));
        cut.close();
        QVERIFY(!host().loadPicture(folder + "/cut.emb", &pixmap));
        // A BMP header declaring 60000 x 60000 pixels.
        QByteArray bmp("BM");
        auto le32 = [&bmp](quint32 v) {
            for (int i = 0; i < 4; ++i) bmp.append(char((v >> (8 * i)) & 0xff));
        };
        le32(54 + 16);
        le32(0);
        le32(54);
        le32(40);
        le32(60000);
        le32(60000);
        bmp.append(char(1)).append(char(0)).append(char(24)).append(char(0));
        for (int i = 0; i < 6; ++i) le32(0);
        bmp.append(QByteArray(16, '\0'));
        QFile huge(folder + "/huge.emb");
        QVERIFY(huge.open(QIODevice::WriteOnly));
        huge.write(bmp);
        huge.close();
        QVERIFY(!host().loadPicture(folder + "/huge.emb", &pixmap));
    }

    void clockText() {
        QCOMPARE(::clockText(QTime(0, 0, 0)), QString("12:00:00 AM"));
        QCOMPARE(::clockText(QTime(12, 0, 0)), QString("12:00:00 PM"));
        QCOMPARE(::clockText(QTime(13, 5, 9)), QString("01:05:09 PM"));
        QCOMPARE(::clockText(QTime(9, 30, 59)), QString("09:30:59 AM"));
    }

    void pushPanelPressedLook() {
        QWidget parent;
        parent.resize(200, 100);
        SSPanel panel(&parent, "SSPanel1", "x", 0, 0, 450, 450);
        QSignalSpy down(&panel, &SSPanel::MouseDown), up(&panel, &SSPanel::MouseUp),
            click(&panel, &SSPanel::Click);
        // The pressed look is the handlers' own: inset on any button down, raised on up.
        connect(&panel, &SSPanel::MouseDown, &panel, [&] { panel.setBevelOuter(SSPanel::Inset); });
        connect(&panel, &SSPanel::MouseUp, &panel, [&] { panel.setBevelOuter(SSPanel::Raised); });
        parent.show();
        QTest::mousePress(&panel, Qt::RightButton, {}, QPoint(5, 5));
        QCOMPARE(panel.BevelOuter(), int(SSPanel::Inset));
        QTest::mouseRelease(&panel, Qt::RightButton, {}, QPoint(5, 5));
        QCOMPARE(panel.BevelOuter(), int(SSPanel::Raised));
        QCOMPARE(click.count(), 0);  // only the left button clicks
        QTest::mouseClick(&panel, Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(down.count(), 2);
        QCOMPARE(up.count(), 2);
        QCOMPARE(click.count(), 1);
        // Released outside: no click.
        QTest::mousePress(&panel, Qt::LeftButton, {}, QPoint(5, 5));
        QTest::mouseRelease(&panel, Qt::LeftButton, {}, QPoint(100, 90));
        QCOMPARE(click.count(), 1);
    }

    // The thin frame lies over the controls along the edges, also over one raised later,
    // while clicks and the accessibility tree reach those controls as if it were not there.
    void frameLiesOverEdgeControls() {
        Form form("Framed", 1500, 1500, Form::Tool);
        auto *under = new Label(&form, "Label1", QString(), 0, 0, 1500, 1500);
        under->setBackColor(RGB(255, 0, 0));
        auto *raised = new Label(&form, "Label2", QString(), 0, 1350, 1500, 150);
        raised->setBackColor(RGB(0, 0, 255));
        raised->raise();
        const QImage image = form.grab().toImage();
        const QColor frame = image.pixelColor(0, 0);
        QVERIFY(frame != QColor(255, 0, 0) && frame != QColor(0, 0, 255));
        const int right = image.width() - 1, bottom = image.height() - 1;
        for (int x = 0; x <= right; ++x) {
            QCOMPARE(image.pixelColor(x, 0), frame);
            QCOMPARE(image.pixelColor(x, bottom), frame);
        }
        for (int y = 0; y <= bottom; ++y) {
            QCOMPARE(image.pixelColor(0, y), frame);
            QCOMPARE(image.pixelColor(right, y), frame);
        }
        QCOMPARE(image.pixelColor(1, 1), QColor(255, 0, 0));
        QCOMPARE(form.childAt(0, 0), under);
        QCOMPARE(form.childAt(right, bottom), raised);
        QCOMPARE(QAccessible::queryAccessibleInterface(&form)->childCount(), 2);
    }

    void twipsGeometry() {
        QCOMPARE(twips::perPixel(), 15.0);
        QWidget w;
        twips::place(&w, 9999, 600, 1455, 975);
        QCOMPARE(twips::left(&w), 9999.0);  // exact while the widget stays where it was put
        QCOMPARE(w.x(), 667);
        QCOMPARE(w.width(), 97);
        w.move(10, 10);
        QCOMPARE(twips::left(&w), 150.0);
    }

    void registryCreatesOnFirstUseAndUnloadsFresh() {
        ProbeA::constructed = ProbeA::loads = 0;
        QVERIFY(!Forms::find<ProbeA>());
        ProbeA *first = Forms::get<ProbeA>();
        QCOMPARE(ProbeA::loads, 1);
        QVERIFY(!first->isVisible());  // created hidden
        QCOMPARE(first->objectName(), QString("ProbeA"));
        QCOMPARE(first->windowRole(), QString("ProbeA"));
        QCOMPARE(Forms::get<ProbeA>(), first);
        QCOMPARE(ProbeA::loads, 1);
        QCOMPARE(first->value, QString("fresh"));

        QVERIFY(host().saveSetting("Options", "Probe", "changed"));
        first->Show();
        QPointer<ProbeA> gone = first;
        Forms::unload(first);
        QVERIFY(!Forms::find<ProbeA>());
        QVERIFY(!first->isVisible());
        Forms::unload(first);  // unloading again has no effect
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(gone.isNull());
        ProbeA *second = Forms::get<ProbeA>();
        QCOMPARE(ProbeA::loads, 2);
        QCOMPARE(second->value, QString("changed"));  // loads its state afresh
    }

    void fileChooserFilterAndMemory() {
        const auto entries = FileChooser::parseFilter(
            "Executables(*.exe)|*.exe|COM Files(*.com)|*.com|Batch Files (*.bat)|*.bat");
        QCOMPARE(entries.size(), 3);
        QCOMPARE(entries[1].first, QString("COM Files(*.com)"));
        QCOMPARE(entries[2].second, QString("*.bat"));
        QCOMPARE(FileChooser::parseFilter("Icons(*.ico)|*.ico|").size(), 1);
        FileChooser chooser;
        chooser.CancelError = true;
        testHost().chooserAnswers = {"/tmp/some dir/prog", ""};
        QVERIFY(chooser.ShowOpen());
        QCOMPARE(chooser.FileName, QString("/tmp/some dir/prog"));
        QVERIFY(!chooser.ShowOpen());  // cancel
        QCOMPARE(testHost().chooserInitDirs.last(), QString("/tmp/some dir"));
        QCOMPARE(chooser.FileName, QString("/tmp/some dir/prog"));
    }
};

TALVENDOK_TEST_MAIN(CoreTest)
#include "tst_core.moc"
