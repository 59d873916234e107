#include <QAccessible>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTest>

#include "core/controls.h"
#include "core/form.h"
#include "core/host_services.h"
#include "core/settings_store.h"
#include "tests/support/test_host.h"

namespace {

// Test data name files below one folder as "$D/..."; the folder exists only at run time.
QString expand(QString text) {
    return text.replace("$D", testenv::dataHome() + "/cmd").replace("$P", testenv::programFolder());
}

}  // namespace

class CoreTest : public QObject {
    Q_OBJECT
  private slots:
    // Programs are also looked up on PATH, where a terminal of the user's may be found.
    void initTestCase() { qputenv("PATH", expand("$D:$D/bin:").toLocal8Bit() + qgetenv("PATH")); }
    void init() {
        testHost().freshStart();
        // Each program below only notes what it was asked to run.
        for (const char *tool : {"$D/my tool.sh", "$P/Tool.sh", "$D/bin/x-terminal-emulator"})
            testenv::writeMarkerScript(expand(tool), expand("$D/marker"));
        QVERIFY(testenv::writeFile(expand("$D/plain.txt"), "echo no\n"));
        QVERIFY(testenv::writeFile(expand("$D/noshebang"), "echo no\n", true));
    }

    void flagReading_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("set");
        for (const char *set : {"1", "01", "1.0", " 1", "1 "}) QTest::newRow(set) << set << true;
        for (const char *clear : {"0", "2", "", "abc", "-1", "1x", "0.5"})
            QTest::newRow(clear) << clear << false;
    }
    void flagReading() {
        QFETCH(QString, text);
        QFETCH(bool, set);
        QCOMPARE(stored::isSet(text), set);
    }

    void saveReachesDiskAtOnceReadableByTheOwnerOnly() {
        auto &store = testHost().settings();
        QCOMPARE(store.get("Options", "TitleBar", "TALVENDOK"), QString("TALVENDOK"));
        QVERIFY(!QFileInfo::exists(store.fileName()));  // reading creates nothing
        QVERIFY(store.save("Options", "TitleBar", "Bar, with comma"));
        QSettings other(store.fileName(), QSettings::IniFormat);
        QCOMPARE(other.value("Options/TitleBar").toString(), QString("Bar, with comma"));
        QCOMPARE(QFile::permissions(store.fileName()) & 0x0077, QFileDevice::Permissions());
        // A writer killed while taking the lock leaves it empty: the next save must not wait
        // the half minute QSettings gives such a lock (a start after a crash hung that long).
        QVERIFY(testenv::writeFile(store.fileName() + ".lock", QByteArray()));
        QElapsedTimer saving;
        saving.start();
        QVERIFY(store.save("Options", "TitleBar", "After a crash"));
        QVERIFY2(saving.elapsed() < 10000, "the save waited for a dead writer's lock");
    }

    // Saves held while the bar comes up are read back at once and reach the disk at release,
    // the later of two saves of one key winning.
    void heldSavesReachDiskAtRelease() {
        auto &store = testHost().settings();
        store.hold();
        QVERIFY(store.save("Options", "SaveWinPos", "1"));
        QVERIFY(store.save("Startup", "Left", "100"));
        QVERIFY(store.save("Startup", "Left", "200"));
        QCOMPARE(store.get("Startup", "Left", "0"), QString("200"));
        QVERIFY(!QFileInfo::exists(store.fileName()));
        store.release();
        QCOMPARE(testHost().settingsFileContent(),
                 QByteArray("[Options]\nSaveWinPos=1\n\n[Startup]\nLeft=200\n"));
    }

    // A comma outside quotes splits a hand-written value into a list; it must come back
    // joined at the same commas, not with blanks added (the program would get other
    // arguments).
    void handWrittenCommaValues_data() {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QString>("value");
        QTest::newRow("comma") << QByteArray("tool a,b") << "tool a,b";
        QTest::newRow("empty parts") << QByteArray(",a,,b,") << ",a,,b,";
        QTest::newRow("at sign part") << QByteArray("@x,y") << "@x,y";
    }
    void handWrittenCommaValues() {
        QFETCH(QByteArray, line);
        QFETCH(QString, value);
        testHost().writeSettingsFile("[Buttons]\nButton1EXE=" + line + "\n");
        QCOMPARE(testHost().settings().get("Buttons", "Button1EXE", "UNDEFINED"), value);
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
        for (int i = 0; i <= qMax(right, bottom); ++i)
            for (QPoint edge : {QPoint(qMin(i, right), 0), QPoint(qMin(i, right), bottom),
                                QPoint(0, qMin(i, bottom)), QPoint(right, qMin(i, bottom))})
                QCOMPARE(image.pixelColor(edge), frame);
        QCOMPARE(image.pixelColor(1, 1), QColor(255, 0, 0));
        QCOMPARE(form.childAt(0, 0), under);
        QCOMPARE(form.childAt(right, bottom), raised);
        QCOMPARE(QAccessible::queryAccessibleInterface(&form)->childCount(), 2);
    }

    // Started for real, found as the command line names it (blanks in the path, quotes, PATH,
    // a drive path in another letter case) and split without a shell (its syntax reaches the
    // program as arguments), or reported at once.
    // clang-format off
    void startProgram_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("marker");  // what the program got; empty: not started
        QTest::newRow("started") << "$D/my tool.sh \"a b\" ; touch $D/evil"
                                 << "started\na b\n;\ntouch\n$D/evil\n";
        QTest::newRow("quoted") << "\"$D/my tool.sh\" \"a b\"" << "started\na b\n";
        QTest::newRow("on PATH") << "\"my tool.sh\" x" << "started\nx\n";
        QTest::newRow("drive letter, other case") << "c:\\talvendok\\TOOL.SH x" << "started\nx\n";
        QTest::newRow("missing") << "$D/missing" << "";
        QTest::newRow("folder") << "$D" << "";
        QTest::newRow("not executable") << "$D/plain.txt" << "";
        QTest::newRow("no #! line") << "$D/noshebang" << "";
    }
    // clang-format on
    void startProgram() {
        QFETCH(QString, line);
        QFETCH(QString, marker);
        QCOMPARE(host().startProgram(expand(line)), !marker.isEmpty());
        if (!marker.isEmpty())
            QTRY_COMPARE(testenv::readFile(expand("$D/marker")), expand(marker).toUtf8());
        QVERIFY(!QFile::exists(expand("$D/evil")));
    }

    // Entries start as the desktop starts them (codes, quoting, Path, TryExec, a terminal),
    // are only read whatever their mode bits, and give a failure for anything unusable.
    // clang-format off
    void desktopEntries_data() {
        QTest::addColumn<QString>("line");  // $E: the entry file, $I: its desktop id
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("marker");  // empty: the start fails
        const QString app = "[Desktop Entry]\nType=Application\nName=Big Tool\n";
        QTest::newRow("arguments, quotes") << "$E" << app + "Exec=\"$D/my tool.sh\" one \"a b\" \"x;y\""
                                           << "started\none\na b\nx;y\n";
        QTest::newRow("files dropped, %c, by id") << "$I" << app + "Exec=\"$D/my tool.sh\" %f %U %c"
                                                  << "started\nBig Tool\n";
        QTest::newRow("Path, quoted") << "\"$E\"" << app + "Path=$D\nExec=/bin/sh -c \"pwd >> marker\""
                                      << "$D\n";
        QTest::newRow("terminal") << "$E" << app + "Terminal=true\nExec=\"$D/my tool.sh\" t"
                                  << "started\n-e\n$D/my tool.sh\nt\n";
        QTest::newRow("TryExec missing") << "$E" << app + "TryExec=$D/gone\nExec=\"$D/my tool.sh\"" << "";
        QTest::newRow("hidden") << "$E" << app + "Hidden=true\nExec=\"$D/my tool.sh\"" << "";
        QTest::newRow("shell syntax") << "$E" << app + "Exec=\"$D/my tool.sh\" $(touch $D/evil)" << "";
        QTest::newRow("unknown field code") << "$E" << app + "Exec=\"$D/my tool.sh\" %z" << "";
        QTest::newRow("missing program") << "$E" << app + "Exec=$D/gone %c" << "";
        QTest::newRow("script, not an entry") << "$E" << "#!/bin/sh\n\"$D/my tool.sh\"\n" << "";
    }
    // clang-format on
    void desktopEntries() {
        QFETCH(QString, line);
        QFETCH(QString, entry);
        QFETCH(QString, marker);
        static int count = 0;
        const QString id = QStringLiteral("talvendok-test-%1.desktop").arg(++count);
        const QString file = testenv::dataHome() + "/applications/" + id;
        QVERIFY(testenv::writeFile(file, expand(entry).toUtf8(), true));
        const bool started = host().startProgram(line.replace("$E", file).replace("$I", id));
        QCOMPARE(started, !marker.isEmpty());
        if (started) QTRY_COMPARE(testenv::readFile(expand("$D/marker")), expand(marker).toUtf8());
    }

    void clockText_data() {
        QTest::addColumn<QTime>("time");
        QTest::addColumn<QString>("text");
        QTest::newRow("midnight") << QTime(0, 0, 0) << "12:00:00 AM";
        QTest::newRow("noon") << QTime(12, 0, 0) << "12:00:00 PM";
        QTest::newRow("afternoon") << QTime(13, 5, 9) << "01:05:09 PM";
    }
    void clockText() {
        QFETCH(QTime, time);
        QFETCH(QString, text);
        QCOMPARE(::clockText(time), text);
    }
};

TALVENDOK_TEST_MAIN(CoreTest)
#include "tst_core.moc"
