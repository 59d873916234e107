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
#include "config/menu_window.h"
#include "config/options_window.h"
#include "core/window_registry.h"
#include "tests/support/test_host.h"

namespace {

QString inProgramFolder(const QString &name) {
    return testenv::programFolder() + QLatin1Char('/') + name;
}

void writeText(const QString &path, const QByteArray &content) {
    QFile file(path);
    if (file.open(QIODevice::WriteOnly)) file.write(content);
}

Form8 *openChooser() {
    Form8 *chooser = Forms::get<Form8>();
    chooser->Show();
    chooser->SetFocus();
    return chooser;
}

QStringList listed(const Form8 *chooser) {
    QStringList names;
    for (int row = 0; row < chooser->File1->count(); ++row)
        names << chooser->File1->item(row)->text();
    return names;
}

void clickEntry(Form8 *chooser, const QString &name) {
    const QList<QListWidgetItem *> items = chooser->File1->findItems(name, Qt::MatchExactly);
    QCOMPARE(items.size(), 1);
    const QRect cell = chooser->File1->visualItemRect(items.first());
    QTest::mouseClick(chooser->File1->viewport(), Qt::LeftButton, {}, cell.center());
}

// A picture as the bar shows it: its pixels, whatever pixmap holds them.
QImage pixels(const QPixmap &picture) {
    return picture.toImage().convertToFormat(QImage::Format_RGB32);
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
        Form1 *bar = Forms::get<Form1>();
        bar->Show();
        bar->SetFocus();
        QTRY_COMPARE(QGuiApplication::focusWindow(), bar->windowHandle());
    }

    void cleanup() {
        QDir::setCurrent(m_startFolder);
        const QString folder = testenv::configHome() + QStringLiteral("/TALVENDOK");
        if (QFileInfo(folder).isFile()) QFile::remove(folder);
    }

    void listsTheMembranesOfTheProgramFolder() {
        testenv::programFolder();
        Form8 *chooser = openChooser();
        QVERIFY(listed(chooser).isEmpty());  // an empty folder: an empty list
        chooser->SSCommand1->click();

        testenv::writePicture(inProgramFolder("Sunset.emb"), "JPEG", {338, 142}, Qt::red);
        testenv::writePicture(inProgramFolder("slate.EMB"), "BMP", {338, 142}, Qt::gray);
        testenv::writePicture(inProgramFolder("picture.jpg"), "JPEG", {8, 8}, Qt::red);
        testenv::writePicture(inProgramFolder(".Hidden.emb"), "BMP", {8, 8}, Qt::red);
        QDir().mkpath(inProgramFolder("Folder.emb"));
        chooser = openChooser();
        QStringList names = listed(chooser);
        names.sort(Qt::CaseInsensitive);
        QCOMPARE(names, QStringList({"slate.EMB", "Sunset.emb"}));
        QVERIFY(Forms::find<Form1>()->Visible());

        // Centred when it opens.
        const QSizeF screen = host().screenSizeTwips();
        QCOMPARE(chooser->Left(), (screen.width() - chooser->Width()) / 2);
        QCOMPARE(chooser->Top(), (screen.height() - chooser->Height()) / 2);
    }

    void openingAndFocusingTheListAcceptsNothing() {
        testenv::writePicture(inProgramFolder("Sunset.emb"), "BMP", {338, 142}, Qt::red);
        const QByteArray stored = testHost().settingsFileContent();
        QPointer<Form8> chooser = openChooser();
        QWindow *window = chooser->windowHandle();
        QTRY_COMPARE(QGuiApplication::focusWindow(), window);
        QTRY_VERIFY(!chooser || chooser->File1->hasFocus());
        QCoreApplication::processEvents();
        QVERIFY(Forms::isLoaded(chooser));
        QCOMPARE(testHost().settingsFileContent(), stored);
        QVERIFY(testHost().messages.isEmpty());
        // The first arrow key moves onto the first entry and accepts it.
        QTest::keyClick(chooser->File1, Qt::Key_Down);
        QCOMPARE(host().getSetting("Startup", "Membrane", ""),
                 QStringLiteral("c:\\TALVENDOK\\Sunset.emb"));
        QVERIFY(!Forms::isLoaded(chooser));
    }

    // Any press makes the entry under it current, which accepts it: only the left one may.
    void onlyTheLeftButtonAcceptsAnEntry_data() {
        QTest::addColumn<Qt::MouseButton>("button");
        QTest::newRow("right") << Qt::RightButton;
        QTest::newRow("middle") << Qt::MiddleButton;
    }

    void onlyTheLeftButtonAcceptsAnEntry() {
        QFETCH(Qt::MouseButton, button);
        testenv::writePicture(inProgramFolder("Sunset.emb"), "BMP", {338, 142}, Qt::red);
        const QByteArray stored = testHost().settingsFileContent();
        QPointer<Form8> chooser = openChooser();
        const QPoint entry = chooser->File1->visualItemRect(chooser->File1->item(0)).center();
        QTest::mouseClick(chooser->File1->viewport(), button, {}, entry);
        QTest::mouseDClick(chooser->File1->viewport(), button, {}, entry);
        QVERIFY(Forms::isLoaded(chooser));
        QCOMPARE(chooser->File1->currentRow(), -1);
        QCOMPARE(testHost().settingsFileContent(), stored);
        QVERIFY(testHost().messages.isEmpty());
        clickEntry(chooser, "Sunset.emb");
        QVERIFY(!Forms::isLoaded(chooser));
    }

    void aMembraneInEachPictureFormatBecomesTheBackgroundAndIsStored() {
        const QString gif = QFINDTESTDATA("../../resources/program_folder/Ember.emb");
        QVERIFY(!gif.isEmpty());
        QVERIFY(QFile::copy(gif, inProgramFolder("Ember.emb")));
        QVERIFY(testenv::writePicture(inProgramFolder("Sunset.emb"), "JPEG", {338, 142},
                                      QColor(200, 40, 30)));
        QVERIFY(testenv::writePicture(inProgramFolder("Slate.emb"), "BMP", {300, 120},
                                      QColor(90, 90, 100)));

        for (const QString name : {"Ember.emb", "Sunset.emb", "Slate.emb"}) {
            Form1 *bar = Forms::get<Form1>();
            bar->hide();
            QPointer<Form8> chooser = openChooser();
            clickEntry(chooser, name);

            QImage expected(inProgramFolder(name));
            QVERIFY(!expected.isNull());
            QCOMPARE(pixels(bar->Picture()), expected.convertToFormat(QImage::Format_RGB32));
            QCOMPARE(host().getSetting("Startup", "Membrane", ""), "c:\\TALVENDOK\\" + name);
            QVERIFY(!Forms::isLoaded(chooser));
            QVERIFY(bar->Visible());
            QTRY_COMPARE(QGuiApplication::focusWindow(), bar->windowHandle());
            QVERIFY(testHost().messages.isEmpty());
        }
        QVERIFY(testHost().settingsFileContent().contains("Membrane=c:\\\\TALVENDOK\\\\Slate.emb"));
    }

    void aFileThatIsNoPictureChangesNothing() {
        testenv::writePicture(inProgramFolder("Old.bmp"), "BMP", {338, 142}, Qt::darkGreen);
        testenv::writePicture(inProgramFolder("Sunset.emb"), "JPEG", {338, 142}, Qt::red);
        writeText(inProgramFolder("Broken.emb"), "this is no picture\n");
        testHost().writeSettingsFile("[Startup]\nMembrane=c:\\\\TALVENDOK\\\\Old.bmp\n");
        Form1 *bar = Forms::get<Form1>();
        QVERIFY(bar->loadPicture("c:\\TALVENDOK\\Old.bmp"));
        const QImage before = pixels(bar->Picture());
        const QByteArray stored = testHost().settingsFileContent();

        QPointer<Form8> chooser = openChooser();
        clickEntry(chooser, "Broken.emb");
        QCOMPARE(testHost().messages.size(), 1);
        QCOMPARE(testHost().messages[0].prompt, QStringLiteral("Invalid Membrame"));
        QCOMPARE(testHost().messages[0].style, 16);
        QVERIFY(testHost().messages[0].title.isEmpty());
        QCOMPARE(pixels(bar->Picture()), before);
        QCOMPARE(testHost().settingsFileContent(), stored);
        QVERIFY(Forms::isLoaded(chooser));
        QVERIFY(chooser->Visible());

        // Still open for another choice; moving the selection with the keyboard accepts.
        chooser->File1->setFocus();
        QCOMPARE(chooser->File1->currentItem()->text(), QStringLiteral("Broken.emb"));
        QTest::keyClick(chooser->File1, Qt::Key_Down);
        QCOMPARE(testHost().messages.size(), 1);
        QCOMPARE(host().getSetting("Startup", "Membrane", ""),
                 QStringLiteral("c:\\TALVENDOK\\Sunset.emb"));
        QVERIFY(!Forms::isLoaded(chooser));
    }

    void aFailedSaveLeavesTheNewPictureButNotTheChoice() {
        testenv::writePicture(inProgramFolder("Sunset.emb"), "BMP", {338, 142}, Qt::red);
        // The settings file would have to live below a regular file: every save fails.
        const QString folder = testenv::configHome() + QStringLiteral("/TALVENDOK");
        QDir(folder).removeRecursively();
        writeText(folder, "");
        testHost().reopenSettings();

        Form1 *bar = Forms::get<Form1>();
        QPointer<Form8> chooser = openChooser();
        clickEntry(chooser, "Sunset.emb");
        QCOMPARE(testHost().messages.size(), 1);
        QCOMPARE(testHost().messages[0].prompt, QStringLiteral("Invalid Membrame"));
        QCOMPARE(pixels(bar->Picture()),
                 QImage(inProgramFolder("Sunset.emb")).convertToFormat(QImage::Format_RGB32));
        QVERIFY(Forms::isLoaded(chooser));
        // What the next start reads.
        testHost().reopenSettings();
        QCOMPARE(host().getSetting("Startup", "Membrane", "none"), QStringLiteral("none"));
    }

    void cancelChangesNothingAndBringsTheBarBack() {
        testenv::writePicture(inProgramFolder("Sunset.emb"), "BMP", {338, 142}, Qt::red);
        Form1 *bar = Forms::get<Form1>();
        const QImage before = pixels(bar->Picture());
        const QByteArray stored = testHost().settingsFileContent();
        bar->hide();
        QPointer<Form8> chooser = openChooser();
        chooser->SSCommand1->click();
        QVERIFY(!Forms::isLoaded(chooser));
        QVERIFY(bar->Visible());
        QCOMPARE(pixels(bar->Picture()), before);
        QCOMPARE(testHost().settingsFileContent(), stored);
        QVERIFY(testHost().messages.isEmpty());
    }

    void withoutTheProgramFolderTheListShowsTheCurrentFolder() {
        QTemporaryDir elsewhere;
        testenv::writePicture(elsewhere.filePath("Here.emb"), "BMP", {338, 142}, Qt::red);
        QVERIFY(QDir::setCurrent(elsewhere.path()));
        QVERIFY(!QFileInfo::exists(testenv::programFolder(false)));
        const QByteArray stored = testHost().settingsFileContent();

        QPointer<Form8> chooser = openChooser();
        QCOMPARE(listed(chooser), QStringList({"Here.emb"}));
        // The choice is looked for in the program folder all the same.
        clickEntry(chooser, "Here.emb");
        QCOMPARE(testHost().messages.size(), 1);
        QCOMPARE(testHost().messages[0].prompt, QStringLiteral("Invalid Membrame"));
        QCOMPARE(testHost().settingsFileContent(), stored);
        QVERIFY(Forms::isLoaded(chooser));
    }

    void openedBeforeTheOptionsItLeavesThemLoadedAndHidden() {
        Forms::unload<Form7>();
        QVERIFY(!Forms::find<Form7>());
        QPointer<Form8> chooser = openChooser();
        Form7 *options = Forms::find<Form7>();
        QVERIFY(options);
        QVERIFY(!options->Visible());
        QVERIFY(!chooser->Picture().isNull());
        QCOMPARE(chooser->Picture().cacheKey(), options->Picture().cacheKey());
        chooser->SSCommand1->click();
        QCOMPARE(Forms::find<Form7>(), options);
        QVERIFY(!options->Visible());
    }

    void reachedFromTheMenuAndFromTheAboutPanel() {
        testenv::writePicture(inProgramFolder("Sunset.emb"), "BMP", {338, 142}, Qt::red);
        Form9 *menu = Forms::get<Form9>();
        menu->Show();
        menu->SSCommand5->click();
        QPointer<Form8> chooser = Forms::find<Form8>();
        QVERIFY(chooser && chooser->Visible());
        QCOMPARE(listed(chooser), QStringList({"Sunset.emb"}));
        chooser->SSCommand1->click();

        Form2 *about = Forms::get<Form2>();
        about->Show();
        about->SSCommand3->click();
        chooser = Forms::find<Form8>();
        QVERIFY(chooser && chooser->Visible());
        clickEntry(chooser, "Sunset.emb");
        QCOMPARE(host().getSetting("Startup", "Membrane", ""),
                 QStringLiteral("c:\\TALVENDOK\\Sunset.emb"));
    }
};

TALVENDOK_TEST_MAIN(MembraneTest)
#include "tst_membranes.moc"
