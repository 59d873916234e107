#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>

#include "bar/bar_window.h"
#include "config/about_window.h"
#include "config/membrane_chooser_window.h"
#include "core/window_registry.h"
#include "tests/support/test_host.h"

namespace {

QString inProgramFolder(const QString &name) {
    return testenv::programFolder() + QLatin1Char('/') + name;
}

void clickEntry(Form8 *chooser, const QString &name) {
    const QList<QListWidgetItem *> items = chooser->File1->findItems(name, Qt::MatchExactly);
    QCOMPARE(items.size(), 1);
    const QRect cell = chooser->File1->visualItemRect(items.first());
    QTest::mouseClick(chooser->File1->viewport(), Qt::LeftButton, {}, cell.center());
}

}  // namespace

class MembraneTest : public QObject {
    Q_OBJECT

  private:
    QString m_startFolder = QDir::currentPath();

  private slots:
    void init() {
        testHost().freshStart();
        QDir::setCurrent(m_startFolder);
        QTRY_COMPARE(QGuiApplication::focusWindow(), Forms::open<Form1>()->windowHandle());
    }

    void cleanup() { QDir::setCurrent(m_startFolder); }

    // Opening and focusing the list takes nothing; the first arrow key moves onto the first
    // entry and takes it. Any press makes the entry under it current: only the left one may
    // take it.
    // clang-format off
    void whatTakesAnEntry_data() {
        QTest::addColumn<int>("button");  // none: the arrow key
        QTest::addColumn<bool>("takes");
        QTest::newRow("arrow key") << int(Qt::NoButton) << true;
        QTest::newRow("left") << int(Qt::LeftButton) << true;
        QTest::newRow("right") << int(Qt::RightButton) << false;
    }
    // clang-format on

    void whatTakesAnEntry() {
        QFETCH(int, button);
        QFETCH(bool, takes);
        testenv::writePicture(inProgramFolder("Sunset.emb"), "BMP", {338, 142}, Qt::red);
        const QByteArray stored = testHost().settingsFileContent();
        QPointer<Form8> chooser = Forms::open<Form8>();
        QTRY_VERIFY(!chooser || chooser->File1->hasFocus());
        QCoreApplication::processEvents();
        QVERIFY(Forms::isLoaded(chooser));
        QCOMPARE(testHost().settingsFileContent(), stored);
        const QPoint entry = chooser->File1->visualItemRect(chooser->File1->item(0)).center();
        if (button == Qt::NoButton) {
            QTest::keyClick(chooser->File1, Qt::Key_Down);
        } else {
            QTest::mouseClick(chooser->File1->viewport(), Qt::MouseButton(button), {}, entry);
            if (!takes)
                QTest::mouseDClick(chooser->File1->viewport(), Qt::MouseButton(button), {}, entry);
        }
        QCOMPARE(Forms::isLoaded(chooser), !takes);
        QCOMPARE(host().getSetting("Startup", "Membrane", ""),
                 takes ? QStringLiteral("c:\\TALVENDOK\\Sunset.emb") : QString());
    }

    // The chooser lists only the program folder's visible ".emb" files, in any
    // letter case; the one clicked becomes the background and is stored.
    // clang-format off
    void aMembraneBecomesTheBackgroundAndIsStored_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("gif") << "Ember.emb";
        QTest::newRow("jpeg") << "Sunset.emb";
        QTest::newRow("bmp") << "slate.EMB";
    }
    // clang-format on

    void aMembraneBecomesTheBackgroundAndIsStored() {
        QFETCH(QString, name);
        QVERIFY(QFile::copy(QFINDTESTDATA("../../resources/program_folder/Ember.emb"),
                            inProgramFolder("Ember.emb")));
        QVERIFY(testenv::writePicture(inProgramFolder("Sunset.emb"), "JPEG", {338, 142},
                                      QColor(200, 40, 30)));
        QVERIFY(testenv::writePicture(inProgramFolder("slate.EMB"), "BMP", {300, 120},
                                      QColor(90, 90, 100)));
        testenv::writePicture(inProgramFolder("picture.jpg"), "JPEG", {8, 8}, Qt::red);
        testenv::writePicture(inProgramFolder(".Hidden.emb"), "BMP", {8, 8}, Qt::red);
        QDir().mkpath(inProgramFolder("Folder.emb"));
        QStringList names;
        for (QListWidgetItem *item : Forms::open<Form8>()->File1->findItems("*", Qt::MatchWildcard))
            names << item->text();
        names.sort(Qt::CaseInsensitive);
        QCOMPARE(names, QStringList({"Ember.emb", "slate.EMB", "Sunset.emb"}));
        Form1 *bar = Forms::get<Form1>();
        bar->hide();
        QPointer<Form8> chooser = Forms::open<Form8>();
        clickEntry(chooser, name);
        QCOMPARE(testenv::pixels(bar->Picture()), testenv::pixels(QPixmap(inProgramFolder(name))));
        QCOMPARE(host().getSetting("Startup", "Membrane", ""), "c:\\TALVENDOK\\" + name);
        QVERIFY(!Forms::isLoaded(chooser));
        QVERIFY(bar->Visible());
        QVERIFY(testHost().messages.isEmpty());
    }

    // "Invalid Membrame" with the chooser left open: a file that is no picture (nothing
    // changes), a save that fails (the picture shows, the choice is not kept), a list
    // from the current folder for want of the program folder (looked for there all the same).
    // clang-format off
    void invalidMembrane_data() {
        QTest::addColumn<QString>("fault");
        QTest::newRow("no picture") << "no picture";
        QTest::newRow("save fails") << "save fails";
        QTest::newRow("no program folder") << "no program folder";
    }
    // clang-format on

    void invalidMembrane() {
        QFETCH(QString, fault);
        QTemporaryDir elsewhere;
        if (fault == "no program folder") {
            testenv::writePicture(elsewhere.filePath("Sunset.emb"), "BMP", {338, 142}, Qt::red);
            QVERIFY(QDir::setCurrent(elsewhere.path()));
        } else if (fault == "no picture") {
            QVERIFY(testenv::writeFile(inProgramFolder("Sunset.emb"), "this is no picture\n"));
        } else {
            testenv::writePicture(inProgramFolder("Sunset.emb"), "BMP", {338, 142}, Qt::red);
            testHost().blockStore(testenv::configHome() + QStringLiteral("/TALVENDOK"));
        }
        Form1 *bar = Forms::get<Form1>();
        const QImage before = testenv::pixels(bar->Picture());
        QPointer<Form8> chooser = Forms::open<Form8>();
        clickEntry(chooser, "Sunset.emb");
        QCOMPARE(testHost().messages.size(), 1);
        QCOMPARE(testHost().messages[0].prompt, QStringLiteral("Invalid Membrame"));
        QCOMPARE(testHost().messages[0].style, 16);
        QVERIFY(Forms::isLoaded(chooser) && chooser->Visible());
        QCOMPARE(testenv::pixels(bar->Picture()) == before, fault != "save fails");
        testHost().reopenSettings();
        QCOMPARE(host().getSetting("Startup", "Membrane", "none"), QStringLiteral("none"));
    }

    void cancelChangesNothingAndBringsTheBarBack() {
        testenv::writePicture(inProgramFolder("Sunset.emb"), "BMP", {338, 142}, Qt::red);
        const QByteArray stored = testHost().settingsFileContent();
        Forms::get<Form1>()->hide();
        Forms::open<Form8>()->SSCommand1->click();
        QVERIFY(!Forms::find<Form8>());
        QVERIFY(Forms::get<Form1>()->Visible());
        QCOMPARE(testHost().settingsFileContent(), stored);
    }

    // With the bar away, the about panel's Return brings it back; its Membrane button
    // leads on to the chooser and leaves the bar away.
    void aboutPanelWithTheBarAway_data() {
        QTest::addColumn<bool>("membranes");
        QTest::newRow("return") << false;
        QTest::newRow("membranes") << true;
    }
    void aboutPanelWithTheBarAway() {
        QFETCH(bool, membranes);
        Form1 *bar = Forms::get<Form1>();
        bar->hide();
        Form2 *about = Forms::open<Form2>();
        (membranes ? about->SSCommand3 : about->SSCommand1)->click();
        QVERIFY(!Forms::find<Form2>());
        QCOMPARE(Forms::find<Form8>() && Forms::find<Form8>()->Visible(), membranes);
        QCOMPARE(bar->Visible(), !membranes);
        if (!membranes) QTRY_COMPARE(QGuiApplication::focusWindow(), bar->windowHandle());
    }
};

TALVENDOK_TEST_MAIN(MembraneTest)
#include "tst_membranes.moc"
