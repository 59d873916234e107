#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>

#include "bar/bar_window.h"
#include "config/about_window.h"
#include "config/button_definition_window.h"
#include "config/membrane_chooser_window.h"
#include "config/menu_window.h"
#include "config/options_window.h"
#include "config/password_access_window.h"
#include "core/window_registry.h"
#include "tests/support/test_host.h"

namespace {

const char *const kHelpMessage = "Help.txt has not been found. Please re-install TALVENDOK.";
const char *const kPluginMessage = "Internal Error, Invalid Plugin";

Form9 *openMenu() {
    Form9 *menu = Forms::get<Form9>();
    menu->Show();
    menu->SetFocus();
    return menu;
}

bool isCentred(Form *form) {
    const QSizeF screen = host().screenSizeTwips();
    return qAbs(form->Left() - (screen.width() - form->Width()) / 2) < 0.01 &&
           qAbs(form->Top() - (screen.height() - form->Height()) / 2) < 0.01;
}

QByteArray readAll(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Makes every save fail: the settings file would have to live below a regular file.
void breakSettingsStore() {
    const QString folder = testenv::configHome() + QStringLiteral("/TALVENDOK");
    QDir(folder).removeRecursively();
    QFile blocker(folder);
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    testHost().reopenSettings();
}

void repairSettingsStore() {
    const QString folder = testenv::configHome() + QStringLiteral("/TALVENDOK");
    if (QFileInfo(folder).isFile()) QFile::remove(folder);
}

}  // namespace

class MenuTest : public QObject {
    Q_OBJECT

  private:
    QByteArray m_path;
    QTemporaryDir m_bin;  // a private PATH for the text viewer

    QString panelProgram() { return testenv::programFolder() + QStringLiteral("/Panel.exe"); }
    QString marker(const char *name) { return m_bin.path() + QLatin1Char('/') + name; }

  private slots:
    void initTestCase() { m_path = qgetenv("PATH"); }

    void init() {
        Forms::unloadAll();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        repairSettingsStore();
        testHost().resetStore();
        testHost().messages.clear();
        testHost().onMessage = nullptr;
        qputenv("PATH", m_path);
        QDir(m_bin.path()).removeRecursively();
        QDir().mkpath(m_bin.path());
        // The bar starts shown and active: let its activation settle before a menu opens
        // over it, or the bar's focus handler would close that menu.
        Form1 *bar = Forms::get<Form1>();
        bar->Show();
        bar->SetFocus();
        QTRY_COMPARE(QGuiApplication::focusWindow(), bar->windowHandle());
    }

    void cleanup() {
        repairSettingsStore();
        qputenv("PATH", m_path);
    }

    void opensOnTheBarsTopLeftCorner() {
        Form1 *bar = Forms::get<Form1>();
        for (const QPointF &place : {QPointF(3000, 4500), QPointF(0, 0), QPointF(7215, 630)}) {
            // Loaded hidden beforehand (the bar's focus handler does so), then the bar moves.
            Forms::get<Form9>();
            bar->setLeft(place.x());
            bar->setTop(place.y());
            QPointer<Form9> menu = openMenu();
            QCOMPARE(menu->Left(), bar->Left());
            QCOMPARE(menu->Top(), bar->Top());
            QCOMPARE(menu->geometry().topLeft(), bar->geometry().topLeft());
            QCOMPARE(menu->height(), bar->height());
            Forms::unload(menu);
        }
    }

    // The bar's menu panel and focus handler, with the menu they open and close.
    void menuPanelOpensAndTheBarsFocusCloses() {
        Form1 *bar = Forms::get<Form1>();
        bar->Show();
        bar->setLeft(1500);
        bar->setTop(3000);
        bar->SSPanel2_Click();
        QPointer<Form9> menu = Forms::find<Form9>();
        QVERIFY(menu);
        QVERIFY(menu->Visible());
        QVERIFY(bar->Visible());
        QCOMPARE(menu->Left(), 1500.0);
        QCOMPARE(menu->Top(), 3000.0);
        bar->Form_GotFocus();
        QVERIFY(!Forms::isLoaded(menu));
    }

    void utilityPanelFollowsTheFileFromOneOpeningToTheNext() {
        QPointer<Form9> menu = openMenu();
        QVERIFY(!menu->SSCommand6->isEnabled());
        Forms::unload(menu);

        // A menu loaded hidden before the file appeared checks again when it opens.
        menu = Forms::get<Form9>();
        testenv::writeMarkerScript(panelProgram(), marker("panel"));
        menu = openMenu();
        QVERIFY(menu->SSCommand6->isEnabled());
        QFile::remove(panelProgram());
        Forms::unload(menu);

        menu = openMenu();
        QVERIFY(!menu->SSCommand6->isEnabled());
        for (QAbstractButton *other : {menu->SSCommand1, menu->SSCommand4, menu->SSCommand3,
                                       menu->SSCommand2, menu->SSCommand5})
            QVERIFY(other->isEnabled());

        testenv::writeMarkerScript(panelProgram(), marker("panel"));
        QVERIFY(!menu->SSCommand6->isEnabled());  // computed when the menu opens
        Forms::unload(menu);
        menu = openMenu();
        QVERIFY(menu->SSCommand6->isEnabled());

        QFile::remove(panelProgram());
        Forms::unload(menu);
        menu = openMenu();
        QVERIFY(!menu->SSCommand6->isEnabled());
        Forms::unload(menu);

        // Only an executable ordinary file counts.
        QFile plain(panelProgram());
        QVERIFY(plain.open(QIODevice::WriteOnly));
        plain.write("#!/bin/sh\n");
        plain.close();
        menu = openMenu();
        QVERIFY(!menu->SSCommand6->isEnabled());
        Forms::unload(menu);
        QFile::remove(panelProgram());
        QVERIFY(QDir().mkpath(panelProgram()));
        menu = openMenu();
        QVERIFY(!menu->SSCommand6->isEnabled());
        Forms::unload(menu);
        QDir(panelProgram()).removeRecursively();

        // The program folder's name is matched without regard to letter case.
        testenv::writeMarkerScript(testenv::programFolder() + QStringLiteral("/panel.EXE"),
                                   marker("panel"));
        menu = openMenu();
        QVERIFY(menu->SSCommand6->isEnabled());
    }

    void utilityPanelStartsAndTheMenuStaysUntilAnotherWindowOfOursIsActive() {
        testenv::writeMarkerScript(panelProgram(), marker("panel"));
        QPointer<Form9> menu = openMenu();
        QTRY_COMPARE(QGuiApplication::focusWindow(), menu->windowHandle());
        menu->SSCommand6->click();
        QTRY_COMPARE(readAll(marker("panel")), QByteArray("started\n"));
        QCOMPARE(host().getSetting("Startup", "Plugin", "none"), QStringLiteral("Enabled"));
        QVERIFY(testHost().messages.isEmpty());
        QVERIFY(Forms::isLoaded(menu));
        QVERIFY(menu->Visible());

        // Another program's window (no window of ours has the focus) leaves it open, and so
        // does a window of ours that is not one of the system's forms.
        emit qGuiApp->focusWindowChanged(nullptr);
        QWidget stranger;
        stranger.resize(50, 50);
        stranger.show();
        stranger.activateWindow();
        QTRY_COMPARE(QGuiApplication::focusWindow(), stranger.windowHandle());
        QCoreApplication::processEvents();
        QVERIFY(Forms::isLoaded(menu));

        // Another form becoming active closes it.
        Form2 *about = Forms::get<Form2>();
        about->Show();
        about->SetFocus();
        QTRY_VERIFY(!Forms::isLoaded(menu));
        QTRY_VERIFY(menu.isNull());
    }

    void aHiddenMenuStaysWhenAnotherFormIsActive() {
        QPointer<Form9> menu = Forms::get<Form9>();
        QVERIFY(!menu->Visible());
        Form2 *about = Forms::get<Form2>();
        about->Show();
        about->SetFocus();
        QTRY_COMPARE(QGuiApplication::focusWindow(), about->windowHandle());
        emit qGuiApp->focusWindowChanged(about->windowHandle());
        QVERIFY(Forms::isLoaded(menu));
    }

    void utilityPanelFailuresAreReportedAndTheMenuStays() {
        // A file that cannot be started: the marker is written all the same.
        QFile broken(panelProgram());
        QVERIFY(broken.open(QIODevice::WriteOnly));
        broken.write("this is no program\n");
        broken.close();
        broken.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                              QFileDevice::ExeOwner);
        QPointer<Form9> menu = openMenu();
        QVERIFY(menu->SSCommand6->isEnabled());
        menu->SSCommand6_Click();
        QCOMPARE(testHost().messages.size(), 1);
        QCOMPARE(testHost().messages[0].prompt, QString::fromLatin1(kPluginMessage));
        QCOMPARE(testHost().messages[0].style, 16);
        QVERIFY(testHost().messages[0].title.isEmpty());
        QCOMPARE(host().getSetting("Startup", "Plugin", "none"), QStringLiteral("Enabled"));
        QVERIFY(Forms::isLoaded(menu));
        QVERIFY(menu->Visible());
        Forms::unload(menu);

        // The marker cannot be written: reported, and the program is not started.
        testHost().messages.clear();
        testenv::writeMarkerScript(panelProgram(), marker("panel"));
        breakSettingsStore();
        menu = openMenu();
        menu->SSCommand6_Click();
        QCOMPARE(testHost().messages.size(), 1);
        QCOMPARE(testHost().messages[0].prompt, QString::fromLatin1(kPluginMessage));
        QVERIFY(Forms::isLoaded(menu));
        QTest::qWait(300);
        QVERIFY(!QFile::exists(marker("panel")));
    }

    void optionsOpensTheOptionsOrThePasswordWindow() {
        QPointer<Form9> menu = openMenu();
        menu->SSCommand1->click();
        QVERIFY(!Forms::isLoaded(menu));
        Form7 *options = Forms::find<Form7>();
        QVERIFY(options);
        QVERIFY(options->Visible());
        QVERIFY(isCentred(options));
        QVERIFY(!Forms::find<Form13>());
        Forms::unload<Form7>();

        testHost().writeSettingsFile("[Options]\nPassword=secret\n");
        menu = openMenu();
        menu->SSCommand1->click();
        QVERIFY(!Forms::isLoaded(menu));
        Form13 *access = Forms::find<Form13>();
        QVERIFY(access);
        QVERIFY(access->Visible());
        QVERIFY(isCentred(access));
        QVERIFY(!Forms::find<Form7>() || !Forms::find<Form7>()->Visible());
    }

    void editButtonsAboutAndMembranesOpenTheirWindows() {
        QPointer<Form9> menu = openMenu();
        menu->SSCommand4->click();
        QVERIFY(!Forms::isLoaded(menu));
        QVERIFY(Forms::find<Form3>() && Forms::find<Form3>()->Visible());
        QVERIFY(isCentred(Forms::find<Form3>()));

        menu = openMenu();
        menu->SSCommand2->click();
        QVERIFY(!Forms::isLoaded(menu));
        QVERIFY(Forms::find<Form2>() && Forms::find<Form2>()->Visible());

        menu = openMenu();
        menu->SSCommand5->click();
        QVERIFY(!Forms::isLoaded(menu));
        QVERIFY(Forms::find<Form8>() && Forms::find<Form8>()->Visible());
        QVERIFY(testHost().messages.isEmpty());
    }

    void helpOpensTheHelpTextInTheViewer() {
        QFile help(testenv::programFolder() + QStringLiteral("/Help.txt"));
        QVERIFY(help.open(QIODevice::WriteOnly));
        help.write("help\n");
        help.close();
        testenv::writeMarkerScript(marker("notepad"), marker("viewer"));
        qputenv("PATH", m_bin.path().toUtf8());

        QPointer<Form9> menu = openMenu();
        menu->SSCommand3->click();
        QVERIFY(!Forms::isLoaded(menu));
        QTRY_VERIFY(readAll(marker("viewer")).startsWith("started\n"));
        const QList<QByteArray> lines = readAll(marker("viewer")).split('\n');
        QCOMPARE(lines.size(), 3);
        QCOMPARE(QFileInfo(QString::fromUtf8(lines[1])).canonicalFilePath(),
                 QFileInfo(help.fileName()).canonicalFilePath());
        QVERIFY(testHost().messages.isEmpty());
    }

    void helpReportsAMissingFileOrViewerAfterClosingTheMenu() {
        testenv::writeMarkerScript(marker("notepad"), marker("viewer"));
        qputenv("PATH", m_bin.path().toUtf8());
        bool menuGone = false;
        testHost().onMessage = [&](const TestHost::Message &) { menuGone = !Forms::find<Form9>(); };

        // No help file: nothing is started even though a viewer is at hand.
        QPointer<Form9> menu = openMenu();
        menu->SSCommand3_Click();
        QCOMPARE(testHost().messages.size(), 1);
        QCOMPARE(testHost().messages[0].prompt, QString::fromLatin1(kHelpMessage));
        QCOMPARE(testHost().messages[0].style, 16);
        QVERIFY(menuGone);
        QTest::qWait(300);
        QVERIFY(!QFile::exists(marker("viewer")));

        // The help file is there but no viewer can be started.
        QFile help(testenv::programFolder() + QStringLiteral("/Help.txt"));
        QVERIFY(help.open(QIODevice::WriteOnly));
        help.close();
        QFile::remove(marker("notepad"));
        testHost().messages.clear();
        menuGone = false;
        menu = openMenu();
        menu->SSCommand3_Click();
        QCOMPARE(testHost().messages.size(), 1);
        QCOMPARE(testHost().messages[0].prompt, QString::fromLatin1(kHelpMessage));
        QVERIFY(menuGone);
    }
};

TALVENDOK_TEST_MAIN(MenuTest)
#include "tst_menu.moc"
