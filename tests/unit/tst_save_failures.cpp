#include <QDir>
#include <QFile>
#include <QTest>

#include "bar/bar_window.h"
#include "config/options_window.h"
#include "core/window_registry.h"
#include "tests/support/test_host.h"

// Saves that cannot reach the disk are told to the user, never passed off as stored.
class SaveFailuresTest : public QObject {
    Q_OBJECT

    // The settings folder becomes a regular file: nothing can be written below it.
    static void blockSettingsFolder() {
        QDir(testenv::configHome()).removeRecursively();
        QFile blocker(testenv::configHome());
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        testHost().reopenSettings();
    }

  private slots:
    void init() {
        Forms::unloadAll();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QFile::remove(testenv::configHome());
        testHost().resetStore();
        testHost().messages.clear();
        testHost().programEnds = 0;
    }

    void cleanup() {
        Forms::unloadAll();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QFile::remove(testenv::configHome());
        testHost().reopenSettings();
    }

    void applyThatCannotSaveSaysSo() {
        Form1 *bar = Forms::get<Form1>();
        blockSettingsFolder();
        Form7 *options = Forms::get<Form7>();
        options->Text2->setText(QStringLiteral("Unsaved"));
        options->SSCommand1_Click();
        QCOMPARE(testHost().messages.size(), 1);
        QVERIFY(testHost().messages[0].prompt.startsWith(
            QStringLiteral("Your settings could not be saved to ")));
        QVERIFY(testHost().messages[0].prompt.contains(testHost().settingsLocation()));
        QCOMPARE(testHost().messages[0].style, 16);
        // What the user chose still shows on the bar for this run.
        QCOMPARE(bar->Label2->Caption(), QStringLiteral("Unsaved"));
    }

    void applyThatSavesSaysNothing() {
        Forms::get<Form1>();
        Form7 *options = Forms::get<Form7>();
        options->SSCommand1_Click();
        QVERIFY(testHost().messages.isEmpty());
    }

    void exitThatCannotSaveSaysSoThenEnds() {
        Form1 *bar = Forms::get<Form1>();
        blockSettingsFolder();
        bar->SSPanel1_Click();
        QCOMPARE(testHost().messages.size(), 1);
        QVERIFY(testHost().messages[0].prompt.contains(QStringLiteral("could not be saved")));
        QCOMPARE(testHost().programEnds, 1);
    }
};

TALVENDOK_TEST_MAIN(SaveFailuresTest)
#include "tst_save_failures.moc"
