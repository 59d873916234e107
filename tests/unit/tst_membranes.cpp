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

class MembraneTest : public QObject {
    Q_OBJECT

    QString m_startFolder = QDir::currentPath();

    QString inProgramFolder(const QString &name) { return testenv::programFolder() + '/' + name; }
    // Other buttons click twice, to show that not even a double click takes the entry.
    void clickEntry(Form8 *chooser, const QString &name, Qt::MouseButton button = Qt::LeftButton) {
        const QList<QListWidgetItem *> items = chooser->File1->findItems(name, Qt::MatchExactly);
        QCOMPARE(items.size(), 1);
        const QPoint cell = chooser->File1->visualItemRect(items.first()).center();
        QTest::mouseClick(chooser->File1->viewport(), button, {}, cell);
        if (button != Qt::LeftButton)
            QTest::mouseDClick(chooser->File1->viewport(), button, {}, cell);
    }

  private slots:
    void init() {
        testHost().freshStart();
        QDir::setCurrent(m_startFolder);
        QTRY_COMPARE(QGuiApplication::focusWindow(), Forms::open<Form1>()->windowHandle());
    }

    void cleanup() { QDir::setCurrent(m_startFolder); }

    // The chooser lists only the program folder's visible ".emb" files, in any letter case,
    // and opening it takes nothing. The first arrow key takes the first entry, a left click
    // the one under it: it becomes the background and is stored. Other buttons take nothing.
    void chooserTakesAnEntry_data() {
        QTest::addColumn<QString>("name");  // none: the first entry
        QTest::addColumn<int>("button");    // none: the arrow key
        QTest::newRow("gif") << "Ember.emb" << int(Qt::LeftButton);
        QTest::newRow("jpeg") << "Sunset.emb" << int(Qt::LeftButton);
        QTest::newRow("bmp") << "slate.EMB" << int(Qt::LeftButton);
        QTest::newRow("arrow key") << "" << int(Qt::NoButton);
        QTest::newRow("right") << "Sunset.emb" << int(Qt::RightButton);
    }
    void chooserTakesAnEntry() {
        QFETCH(QString, name);
        QFETCH(int, button);
        QVERIFY(QFile::copy(QFINDTESTDATA("../../resources/program_folder/Ember.emb"),
                            inProgramFolder("Ember.emb")));
        QVERIFY(testenv::writePicture(inProgramFolder("Sunset.emb"), "JPEG", {338, 142},
                                      QColor(200, 40, 30)));
        QVERIFY(testenv::writePicture(inProgramFolder("slate.EMB"), "BMP", {300, 120},
                                      QColor(90, 90, 100)));
        testenv::writePicture(inProgramFolder("picture.jpg"), "JPEG", {8, 8}, Qt::red);
        testenv::writePicture(inProgramFolder(".Hidden.emb"), "BMP", {8, 8}, Qt::red);
        QDir().mkpath(inProgramFolder("Folder.emb"));
        Form1 *bar = Forms::get<Form1>();
        bar->hide();
        const QByteArray stored = testHost().settingsFileContent();
        QPointer<Form8> chooser = Forms::open<Form8>();
        QTRY_VERIFY(!chooser || chooser->File1->hasFocus());
        QCoreApplication::processEvents();
        QVERIFY(Forms::isLoaded(chooser));
        QCOMPARE(testHost().settingsFileContent(), stored);
        QStringList names;
        for (QListWidgetItem *item : chooser->File1->findItems("*", Qt::MatchWildcard))
            names << item->text();
        if (name.isEmpty()) name = names.value(0);
        names.sort(Qt::CaseInsensitive);
        QCOMPARE(names, QStringList({"Ember.emb", "slate.EMB", "Sunset.emb"}));
        if (button == Qt::NoButton)
            QTest::keyClick(chooser->File1, Qt::Key_Down);
        else
            clickEntry(chooser, name, Qt::MouseButton(button));
        const bool takes = button != Qt::RightButton;
        QCOMPARE(Forms::isLoaded(chooser), !takes);
        QCOMPARE(host().getSetting("Startup", "Membrane", ""),
                 takes ? "c:\\TALVENDOK\\" + name : QString());
        if (takes)
            QCOMPARE(testenv::pixels(bar->Picture()),
                     testenv::pixels(QPixmap(inProgramFolder(name))));
        QCOMPARE(bar->Visible(), takes);
        QVERIFY(testHost().messages.isEmpty());
    }

    // "Invalid Membrame" with the chooser left open: a file that is no picture (nothing
    // changes), a save that fails (the picture shows, the choice is not kept), a list
    // from the current folder for want of the program folder (looked for there all the same).
    void invalidMembrane_data() {
        QTest::addColumn<QString>("fault");
        QTest::newRow("no picture") << "no picture";
        QTest::newRow("save fails") << "save fails";
        QTest::newRow("no program folder") << "no program folder";
    }
    void invalidMembrane() {
        QFETCH(QString, fault);
        QTemporaryDir elsewhere;
        const QString folder =
            fault == "no program folder" ? elsewhere.path() : testenv::programFolder();
        if (fault == "no picture")
            QVERIFY(testenv::writeFile(folder + "/Sunset.emb", "this is no picture\n"));
        else
            testenv::writePicture(folder + "/Sunset.emb", "BMP", {338, 142}, Qt::red);
        if (fault == "save fails") testHost().blockStore(testenv::configHome() + "/TALVENDOK");
        if (fault == "no program folder") QVERIFY(QDir::setCurrent(folder));
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

    // With the bar away, the about panel's Membrane button leads on to the chooser and leaves
    // the bar away until the chooser's Cancel, which stores nothing; its Return brings it back.
    void aboutPanelWithTheBarAway() {
        Form1 *bar = Forms::get<Form1>();
        const QByteArray stored = testHost().settingsFileContent();
        bar->hide();
        Forms::open<Form2>()->SSCommand3->click();
        QVERIFY(!Forms::find<Form2>() && Forms::find<Form8>() && Forms::find<Form8>()->Visible());
        QVERIFY(!bar->Visible());
        Forms::find<Form8>()->SSCommand1->click();
        QVERIFY(!Forms::find<Form8>() && bar->Visible());
        QCOMPARE(testHost().settingsFileContent(), stored);
        bar->hide();
        Forms::open<Form2>()->SSCommand1->click();
        QVERIFY(!Forms::find<Form2>() && bar->Visible());
        QTRY_COMPARE(QGuiApplication::focusWindow(), bar->windowHandle());
    }
};

TALVENDOK_TEST_MAIN(MembraneTest)
#include "tst_membranes.moc"
