// The running bar: launch buttons, the minimised placeholder, the push panels, the drag
// strip and the exit sequence with its confirmation.
#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include "bar/bar_window.h"
#include "bar/exit_confirm_window.h"
#include "bar/placeholder_window.h"
#include "config/about_window.h"
#include "config/button_definition_window.h"
#include "config/membrane_chooser_window.h"
#include "config/menu_window.h"
#include "config/options_window.h"
#include "config/password_info_window.h"
#include "core/host_services.h"
#include "core/window_registry.h"
#include "tests/support/test_host.h"

namespace {

const QString kNotExecutable = QStringLiteral(" is not executable, please change your settings!");

void save(const char *section, const char *key, const QString &value) {
    QVERIFY(testHost().saveSetting(QLatin1String(section), QLatin1String(key), value));
}

QString storedValue(const char *section, const char *key) {
    return testHost().getSetting(QLatin1String(section), QLatin1String(key),
                                 QStringLiteral("<absent>"));
}

QByteArray readMarker(const QString &marker) {
    QFile file(marker);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Lists what the bar asks of the store and of program end while it lives.
struct RecordingHost {
    RecordingHost() { testHost().recording = true; }
    ~RecordingHost() { testHost().recording = false; }
    QStringList &calls = testHost().calls;
};

}  // namespace

class TestBarControls : public QObject {
    Q_OBJECT

    QString m_programs;  // a folder whose name has a blank
    QString m_marker;
    QString m_script;

    Form1 *startBar() {
        Form1 *bar = Forms::get<Form1>();
        if (!QTest::qWaitForWindowExposed(bar)) qWarning("the bar was never exposed");
        // Start from a known place on the screen.
        bar->setLeft(1500);
        bar->setTop(3000);
        return bar;
    }

  private slots:
    void init() {
        testHost().freshStart();
        m_programs = testenv::dataHome() + QStringLiteral("/my programs");
        m_marker = testenv::dataHome() + QStringLiteral("/marker file.txt");
        m_script =
            testenv::writeMarkerScript(m_programs + QStringLiteral("/leave marker.sh"), m_marker);
        QVERIFY(!m_script.isEmpty());
    }

    void unsetSlotIsReported() {
        Form1 *bar = startBar();
        QTest::mouseClick(bar->SSCommand6, Qt::LeftButton);
        QCOMPARE(testHost().messages.size(), 1);
        QCOMPARE(testHost().messages[0].prompt, QStringLiteral("UNDEFINED") + kNotExecutable);
        QCOMPARE(testHost().messages[0].style, 16);
        QCOMPARE(testHost().messages[0].title, QString());
        QVERIFY(bar->isVisible());
        QVERIFY(!Forms::find<Form10>());
    }

    void emptyPathIsReportedByItsMessageAlone() {
        Form1 *bar = startBar();
        bar->Label7->setCaption(QString());
        bar->SSCommand9_Click();
        QCOMPARE(testHost().messages.size(), 1);
        QCOMPARE(testHost().messages[0].prompt, kNotExecutable);
        QVERIFY(testHost().messages[0].prompt.startsWith(QLatin1Char(' ')));
    }

    // Markup in a program path must not be rendered: the user would read another path.
    void messageShowsAPathLetterForLetter() {
        Qt::TextFormat format = Qt::AutoText;
        QString shown;
        // The real message box, read while it is open, then dismissed.
        testHost().onMessage = [&](const TestHost::Message &message) {
            QTimer::singleShot(0, [&] {
                if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                    format = box->textFormat();
                    shown = box->text();
                    box->accept();
                }
            });
            testHost().QtHostServices::messageBox(message.prompt, message.style, message.title);
        };
        Form1 *bar = startBar();
        const QString path = QStringLiteral("<b>x</b> &amp;");
        bar->Label4->setCaption(path);
        QTest::mouseClick(bar->SSCommand6, Qt::LeftButton);
        QCOMPARE(format, Qt::PlainText);
        QCOMPARE(shown, path + kNotExecutable);
    }

    void launchWithMinimiseOnRun_data() {
        QTest::addColumn<QString>("flag");
        QTest::newRow("1") << "1";
        QTest::newRow("01") << "01";
    }

    void launchWithMinimiseOnRun() {
        QFETCH(QString, flag);
        save("Options", "MinimizeOnRun", flag);
        Form1 *bar = startBar();
        bar->Label6->setCaption(m_script + QStringLiteral(" first-argument"));
        QTest::mouseClick(bar->SSCommand8, Qt::LeftButton);
        QTRY_COMPARE(readMarker(m_marker), QByteArray("started\nfirst-argument\n"));
        QVERIFY(testHost().messages.isEmpty());
        QVERIFY(!bar->isVisible());
        QVERIFY(Forms::isLoaded(bar));
        Form10 *placeholder = Forms::find<Form10>();
        QVERIFY(placeholder);
        QVERIFY(placeholder->isVisible());
        QVERIFY(placeholder->isMinimized());
        QCOMPARE(placeholder->windowTitle(), QStringLiteral("T a l v e n d o k"));
        QVERIFY(!placeholder->windowIcon().isNull());
        QVERIFY(!placeholder->windowFlags().testFlag(Qt::Tool));
        QVERIFY(!placeholder->windowFlags().testFlag(Qt::FramelessWindowHint));
        QCOMPARE(placeholder->Label1->Caption(), QStringLiteral("Restoring Window"));
    }

    void failedLaunchWithMinimiseOnRunLeavesTheBarAway() {
        save("Options", "MinimizeOnRun", QStringLiteral("1"));
        Form1 *bar = startBar();
        const QString missing = m_programs + QStringLiteral("/no such program");
        bar->Label4->setCaption(missing);
        bool barShownDuringMessage = true;
        bool placeholderDuringMessage = false;
        testHost().onMessage = [&](const TestHost::Message &) {
            barShownDuringMessage = Forms::get<Form1>()->isVisible();
            placeholderDuringMessage = Forms::find<Form10>() != nullptr;
        };
        bar->SSCommand6_Click();
        QCOMPARE(testHost().messages.size(), 1);
        QCOMPARE(testHost().messages[0].prompt, missing + kNotExecutable);
        QVERIFY(!barShownDuringMessage);
        QVERIFY(placeholderDuringMessage);
        QVERIFY(!bar->isVisible());
        QVERIFY(Forms::find<Form10>());
    }

    // Neither 1 nor 0 starts nothing; the flag is read afresh at every click.
    void unknownMinimiseOnRunStartsNothing_data() {
        QTest::addColumn<QString>("flag");
        QTest::newRow("2") << "2";
        QTest::newRow("not a number") << "yes";
        QTest::newRow("empty") << "";
    }

    void unknownMinimiseOnRunStartsNothing() {
        QFETCH(QString, flag);
        save("Options", "MinimizeOnRun", flag);
        Form1 *bar = startBar();
        bar->Label5->setCaption(m_script + QStringLiteral(" first"));
        bar->SSCommand7_Click();
        QCOMPARE(testHost().messages.size(), 1);
        QCOMPARE(testHost().messages[0].prompt,
                 m_script + QStringLiteral(" first") + kNotExecutable);
        QVERIFY(bar->isVisible());
        QVERIFY(!Forms::find<Form10>());

        save("Options", "MinimizeOnRun", QStringLiteral("0"));
        bar->Label5->setCaption(m_script + QStringLiteral(" second"));
        bar->SSCommand7_Click();
        QTRY_VERIFY(!readMarker(m_marker).isEmpty());
        QCOMPARE(testHost().messages.size(), 1);
        QVERIFY(bar->isVisible());
        // Only the second click started the program.
        QCOMPARE(readMarker(m_marker), QByteArray("started\nsecond\n"));
    }

    void pressedLookOfThePanels() {
        Form1 *bar = startBar();
        for (SSPanel *panel : {bar->SSPanel1, bar->SSPanel2, bar->SSPanel3}) {
            for (Qt::MouseButton button : {Qt::RightButton, Qt::MiddleButton}) {
                QTest::mousePress(panel, button);
                QCOMPARE(panel->BevelOuter(), int(SSPanel::Inset));
                QTest::mouseRelease(panel, button);
                QCOMPARE(panel->BevelOuter(), int(SSPanel::Raised));
            }
        }
        QCOMPARE(testHost().programEnds, 0);
        QVERIFY(bar->isVisible());
    }

    void minimiseAndRestore() {
        Form1 *bar = startBar();
        QTest::mouseClick(bar->SSPanel3, Qt::LeftButton);
        QCOMPARE(bar->SSPanel3->BevelOuter(), int(SSPanel::Raised));
        QVERIFY(!bar->isVisible());
        Form10 *placeholder = Forms::find<Form10>();
        QVERIFY(placeholder);
        QVERIFY(placeholder->isMinimized());
        // Made active right after being shown minimised: that is not the user's restore.
        QCoreApplication::processEvents();
        QTest::qWait(50);
        QVERIFY(!bar->isVisible());
        QCOMPARE(Forms::find<Form10>(), placeholder);

        // The window system reports the user's restore.
        placeholder->windowHandle()->setWindowStates(Qt::WindowNoState);
        QTRY_VERIFY(bar->isVisible());
        QVERIFY(!Forms::find<Form10>());
        QCOMPARE(bar->Left(), 1500.0);
        QCOMPARE(bar->Top(), 3000.0);
        QCOMPARE(bar->SSCommand6->Caption(), QStringLiteral("Undefined"));
        QTRY_VERIFY(bar->isActiveWindow());
        QCOMPARE(testHost().programEnds, 0);

        // A second putting away builds the placeholder afresh.
        bar->SSPanel3_Click();
        QVERIFY(!bar->isVisible());
        QVERIFY(Forms::find<Form10>());
        QVERIFY(Forms::find<Form10>()->isMinimized());
    }

    void closingThePlaceholderEndsWithoutWriting() {
        save("Options", "ConfirmExit", QStringLiteral("1"));
        Form1 *bar = startBar();
        bar->SSCommand6->setCaption(QStringLiteral("Changed"));
        bar->SSPanel3_Click();
        const QByteArray before = testHost().settingsFileContent();
        QVERIFY(Forms::find<Form10>()->close());
        QCOMPARE(testHost().programEnds, 1);
        QCOMPARE(testHost().settingsFileContent(), before);
        QVERIFY(!Forms::find<Form11>());
    }

    void closingThePlaceholderWithTheBarShownOnlyClosesIt() {
        Form1 *bar = startBar();
        bar->SSPanel3_Click();
        bar->Show();
        Forms::find<Form10>()->close();
        QCOMPARE(testHost().programEnds, 0);
        QVERIFY(!Forms::find<Form10>());
        QVERIFY(bar->isVisible());
    }

    void dragStripMovesTheBar() {
        Form1 *bar = startBar();
        const QPoint start = bar->pos();
        const QByteArray before = testHost().settingsFileContent();
        QTest::mousePress(bar->Label3, Qt::LeftButton, {}, QPoint(60, 5));
        QTest::mouseMove(bar->Label3, QPoint(61, 6));  // within the drag distance
        QCOMPARE(bar->pos(), start);
        QTest::mouseMove(bar->Label3, QPoint(100, 35));
        QCOMPARE(bar->pos(), start + QPoint(40, 30));
        QTest::mouseMove(bar->Label3, QPoint(70, 35));
        QCOMPARE(bar->pos(), start + QPoint(50, 60));
        QTest::mouseRelease(bar->Label3, Qt::LeftButton, {}, QPoint(70, 35));
        QTest::mouseMove(bar->Label3, QPoint(20, 10));
        QCOMPARE(bar->pos(), start + QPoint(50, 60));
        QCOMPARE(bar->Left(), 1500.0 + 50 * 15);
        QCOMPARE(bar->Top(), 3000.0 + 60 * 15);
        // A plain click moves nothing.
        QTest::mouseClick(bar->Label3, Qt::LeftButton, {}, QPoint(30, 5));
        QCOMPARE(bar->pos(), start + QPoint(50, 60));
        QCOMPARE(testHost().settingsFileContent(), before);
    }

    void exitSavesFourteenValuesThenEnds() {
        Form1 *bar = startBar();
        bar->SSCommand7->setCaption(QStringLiteral("Edit&or"));
        bar->Label5->setCaption(m_script + QStringLiteral(" --new"));
        bar->Label9->setCaption(QStringLiteral("C:\\TALVENDOK\\DEFAULT.ICO"));
        RecordingHost recorder;
        QTest::mouseClick(bar->SSPanel1, Qt::LeftButton);
        const QStringList expected = {
            QStringLiteral("save Startup/Top=3000"),
            QStringLiteral("save Startup/Left=1500"),
            QStringLiteral("save Buttons/Button1Caption=Undefined"),
            QStringLiteral("save Buttons/Button2Caption=Edit&or"),
            QStringLiteral("save Buttons/Button3Caption=Undefined"),
            QStringLiteral("save Buttons/Button4Caption=Undefined"),
            QStringLiteral("save Buttons/Button1EXE=UNDEFINED"),
            QStringLiteral("save Buttons/Button2EXE=") + m_script + QStringLiteral(" --new"),
            QStringLiteral("save Buttons/Button3EXE=UNDEFINED"),
            QStringLiteral("save Buttons/Button4EXE=UNDEFINED"),
            QStringLiteral("save Buttons/Button1Icon=UNDEFINED"),
            QStringLiteral("save Buttons/Button2Icon=C:\\TALVENDOK\\DEFAULT.ICO"),
            QStringLiteral("save Buttons/Button3Icon=UNDEFINED"),
            QStringLiteral("save Buttons/Button4Icon=UNDEFINED"),
            QStringLiteral("get Options/ConfirmExit"),
            QStringLiteral("end"),
        };
        QCOMPARE(recorder.calls, expected);
        QCOMPARE(testHost().programEnds, 1);
        // On disk, as the next start reads them.
        QCOMPARE(storedValue("Startup", "Top"), QStringLiteral("3000"));
        QCOMPARE(storedValue("Buttons", "Button2Caption"), QStringLiteral("Edit&or"));
        QCOMPARE(storedValue("Buttons", "Button2EXE"), m_script + QStringLiteral(" --new"));
        QCOMPARE(storedValue("Buttons", "Button2Icon"),
                 QStringLiteral("C:\\TALVENDOK\\DEFAULT.ICO"));
        QVERIFY(!Forms::find<Form11>());
    }

    void confirmationAnsweredNo() {
        save("Options", "ConfirmExit", QStringLiteral("1"));
        Form1 *bar = startBar();
        bar->SSCommand6->setCaption(QStringLiteral("Mail"));
        QTest::mouseClick(bar->SSPanel1, Qt::LeftButton);
        QCOMPARE(testHost().programEnds, 0);
        QVERIFY(!bar->isVisible());
        Form11 *question = Forms::find<Form11>();
        QVERIFY(question);
        QVERIFY(question->isVisible());
        const QSizeF screen = host().screenSizeTwips();
        QCOMPARE(question->Left(), (screen.width() - question->Width()) / 2);
        QCOMPARE(question->Top(), (screen.height() - question->Height()) / 2);
        // Saved before the question.
        QCOMPARE(storedValue("Startup", "Left"), QStringLiteral("1500"));
        QCOMPARE(storedValue("Buttons", "Button1Caption"), QStringLiteral("Mail"));

        QTest::mouseClick(question->SSCommand2, Qt::LeftButton);
        QVERIFY(!Forms::find<Form11>());
        QVERIFY(bar->isVisible());
        QCOMPARE(bar->Left(), 1500.0);
        QCOMPARE(bar->Top(), 3000.0);
        QTRY_VERIFY(bar->isActiveWindow());
        QCOMPARE(testHost().programEnds, 0);
        QCOMPARE(storedValue("Buttons", "Button1Caption"), QStringLiteral("Mail"));
    }

    void confirmationAnsweredYes() {
        save("Options", "ConfirmExit", QStringLiteral("1"));
        Form1 *bar = startBar();
        bar->SSPanel1_Click();
        Form11 *question = Forms::find<Form11>();
        QVERIFY(question);
        QTest::mouseClick(question->SSCommand1, Qt::LeftButton);
        QCOMPARE(testHost().programEnds, 1);
    }

    void confirmExitThatIsNoNumberIsNotSet() {
        save("Options", "ConfirmExit", QStringLiteral("ask me"));
        Form1 *bar = startBar();
        bar->SSPanel1_Click();
        QCOMPARE(testHost().programEnds, 1);
        QVERIFY(!Forms::find<Form11>());
    }

    void confirmationWindowLook() {
        Form11 *question = Forms::get<Form11>();
        QCOMPARE(question->Width(), 4710.0);
        QCOMPARE(question->Height(), 2130.0);
        QCOMPARE(question->Label1->Caption(), QStringLiteral("Are you sure you want to exit?"));
        QCOMPARE(question->SSCommand1->Caption(), QStringLiteral("&Yes"));
        QCOMPARE(question->SSCommand2->Caption(), QStringLiteral("&No"));
        QCOMPARE(twips::left(question->SSCommand2), 2640.0);
        QCOMPARE(twips::top(question->SSCommand2), 960.0);
        QCOMPARE(question->Line1->color(), QColor(0, 192, 192));
        QVERIFY(question->Label2);
        QCOMPARE(question->Label2->palette().color(QPalette::Window), QColor(0, 0, 0));
        QCOMPARE(twips::top(question->Label2), 1920.0);
        // The background is the button definition window's, which stays loaded and hidden.
        Form3 *definitions = Forms::find<Form3>();
        QVERIFY(definitions);
        QVERIFY(!definitions->isVisible());
        QVERIFY(!question->Picture().isNull());
        QCOMPARE(question->Picture().toImage(), definitions->Picture().toImage());
    }

    void menuPanelOpensTheMenuAndTheBarClosesIt() {
        Form1 *bar = startBar();
        QTest::mouseClick(bar->SSPanel2, Qt::LeftButton);
        Form9 *menu = Forms::find<Form9>();
        QVERIFY(menu);
        QVERIFY(menu->isVisible());
        QVERIFY(bar->isVisible());
        bar->Form_GotFocus();
        QVERIFY(!Forms::find<Form9>());

        // Reading the menu's visibility loads it hidden when it does not exist.
        bar->Form_GotFocus();
        QVERIFY(Forms::find<Form9>());
        QVERIFY(!Forms::find<Form9>()->isVisible());

        // The bar's activation is its focus handler.
        Forms::find<Form9>()->Show();
        Forms::find<Form9>()->SetFocus();
        QTRY_VERIFY(Forms::find<Form9>() == nullptr || Forms::find<Form9>()->isActiveWindow());
        bar->activateWindow();
        QTRY_VERIFY(!Forms::find<Form9>() || !Forms::find<Form9>()->isVisible());
    }

    void closeRequestToTheBarIsRefused() {
        Form1 *bar = startBar();
        QVERIFY(!bar->close());
        QVERIFY(bar->isVisible());
        QCOMPARE(Forms::find<Form1>(), bar);
        QCOMPARE(testHost().programEnds, 0);
    }

    // A close request that only hid a window left it loaded with its timers running and
    // its contents kept, or left nothing of ours on screen at all.
    void closeRequestTakesTheWindowsWayOut_data() {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QStringList>("shownAfter");
        QTest::newRow("menu") << "Form9" << QStringList{"Form1"};
        QTest::newRow("options") << "Form7" << QStringList{"Form1"};
        QTest::newRow("information") << "Form12" << QStringList{"Form1", "Form7"};
        QTest::newRow("password") << "Form13" << QStringList{"Form1"};
        QTest::newRow("buttons") << "Form3" << QStringList{"Form1"};
        QTest::newRow("membranes") << "Form8" << QStringList{"Form1"};
        QTest::newRow("about") << "Form2" << QStringList{"Form1"};
        QTest::newRow("asking to exit") << "Form11" << QStringList{"Form1"};
    }

    void closeRequestTakesTheWindowsWayOut() {
        QFETCH(QString, window);
        QFETCH(QStringList, shownAfter);
        save("Options", "ConfirmExit", QStringLiteral("1"));
        save("Options", "Password", QStringLiteral("secret"));
        Form1 *bar = startBar();
        Form9 *menu = Forms::get<Form9>();
        if (window == "Form7" || window == "Form12") {
            openOptions()->Text3->setText(QStringLiteral("typed"));
            if (window == "Form12") Forms::get<Form7>()->SSCommand3_Click();
        } else if (window == "Form11") {
            bar->SSPanel1_Click();
        } else {
            menu->Show();
            if (window == "Form13") menu->SSCommand1_Click();
            if (window == "Form3") menu->SSCommand4_Click();
            if (window == "Form8") menu->SSCommand5_Click();
            if (window == "Form2") menu->SSCommand2_Click();
        }
        Form *form = nullptr;
        for (Form *loaded : Forms::loaded())
            if (loaded->objectName() == window) form = loaded;
        QVERIFY(form && form->isVisible());
        const QByteArray stored = testHost().settingsFileContent();

        form->close();
        QVERIFY(!Forms::loaded().contains(form));
        QStringList shown;
        for (Form *loaded : Forms::loaded())
            if (loaded->isVisible()) shown << loaded->objectName();
        shown.sort();
        QCOMPARE(shown, shownAfter);
        QCOMPARE(testHost().settingsFileContent(), stored);
        QCOMPARE(testHost().programEnds, 0);
        // The options come back from behind the information as they were left.
        if (window == "Form12") QCOMPARE(Forms::find<Form7>()->Text3->Text(), "typed");
    }
};

TALVENDOK_TEST_MAIN(TestBarControls)
#include "tst_bar_controls.moc"
