// The menu window, the windows it opens, the help, the utility panel and the about panel.
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>

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

bool isCentred(Form *form) {
    const QSizeF screen = host().screenSizeTwips();
    return qAbs(form->Left() - (screen.width() - form->Width()) / 2) < 0.01 &&
           qAbs(form->Top() - (screen.height() - form->Height()) / 2) < 0.01;
}

}  // namespace

class MenuTest : public QObject {
    Q_OBJECT

    QByteArray m_path;
    QTemporaryDir m_bin;  // a private PATH for the text viewer

    QString panel() { return testenv::programFolder() + QStringLiteral("/Panel.exe"); }
    QString marker(const char *name) { return m_bin.path() + QLatin1Char('/') + name; }

  private slots:
    void initTestCase() { m_path = qgetenv("PATH"); }

    void init() {
        testHost().freshStart();
        qputenv("PATH", m_path);
        QDir(m_bin.path()).removeRecursively();
        QDir().mkpath(m_bin.path());
        // Let the bar's activation settle before a menu opens over it, or the bar's focus
        // handler would close that menu.
        Form1 *bar = Forms::get<Form1>();
        QTRY_COMPARE(QGuiApplication::focusWindow(), bar->windowHandle());
    }

    // Opens over the bar's top-left corner, wherever the bar has gone since the menu was
    // loaded, and closes when the bar gets the focus.
    void opensOverTheBarsTopLeftCornerAndClosesWithItsFocus() {
        Form1 *bar = Forms::get<Form1>();
        Forms::get<Form9>();  // loaded hidden beforehand, then the bar moves
        bar->setLeft(7215);
        bar->setTop(630);
        bar->SSPanel2_Click();
        QPointer<Form9> menu = Forms::find<Form9>();
        QVERIFY(menu && menu->Visible() && bar->Visible());
        QCOMPARE(menu->geometry().topLeft(), bar->geometry().topLeft());
        bar->Form_GotFocus();
        QVERIFY(!Forms::isLoaded(menu));
    }

    // Whether the utility panel can be started is looked at each time the menu opens.
    // clang-format off
    void utilityPanelButton_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("enabled");
        QTest::newRow("none") << "" << false;
        QTest::newRow("program") << "Panel.exe" << true;
        QTest::newRow("other letter case") << "panel.EXE" << true;
        QTest::newRow("not executable") << "plain" << false;
        QTest::newRow("folder") << "folder" << false;
    }
    // clang-format on

    void utilityPanelButton() {
        QFETCH(QString, file);
        QFETCH(bool, enabled);
        QPointer<Form9> menu = Forms::get<Form9>();
        if (file == "plain")
            QVERIFY(testenv::writeFile(panel(), "#!/bin/sh\n"));
        else if (file == "folder")
            QDir().mkpath(panel());
        else if (!file.isEmpty())
            testenv::writeMarkerScript(testenv::programFolder() + "/" + file, marker("panel"));
        menu = Forms::open<Form9>();
        QCOMPARE(menu->SSCommand6->isEnabled(), enabled);
        QVERIFY(menu->SSCommand5->isEnabled());
        QFile::remove(testenv::programFolder() + "/" + file);
        QFile::remove(panel());
        QDir(panel()).removeRecursively();
        QCOMPARE(menu->SSCommand6->isEnabled(), enabled);  // only at the opening
        Forms::unload(menu);
        QVERIFY(!Forms::open<Form9>()->SSCommand6->isEnabled());
    }

    // It starts, and the menu stays until another form is active. A file that cannot start,
    // or a store that cannot take the marker: reported, the menu stays, nothing is started.
    // clang-format off
    void utilityPanel_data() {
        QTest::addColumn<QString>("fault");
        QTest::newRow("starts") << "";
        QTest::newRow("not a program") << "not a program";
        QTest::newRow("store cannot save") << "store cannot save";
    }
    // clang-format on

    void utilityPanel() {
        QFETCH(QString, fault);
        if (fault == "not a program")
            QVERIFY(testenv::writeFile(panel(), "this is no program\n", true));
        else
            testenv::writeMarkerScript(panel(), marker("panel"));
        if (fault == "store cannot save") testHost().blockStore();
        QPointer<Form9> menu = Forms::open<Form9>();
        QTRY_COMPARE(QGuiApplication::focusWindow(), menu->windowHandle());
        menu->SSCommand6->click();
        QVERIFY(menu && menu->Visible());
        if (!fault.isEmpty()) {
            QCOMPARE(testHost().messages.size(), 1);
            QCOMPARE(testHost().messages[0].prompt, QString::fromLatin1(kPluginMessage));
            QCOMPARE(testHost().messages[0].style, 16);
            QTest::qWait(300);
            QVERIFY(!QFile::exists(marker("panel")));
            return;
        }
        QTRY_COMPARE(testenv::readFile(marker("panel")), QByteArray("started\n"));
        QCOMPARE(host().getSetting("Startup", "Plugin", "none"), QStringLiteral("Enabled"));
        // Another program's window, or a window of ours that is no form, leaves it open.
        emit qGuiApp->focusWindowChanged(nullptr);
        QWidget stranger;
        stranger.show();
        stranger.activateWindow();
        QTRY_COMPARE(QGuiApplication::focusWindow(), stranger.windowHandle());
        QVERIFY(Forms::isLoaded(menu));
        Forms::open<Form2>();
        QTRY_VERIFY(menu.isNull());
    }

    // Each item closes the menu and shows its window; a stored password puts its window
    // before the options.
    // clang-format off
    void itemsOpenTheirWindows_data() {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("window");
        QTest::newRow("options") << "SSCommand1" << "" << "Form7";
        QTest::newRow("options, password") << "SSCommand1" << "secret" << "Form13";
        QTest::newRow("buttons") << "SSCommand4" << "" << "Form3";
        QTest::newRow("about") << "SSCommand2" << "" << "Form2";
        QTest::newRow("membranes") << "SSCommand5" << "" << "Form8";
    }
    // clang-format on

    void itemsOpenTheirWindows() {
        QFETCH(QString, item);
        QFETCH(QString, password);
        QFETCH(QString, window);
        host().saveSetting("Options", "Password", password);
        QPointer<Form9> menu = Forms::open<Form9>();
        menu->findChild<SSCommand *>(item)->click();
        QVERIFY(!Forms::isLoaded(menu));
        QStringList shown;
        for (Form *form : Forms::loaded())
            if (form->Visible() && form->objectName() != "Form1") shown << form->objectName();
        QCOMPARE(shown, QStringList{window});
        for (Form *form : Forms::loaded())
            if (form->objectName() == window) QVERIFY(isCentred(form));
    }

    // The help text opens in the viewer, after the menu has gone. No help file (even with a
    // viewer at hand), or no viewer: one message, and nothing started.
    // clang-format off
    void help_data() {
        QTest::addColumn<bool>("helpFile");
        QTest::addColumn<bool>("viewer");
        QTest::newRow("opens") << true << true;
        QTest::newRow("no help file") << false << true;
        QTest::newRow("no viewer") << true << false;
    }
    // clang-format on

    void help() {
        QFETCH(bool, helpFile);
        QFETCH(bool, viewer);
        const QString file = testenv::programFolder() + QStringLiteral("/Help.txt");
        if (helpFile) QVERIFY(testenv::writeFile(file, "help\n"));
        if (viewer) testenv::writeMarkerScript(marker("notepad"), marker("viewer"));
        qputenv("PATH", m_bin.path().toUtf8());
        bool menuGone = false;
        testHost().onMessage = [&](const TestHost::Message &) { menuGone = !Forms::find<Form9>(); };
        Forms::open<Form9>()->SSCommand3->click();
        QVERIFY(!Forms::find<Form9>());
        if (helpFile && viewer) {
            QVERIFY(testHost().messages.isEmpty());
            QTRY_VERIFY(testenv::readFile(marker("viewer")).startsWith("started\n"));
            const QList<QByteArray> lines = testenv::readFile(marker("viewer")).split('\n');
            QCOMPARE(QFileInfo(QString::fromUtf8(lines.value(1))).canonicalFilePath(),
                     QFileInfo(file).canonicalFilePath());
            return;
        }
        QCOMPARE(testHost().messages.size(), 1);
        QCOMPARE(testHost().messages[0].prompt, QString::fromLatin1(kHelpMessage));
        QVERIFY(menuGone);
        QTest::qWait(300);
        QVERIFY(!QFile::exists(marker("viewer")));
    }
};

TALVENDOK_TEST_MAIN(MenuTest)
#include "tst_menu.moc"
