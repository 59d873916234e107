// The bar: its start-up with the options loading and the appearance rules, the launch
// buttons, the minimised placeholder, the exit sequence and the windows' close requests.
#include <QApplication>
#include <QMessageBox>
#include <QMimeData>
#include <QProcess>
#include <QRegularExpression>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include "bar/bar_window.h"
#include "bar/exit_confirm_window.h"
#include "bar/placeholder_window.h"
#include "config/button_definition_window.h"
#include "config/options_window.h"
#include "core/host_services.h"
#include "core/window_registry.h"
#include "tests/support/test_host.h"

namespace {

QImage builtInIcon() {
    return testenv::pixels(QPixmap(QStringLiteral(":/launch.png")));
}

const QString kNotExecutable = QStringLiteral(" is not executable, please change your settings!");

void save(const char *section, const char *key, const QString &value) {
    QVERIFY(testHost().saveSetting(QLatin1String(section), QLatin1String(key), value));
}

}  // namespace

class BarTest : public QObject {
    Q_OBJECT

    QString m_programs;  // a folder whose name has a blank
    QString m_marker;
    QString m_script;
    QString m_entry;  // a desktop entry of the script, with an icon of the theme

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
        m_entry = testenv::dataHome() + QStringLiteral("/applications/tool.desktop");
        QVERIFY(testenv::writeFile(m_entry,
                                   "[Desktop Entry]\nType=Application\nName=Big Tool\n"
                                   "Icon=talvendok-test\nExec=\"" +
                                       m_script.toUtf8() + "\"\n"));
        // A small hicolor theme with one green icon.
        const QString theme = testenv::dataHome() + QStringLiteral("/icons/hicolor");
        QVERIFY(testenv::writeFile(theme + "/index.theme",
                                   "[Icon Theme]\nDirectories=32x32/apps\n"
                                   "[32x32/apps]\nSize=32\nType=Fixed\n"));
        QVERIFY(testenv::writePicture(theme + "/32x32/apps/talvendok-test.png", "png",
                                      QSize(32, 32), Qt::green));
    }

    // A first start: built-in pictures, title, background button, clock running; the options
    // window, only read, unloaded again.
    void emptyStoreGivesTheDefaultBar() {
        Form1 *bar = Forms::get<Form1>();
        for (int slot = 1; slot <= 4; ++slot)
            QCOMPARE(testenv::pixels(bar->launchButton(slot)->Picture()), builtInIcon());
        QCOMPARE(testenv::pixels(bar->Picture()),
                 testenv::pixels(QPixmap(QStringLiteral(":/bar.jpg"))));
        QVERIFY(bar->Label1->isVisible() && bar->SSCommand10->isVisible() &&
                bar->Timer1->isActive());
        QVERIFY(!Forms::find<Form7>());
    }

    // What the store holds is applied at start-up: slots (an icon known by its content, not
    // its name), Membrane, title, colours brought into range; a missing icon is no fault.
    void slotsAndMembraneComeFromTheStore() {
        const QString icons = testenv::dataHome() + QStringLiteral("/my icons");
        QVERIFY(testenv::writePicture(icons + QStringLiteral("/slot two.ico"), "BMP", QSize(32, 32),
                                      QColor(255, 0, 0)));
        save("Buttons", "Button1Caption", QStringLiteral("&Editor"));
        save("Buttons", "Button2EXE", QStringLiteral("/usr/bin/xterm -e top"));
        save("Buttons", "Button2Icon", icons + QStringLiteral("/slot two.ico"));
        save("Buttons", "Button3Icon", icons + QStringLiteral("/missing.ico"));
        save("Buttons", "Button4EXE", QString());
        const QString membrane = testenv::programFolder() + QStringLiteral("/Green.emb");
        QVERIFY(testenv::writePicture(membrane, "BMP", QSize(338, 142), QColor(0, 128, 0)));
        save("Startup", "Membrane", QStringLiteral("C:\\TALVENDOK\\Green.emb"));
        save("Options", "TitleBar", QStringLiteral("My Dock"));
        save("Options", "TextRed", QStringLiteral("300"));
        save("Options", "TextGreen", QStringLiteral("-5"));
        save("Options", "TextBlue", QStringLiteral("blue"));
        save("Options", "LargeBevel", QStringLiteral("0"));
        save("Options", "3DText", QStringLiteral("0"));
        Form1 *bar = Forms::get<Form1>();
        QCOMPARE(testenv::pixels(bar->Picture()), testenv::pixels(QPixmap(membrane)));
        QCOMPARE(bar->SSCommand6->Caption(), QStringLiteral("&Editor"));
        QCOMPARE(bar->Label5->Caption(), QStringLiteral("/usr/bin/xterm -e top"));
        QCOMPARE(bar->Label7->Caption(), QString());
        QCOMPARE(testenv::pixels(bar->SSCommand7->Picture()).pixelColor(16, 16), QColor(255, 0, 0));
        QCOMPARE(testenv::pixels(bar->SSCommand8->Picture()), builtInIcon());
        QCOMPARE(bar->Label1->Caption(), QStringLiteral("My Dock"));
        QCOMPARE(foreColor(bar->Label2), QColor(255, 0, 255));
        QCOMPARE(foreColor(bar->Label1), QColor(128, 128, 128));
        QCOMPARE(bar->launchButton(4)->Font3D(), 0);
        QVERIFY(testHost().messages.isEmpty());
    }

    // Decoded only when first drawn, a picture sound in its header but not past it must
    // still leave the built-in one, as a failed load does.
    void picturesBadPastTheirHeaderKeepTheBuiltIn() {
        const QString broken = testenv::programFolder() + QStringLiteral("/Broken.emb");
        QVERIFY(testenv::writePicture(broken, "PNG", QSize(338, 142), Qt::darkGreen));
        QByteArray bytes = testenv::readFile(broken);
        const qsizetype data = bytes.indexOf("IDAT") + 8;
        QVERIFY(data > 8 && data < bytes.size() - 12);
        bytes[data] = char(bytes[data] ^ 0x5a);  // the chunk's checksum no longer holds
        QVERIFY(testenv::writeFile(broken, bytes));
        save("Startup", "Membrane", QStringLiteral("C:\\TALVENDOK\\Broken.emb"));
        save("Buttons", "Button2Icon", broken);
        Form1 *bar = Forms::get<Form1>();
        QVERIFY(QTest::qWaitForWindowExposed(bar));
        QCOMPARE(testenv::pixels(bar->Picture()),
                 testenv::pixels(QPixmap(QStringLiteral(":/bar.jpg"))));
        QCOMPARE(testenv::pixels(bar->SSCommand7->Picture()), builtInIcon());
    }

    // A stored place is kept to the twip; without "SaveWinPos" or with a place that is no
    // number the bar opens centred (off every screen: twoScreens). Nothing is stored: the
    // file, written by hand, must not be rewritten for the "SaveWinPos" saved at each start.
    // clang-format off
    void position_data() {
        QTest::addColumn<QString>("left");
        QTest::addColumn<QString>("top");
        QTest::addColumn<QString>("saveWinPos");
        QTest::addColumn<double>("expectedLeft");  // NaN: centred
        QTest::addColumn<double>("expectedTop");
        QTest::newRow("between pixels") << "1507" << "750.5" << "1" << 1507.0 << 750.5;
        QTest::newRow("partly off") << "-3000" << "-1000" << "1" << -3000.0 << -1000.0;
        QTest::newRow("not saved") << "600" << "900" << "0" << qQNaN() << qQNaN();
        QTest::newRow("left no number") << "left edge" << "300" << "1" << qQNaN() << qQNaN();
        QTest::newRow("top empty") << "300" << "" << "1" << qQNaN() << qQNaN();
    }
    // clang-format on

    void position() {
        QFETCH(QString, left);
        QFETCH(QString, top);
        QFETCH(QString, saveWinPos);
        QFETCH(double, expectedLeft);
        QFETCH(double, expectedTop);
        const QByteArray written = "; my bar\n[Options]\nSaveWinPos = " + saveWinPos.toUtf8() +
                                   "\n\n[Startup]\nLeft=" + left.toUtf8() +
                                   "\nTop=" + top.toUtf8() + "\n";
        testHost().writeSettingsFile(written);
        Form1 *bar = Forms::get<Form1>();
        const QSizeF screen = host().screenSizeTwips();
        QCOMPARE(bar->Left(),
                 qIsNaN(expectedLeft) ? (screen.width() - bar->Width()) / 2 : expectedLeft);
        QCOMPARE(bar->Top(),
                 qIsNaN(expectedTop) ? (screen.height() - bar->Height()) / 2 : expectedTop);
        QCOMPARE(testHost().settingsFileContent(), written);
    }

    // Two screens of different sizes, the second right of the first and higher up: a place
    // off every screen comes back onto the nearest screen, and windows are centred on the
    // screen the bar is on, not on the primary one.
    // clang-format off
    void twoScreens_data() {
        QTest::addColumn<QPointF>("stored");
        QTest::addColumn<int>("screen");  // the one the bar ends up on
        QTest::addColumn<bool>("kept");   // exactly at the stored place
        QTest::newRow("on the second") << QPointF(30000, -1000) << 1 << true;
        QTest::newRow("beyond the second") << QPointF(90000, 3000) << 1 << false;
        QTest::newRow("below the first only") << QPointF(1000, 15800) << 0 << false;
    }
    // clang-format on

    void twoScreens() {
        QFETCH(QPointF, stored);
        QFETCH(int, screen);
        QFETCH(bool, kept);
        testHost().screens = {QRectF(0, 0, 19200, 15360), QRectF(19200, -1500, 28800, 16200)};
        save("Startup", "Left", QString::number(stored.x()));
        save("Startup", "Top", QString::number(stored.y()));
        Form1 *bar = Forms::get<Form1>();
        const QRectF on = testHost().screens[screen];
        const QRectF placed(bar->Left(), bar->Top(), bar->Width(), bar->Height());
        QVERIFY(kept ? placed.topLeft() == stored : on.contains(placed));
        Form11 *question = Forms::get<Form11>();
        question->centre();
        QCOMPARE(QPointF(question->Left() + question->Width() / 2,
                         question->Top() + question->Height() / 2),
                 on.center());
    }

    // At a device pixel ratio of 2 the background and the launch icons come from pictures
    // of twice the pixels, not the 1x ones blown up: the built-in ones, and the 64 x 64
    // image of an icon file that also holds 32 x 32 (run at QT_SCALE_FACTOR=2; the
    // background on a real screen: e2e/test_dense_screen.sh).
    void densePictures() {
        if (qApp->devicePixelRatio() != 2) QSKIP("runs at a device pixel ratio of 2 only");
        save("Buttons", "Button2Icon",
             QStringLiteral(TALVENDOK_SOURCE_DIR "/resources/program_folder/DEFAULT.ICO"));
        Form1 *bar = Forms::get<Form1>();
        for (SSCommand *button : {bar->SSCommand6, bar->SSCommand7}) {
            QCOMPARE(button->Picture().size(), QSize(64, 64));
            QCOMPARE(button->Picture().deviceIndependentSize(), QSizeF(32, 32));
        }
    }

    // With "3Button" three slots share the row the four share otherwise, the fourth out past
    // the bar's right edge; "ButtonBackground" shows it again.
    void buttonLayouts_data() {
        QTest::addColumn<QString>("threeButtons");
        QTest::addColumn<QString>("background");
        QTest::newRow("three") << "1"
                               << "0";
        QTest::newRow("three, background") << "1"
                                           << "1";
        QTest::newRow("four") << "0"
                              << "0";
    }

    void buttonLayouts() {
        QFETCH(QString, threeButtons);
        QFETCH(QString, background);
        save("Options", "3Button", threeButtons);
        save("Options", "ButtonBackground", background);
        Form1 *bar = Forms::get<Form1>();
        const int shown = threeButtons == "1" ? 3 : 4;
        QCOMPARE(bar->SSCommand10->isVisible(), background == "1");
        QCOMPARE(bar->SSCommand9->isVisible(), shown == 4 || background == "1");
        const auto left = [&](int slot) { return twips::left(bar->launchButton(slot)); };
        const auto right = [&](int slot) {
            return left(slot) + twips::width(bar->launchButton(slot));
        };
        // Buttons of one width side by side, the row centred in the bar.
        for (int slot = 2; slot <= shown; ++slot) {
            QCOMPARE(right(slot) - left(slot), right(1) - left(1));
            QVERIFY(left(slot) > right(slot - 1));
        }
        QCOMPARE(left(1), bar->Width() - right(shown));
        QVERIFY(shown == 4 || left(4) >= bar->Width());
    }

    // A new clock text leaves no pixel of the one before on screen.
    void clockTextIsRedrawnCleanly() {
        Form1 *bar = Forms::get<Form1>();
        QVERIFY(QTest::qWaitForWindowExposed(bar));
        bar->Label16->setCaption(QStringLiteral("88:88:88 AM"));
        QCoreApplication::processEvents();
        bar->Label16->setCaption(QStringLiteral("11:11:11 PM"));
        QCoreApplication::processEvents();
        const QRect clock = bar->Label16->geometry();
        const QImage onScreen = bar->screen()->grabWindow(bar->winId()).toImage().copy(clock);
        QCOMPARE(onScreen.convertToFormat(QImage::Format_RGB32),
                 bar->grab(clock).toImage().convertToFormat(QImage::Format_RGB32));
    }

    // "MinimizeOnRun" is read afresh at each click: 1 puts the bar away behind the
    // placeholder (one built ahead too) and starts, 0 starts, anything else starts nothing.
    // A program not started is named in the message as held, letter for letter (markup
    // rendered would show another path), with 1 the bar already away when it shows.
    // clang-format off
    void launch_data() {
        QTest::addColumn<QString>("path");  // $X: the marker script with an argument
        QTest::addColumn<QString>("flag");
        QTest::addColumn<bool>("builtAhead");
        QTest::newRow("1") << "$X" << "1" << false;
        QTest::newRow("1, placeholder built ahead") << "$X" << "1" << true;
        QTest::newRow("0") << "$X" << "0" << true;
        QTest::newRow("2") << "$X" << "2" << false;
        QTest::newRow("not a number") << "$X" << "yes" << false;
        QTest::newRow("unset") << "UNDEFINED" << "0" << false;
        QTest::newRow("empty") << "" << "0" << false;
        QTest::newRow("markup") << "<b>x</b> &amp;" << "0" << false;
        QTest::newRow("missing, minimised") << "/nowhere/no such program" << "1" << false;
        QTest::newRow("missing entry") << "/nowhere/tool.desktop" << "0" << false;
    }
    // clang-format on

    void launch() {
        QFETCH(QString, path);
        QFETCH(QString, flag);
        QFETCH(bool, builtAhead);
        const bool script = path == "$X", starts = script && (flag == "0" || flag == "1");
        path.replace("$X", m_script + QStringLiteral(" first-argument"));
        Form1 *bar = startBar();
        // Built ahead, the placeholder is not loaded: nothing sees it before the click.
        if (builtAhead) Forms::prepare<Form10>();
        QVERIFY(!Forms::find<Form10>());
        save("Options", "MinimizeOnRun", flag);
        (script ? bar->Label6 : bar->Label4)->setCaption(path);  // slots 3 and 1
        bool barShown = true;
        QString shown;
        // The real message box, read while it is open, then dismissed.
        testHost().onMessage = [&](const TestHost::Message &message) {
            barShown = bar->isVisible();
            QTimer::singleShot(0, [&] {
                auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
                shown = box && box->textFormat() == Qt::PlainText ? box->text() : "not plain";
                if (box) box->accept();
            });
            testHost().QtHostServices::messageBox(message.prompt, message.style, message.title);
        };
        QTest::mouseClick(script ? bar->SSCommand8 : bar->SSCommand6, Qt::LeftButton);
        if (starts)
            QTRY_COMPARE(testenv::readFile(m_marker), QByteArray("started\nfirst-argument\n"));
        QCOMPARE(testHost().messages.size(), starts ? 0 : 1);
        const bool away = flag == "1";
        if (!starts) {
            QCOMPARE(testHost().messages[0].style, 16);
            QCOMPARE(shown, path + kNotExecutable);
            QCOMPARE(barShown, !away);
        }
        QCOMPARE(bar->isVisible(), !away);
        QCOMPARE(Forms::find<Form10>() && Forms::find<Form10>()->isMinimized(), away);
        if (script && !starts) {
            QTest::qWait(200);
            QVERIFY(testenv::readFile(m_marker).isEmpty());
        }
    }

    // An SVG (by content), a theme name, or an unset icon on a desktop entry shows on the
    // button; hostile SVGs give the built-in icon, without a hang.
    // clang-format off
    void slotIcons_data() {
        QTest::addColumn<QString>("icon");  // $S: `svg` written to a file, $Z: gzipped
        QTest::addColumn<QByteArray>("svg");
        QTest::addColumn<QColor>("colour");  // invalid: the built-in icon
        const QByteArray rect = "<rect width='16' height='16' fill='#0000ff'/>";
        const QByteArray svg = "<svg xmlns='http://www.w3.org/2000/svg' width='16' height='16'>" + rect + "</svg>";
        QTest::newRow("SVG") << "$S" << svg << QColor(Qt::blue);
        QTest::newRow("SVGZ") << "$Z" << svg << QColor(Qt::blue);
        QTest::newRow("theme name") << "talvendok-test" << QByteArray() << QColor(Qt::green);
        QTest::newRow("entry's icon") << "UNDEFINED" << QByteArray() << QColor(Qt::green);
        QTest::newRow("external image") << "$S" << QByteArray(svg).replace("/>", "/><image href='/dev/zero' width='9' height='9'/>") << QColor();
        QTest::newRow("100,000 nested") << "$S" << QByteArray(svg).replace(rect, QByteArray("<g>").repeated(100000) + rect + QByteArray("</g>").repeated(100000)) << QColor();
        QTest::newRow("100,000 x 100,000") << "$S" << QByteArray(svg).replace("'16' height='16'>", "'100000' height='100000'>") << QColor();
    }
    // clang-format on
    void slotIcons() {
        QFETCH(QString, icon);
        QFETCH(QByteArray, svg);
        QFETCH(QColor, colour);
        const QString file = testenv::dataHome() + QStringLiteral("/svg by content.ico");
        QVERIFY(testenv::writeFile(file, svg));
        if (icon == "$Z") QCOMPARE(QProcess::execute("gzip", {"-kf", file}), 0);
        save("Buttons", "Button2Icon", icon.replace("$S", file).replace("$Z", file + ".gz"));
        save("Buttons", "Button2EXE", m_entry);
        const QImage shown = testenv::pixels(Forms::get<Form1>()->SSCommand7->Picture());
        if (colour.isValid())
            QCOMPARE(shown.pixelColor(shown.rect().center()), colour);
        else
            QCOMPARE(shown, builtInIcon());
    }

    // One local application entry or executable dropped (copied or linked) assigns the slot
    // (read again at the drop: $V vanishes after entering); anything else is refused at
    // once and changes nothing. The store waits for the exit.
    // clang-format off
    void dropOnLaunchButton_data() {
        QTest::addColumn<QStringList>("urls");  // $E: the entry, $X: the script, $T: text
        QTest::addColumn<int>("actions");
        QTest::addColumn<QString>("program");  // empty: refused
        const int copyMove = Qt::CopyAction | Qt::MoveAction;
        QTest::newRow("entry") << QStringList{"$E"} << copyMove << "$E";
        QTest::newRow("executable, linked") << QStringList{"$X"} << int(Qt::LinkAction) << "\"$X\"";
        QTest::newRow("move only") << QStringList{"$E"} << int(Qt::MoveAction) << "";
        QTest::newRow("not executable") << QStringList{"$T"} << copyMove << "";
        QTest::newRow("remote") << QStringList{"http://example.invalid/tool.desktop"} << copyMove << "";
        QTest::newRow("10,000 URLs") << QStringList(10000, "$E") << copyMove << "";
        QTest::newRow("vanishes") << QStringList{"$V"} << copyMove << "";
    }
    // clang-format on
    void dropOnLaunchButton() {
        QFETCH(QStringList, urls);
        QFETCH(int, actions);
        QFETCH(QString, program);
        Form1 *bar = startBar();
        QVERIFY(testenv::writeFile(m_marker, "text"));
        QList<QUrl> list;
        for (const QString &url : urls)
            list << QUrl::fromUserInput(QString(url)
                                            .replace(QRegularExpression("\\$[EV]"), m_entry)
                                            .replace("$X", m_script)
                                            .replace("$T", m_marker));
        QMimeData data;
        data.setUrls(list);
        QDragEnterEvent enter(QPoint(5, 5), Qt::DropActions(actions), &data, Qt::LeftButton, {});
        QApplication::sendEvent(bar->SSCommand7, &enter);
        QCOMPARE(enter.isAccepted(), !program.isEmpty() || urls[0] == "$V");
        if (urls[0] == "$V") QFile::remove(m_entry);
        QDropEvent drop(QPointF(5, 5), Qt::DropActions(actions), &data, Qt::LeftButton, {});
        QApplication::sendEvent(bar->SSCommand7, &drop);
        QCOMPARE(drop.isAccepted(), !program.isEmpty());
        QVERIFY(!drop.isAccepted() || drop.dropAction() != Qt::MoveAction);
        program.replace("$E", m_entry).replace("$X", m_script);
        QCOMPARE(bar->Label5->Caption(), program.isEmpty() ? "UNDEFINED" : program);
        const bool entry = program == m_entry;
        QCOMPARE(bar->SSCommand7->Caption(), entry ? "Big Tool" : "Undefined");
        QCOMPARE(testenv::pixels(bar->SSCommand7->Picture()) == builtInIcon(), !entry);
        QVERIFY(!testHost().settingsFileContent().contains("Button2"));
    }

    // Held back at start-up, the button definition window is built by whatever asks for it
    // first (the exit question takes its picture) or else at the release: once, hidden, and
    // loaded from the same bar either way.
    void heldBackWindowIsBuiltWhenFirstAskedFor_data() {
        QTest::addColumn<bool>("askedEarly");
        QTest::newRow("asked before the release") << true;
        QTest::newRow("built at the release") << false;
    }

    void heldBackWindowIsBuiltWhenFirstAskedFor() {
        QFETCH(bool, askedEarly);
        save("Buttons", "Button2Caption", QStringLiteral("Mail"));
        save("Options", "ConfirmExit", QStringLiteral("1"));
        Forms::hold();
        Form1 *bar = startBar();
        QVERIFY(!Forms::find<Form3>());
        if (askedEarly) bar->SSPanel1_Click();
        Form3 *early = Forms::find<Form3>();
        QCOMPARE(early != nullptr, askedEarly);
        Forms::release();
        Form3 *definitions = Forms::find<Form3>();
        QVERIFY(definitions && (!early || definitions == early) && !definitions->isVisible());
        QCOMPARE(definitions->Text2->Text(), QStringLiteral("Mail"));
        if (askedEarly)
            QCOMPARE(testenv::pixels(Forms::find<Form11>()->Picture()),
                     testenv::pixels(definitions->Picture()));
    }

    // The exit stores the place and the slots' twelve values, in this order, then ends.
    void exitSavesFourteenValuesThenEnds() {
        Form1 *bar = startBar();
        bar->SSCommand7->setCaption(QStringLiteral("Edit&or"));
        bar->Label5->setCaption(m_script + QStringLiteral(" --new"));
        bar->Label9->setCaption(QStringLiteral("C:\\TALVENDOK\\DEFAULT.ICO"));
        testHost().recording = true;
        QTest::mouseClick(bar->SSPanel1, Qt::LeftButton);
        testHost().recording = false;
        QStringList expected = {"save Startup/Top=3000", "save Startup/Left=1500"};
        for (const char *part : {"Caption", "EXE", "Icon"})
            for (int slot = 1; slot <= 4; ++slot)
                expected << QStringLiteral("save Buttons/Button%1%2=%3")
                                .arg(QString::number(slot), part,
                                     *part == 'C' ? "Undefined" : "UNDEFINED");
        expected[3] = "save Buttons/Button2Caption=Edit&or";
        expected[7] = "save Buttons/Button2EXE=" + m_script + " --new";
        expected[11] = "save Buttons/Button2Icon=C:\\TALVENDOK\\DEFAULT.ICO";
        expected << "get Options/ConfirmExit"
                 << "end";
        QCOMPARE(testHost().calls, expected);
        testHost().reopenSettings();
        QCOMPARE(testHost().getSetting("Buttons", "Button2EXE", ""), m_script + " --new");
    }

    // A store that cannot be written is reported, and the program still ends.
    void exitThatCannotSaveSaysSoThenEnds() {
        Form1 *bar = startBar();
        testHost().blockStore();
        bar->SSPanel1_Click();
        QCOMPARE(testHost().messages.size(), 1);
        QVERIFY(testHost().messages[0].prompt.contains(QStringLiteral("could not be saved")));
        QCOMPARE(testHost().programEnds, 1);
    }
};

TALVENDOK_TEST_MAIN(BarTest)
#include "tst_bar.moc"
