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

class MenuTest : public QObject {
    Q_OBJECT

    QByteArray m_path = qgetenv("PATH");
    QTemporaryDir m_bin;  // a private PATH for the text viewer

    QString panel() { return testenv::programFolder() + QStringLiteral("/Panel.exe"); }
    QString marker(const char *name) { return m_bin.filePath(name); }
    bool isCentred(Form *form) {
        const QSizeF screen = host().screenSizeTwips();
        return qAbs(form->Left() - (screen.width() - form->Width()) / 2) < 0.01 &&
               qAbs(form->Top() - (screen.height() - form->Height()) / 2) < 0.01;
    }

  private slots:
    void init() {
        testHost().freshStart();
        qputenv("PATH", m_path);
        QDir(m_bin.path()).removeRecursively();
        QDir().mkpath(m_bin.path());
        // Let the bar's activation settle first, or its focus handler closes the menu.
        QTRY_COMPARE(QGuiApplication::focusWindow(), Forms::get<Form1>()->windowHandle());
    }

    // Closes when the bar gets the focus (where it opens: tests/e2e/test_bar_session.sh).
    void closesWithTheBarsFocus() {
        Form1 *bar = Forms::get<Form1>();
        bar->SSPanel2_Click();
        QPointer<Form9> menu = Forms::find<Form9>();
        QVERIFY(menu && menu->Visible() && bar->Visible());
        bar->Form_GotFocus();
        QVERIFY(!Forms::isLoaded(menu));
    }

    // Whether the utility panel can be started is looked at only when the menu opens. It
    // starts, and the menu stays until another form is active. A file that cannot start, or a
    // store that cannot take the marker: reported, the menu stays, nothing is started.
    // clang-format off
    void utilityPanel_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("outcome");  // none: the button is disabled
        QTest::newRow("none") << "" << "";
        QTest::newRow("not executable") << "plain" << "";
        QTest::newRow("folder") << "Panel.exe/" << "";
        QTest::newRow("other letter case") << "panel.EXE" << "enabled";
        QTest::newRow("starts") << "Panel.exe" << "starts";
        QTest::newRow("not a program") << "Panel.exe" << "not a program";
        QTest::newRow("store cannot save") << "Panel.exe" << "store cannot save";
    }
    // clang-format on
    void utilityPanel() {
        QFETCH(QString, file);
        QFETCH(QString, outcome);
        const QString path = testenv::programFolder() + '/' + file;
        QPointer<Form9> menu = Forms::get<Form9>();  // loaded before the file appears
        if (file == "plain")
            QVERIFY(testenv::writeFile(panel(), "#!/bin/sh\n"));
        else if (file.endsWith('/'))
            QDir().mkpath(path);
        else if (outcome == "not a program")
            QVERIFY(testenv::writeFile(path, "this is no program\n", true));
        else if (!file.isEmpty())
            testenv::writeMarkerScript(path, marker("panel"));
        if (outcome == "store cannot save") testHost().blockStore();
        menu = Forms::open<Form9>();
        QCOMPARE(menu->SSCommand6->isEnabled(), !outcome.isEmpty());
        QVERIFY(menu->SSCommand5->isEnabled());
        if (outcome.isEmpty() || outcome == "enabled") return;
        QTRY_COMPARE(QGuiApplication::focusWindow(), menu->windowHandle());
        menu->SSCommand6->click();
        QVERIFY(menu && menu->Visible());
        if (outcome != "starts") {
            QCOMPARE(testHost().messages.size(), 1);
            QCOMPARE(testHost().messages[0].prompt,
                     QStringLiteral("Internal Error, Invalid Plugin"));
            QCOMPARE(testHost().messages[0].style, 16);
            QTest::qWait(300);
            QVERIFY(!QFile::exists(marker("panel")));
            return;
        }
        QTRY_COMPARE(testenv::readFile(marker("panel")), QByteArray("started\n"));
        QCOMPARE(host().getSetting("Startup", "Plugin", "none"), QStringLiteral("Enabled"));
        QFile::remove(path);
        QVERIFY(menu->SSCommand6->isEnabled());
        // Another program's window, or a window of ours that is no form, leaves it open.
        emit qGuiApp->focusWindowChanged(nullptr);
        QWidget stranger;
        stranger.show();
        stranger.activateWindow();
        QTRY_COMPARE(QGuiApplication::focusWindow(), stranger.windowHandle());
        QVERIFY(Forms::isLoaded(menu));
        Forms::open<Form2>();
        QTRY_VERIFY(menu.isNull());
        QVERIFY(!Forms::open<Form9>()->SSCommand6->isEnabled());
    }

    // Each item closes the menu and shows its window; a stored password puts its window
    // before the options.
    void itemsOpenTheirWindows_data() {
        QTest::addColumn<QString>("item");
        QTest::addColumn<bool>("password");
        QTest::addColumn<QString>("window");
        QTest::newRow("options") << "SSCommand1" << false << "Form7";
        QTest::newRow("options, password") << "SSCommand1" << true << "Form13";
        QTest::newRow("buttons") << "SSCommand4" << false << "Form3";
        QTest::newRow("about") << "SSCommand2" << false << "Form2";
        QTest::newRow("membranes") << "SSCommand5" << false << "Form8";
    }
    void itemsOpenTheirWindows() {
        QFETCH(QString, item);
        QFETCH(bool, password);
        QFETCH(QString, window);
        host().saveSetting("Options", "Password", password ? "secret" : "");
        QPointer<Form9> menu = Forms::open<Form9>();
        menu->findChild<SSCommand *>(item)->click();
        QVERIFY(!Forms::isLoaded(menu));
        QStringList shown;
        for (Form *form : Forms::loaded())
            if (form->Visible() && form->objectName() != "Form1")
                shown << form->objectName() + (isCentred(form) ? "" : " off centre");
        QCOMPARE(shown, QStringList{window});
    }

    // The help text opens in the viewer, after the menu has gone. No help file (even with a
    // viewer at hand), or no viewer: one message, and nothing started.
    void help_data() {
        QTest::addColumn<bool>("helpFile");
        QTest::addColumn<bool>("viewer");
        QTest::newRow("opens") << true << true;
        QTest::newRow("no help file") << false << true;
        QTest::newRow("no viewer") << true << false;
    }
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
        QCOMPARE(testHost().messages[0].prompt,
                 QStringLiteral("Help.txt has not been found. Please re-install TALVENDOK."));
        QVERIFY(menuGone);
        QTest::qWait(300);
        QVERIFY(!QFile::exists(marker("viewer")));
    }
};

TALVENDOK_TEST_MAIN(MenuTest)
#include "tst_menu.moc"
