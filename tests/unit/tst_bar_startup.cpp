// The bar's start-up: button slots, Membrane, clock, the options loading with the
// appearance rules, and where the bar opens.
#include <QDir>
#include <QGuiApplication>
#include <QRegularExpression>
#include <QScreen>
#include <QTest>
#include <QWindow>

#include "bar/appearance_rules.h"
#include "bar/bar_window.h"
#include "config/button_definition_window.h"
#include "config/options_window.h"
#include "core/host_services.h"
#include "core/window_registry.h"
#include "tests/support/test_host.h"

namespace {

QImage image(const QPixmap &pixmap) {
    return pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
}

QImage builtInIcon() {
    return image(QPixmap(QStringLiteral(":/launch.png")));
}

void save(const char *section, const char *key, const QString &value) {
    QVERIFY(testHost().saveSetting(QLatin1String(section), QLatin1String(key), value));
}

// Records every window that is shown, to prove that some never are.
class ShowWatcher : public QObject {
  public:
    QStringList shown;

  protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (event->type() == QEvent::Show && watched->isWidgetType() &&
            static_cast<QWidget *>(watched)->isWindow())
            shown.append(watched->objectName());
        return false;
    }
};

}  // namespace

class TestBarStartup : public QObject {
    Q_OBJECT

  private slots:
    void init() {
        testHost().freshStart();
    }

    void emptyStoreGivesTheDesignedBar() {
        ShowWatcher watcher;
        qApp->installEventFilter(&watcher);
        Form1 *bar = Forms::get<Form1>();
        qApp->removeEventFilter(&watcher);

        QVERIFY(bar->isVisible());
        QTRY_VERIFY(bar->isActiveWindow());
        for (int slot = 1; slot <= 4; ++slot) {
            SSCommand *button = bar->launchButton(slot);
            QCOMPARE(button->Caption(), QStringLiteral("Undefined"));
            QCOMPARE(image(button->Picture()), builtInIcon());
            QVERIFY(button->isVisible());
            QCOMPARE(button->Font3D(), 1);
            QCOMPARE(bar->programHolder(slot)->Caption(), QStringLiteral("UNDEFINED"));
            QCOMPARE(bar->iconHolder(slot)->Caption(), QStringLiteral("UNDEFINED"));
        }
        QCOMPARE(image(bar->Picture()), image(QPixmap(QStringLiteral(":/bar.jpg"))));
        QCOMPARE(bar->Label2->Caption(), QStringLiteral("TALVENDOK"));
        QCOMPARE(bar->Label1->Caption(), QStringLiteral("TALVENDOK"));
        QCOMPARE(foreColor(bar->Label2), QColor(255, 255, 255));
        QCOMPARE(foreColor(bar->Label1), QColor(128, 128, 128));
        QVERIFY(bar->Label1->isVisible());
        QVERIFY(bar->Label16->isVisible());
        QVERIFY(QRegularExpression(QStringLiteral("^\\d\\d:\\d\\d:\\d\\d \\S+$"))
                    .match(bar->Label16->Caption())
                    .hasMatch());
        QVERIFY(bar->SSCommand10->isVisible());
        QCOMPARE(bar->SSCommand10->BevelWidth(), 6);
        QCOMPARE(bar->Left(), 0.0);
        QCOMPARE(bar->Top(), 0.0);

        // The options window was only read: unloaded again and never on screen.
        QVERIFY(!Forms::find<Form7>());
        QVERIFY2(!watcher.shown.contains(QStringLiteral("Form7")),
                 qPrintable(watcher.shown.join(',')));
        QVERIFY(testHost().messages.isEmpty());
        QCOMPARE(testHost().settingsFileContent().trimmed(), QByteArray("[Options]\nSaveWinPos=1"));
    }

    void controlsFollowTheLayout() {
        Form1 *bar = Forms::get<Form1>();
        QCOMPARE(bar->Width(), 5055.0);
        QCOMPARE(bar->Height(), 2100.0);
        QVERIFY(bar->windowFlags().testFlag(Qt::FramelessWindowHint));
        QVERIFY(bar->windowFlags().testFlag(Qt::Tool));

        struct Place {
            QWidget *control;
            double left, top, width, height;
        };
        const Place places[] = {
            {bar->Label3, 0, 0, 5055, 255},          {bar->SSPanel1, 20, 10, 215, 215},
            {bar->SSPanel3, 260, 10, 210, 210},      {bar->Label2, 4080, 10, 915, 195},
            {bar->Label1, 4110, 25, 915, 195},       {bar->SSCommand10, 120, 480, 4815, 1215},
            {bar->SSCommand6, 240, 600, 1095, 975},  {bar->SSCommand7, 1410, 600, 1095, 975},
            {bar->SSCommand8, 2570, 600, 1095, 975}, {bar->SSCommand9, 3720, 600, 1095, 975},
            {bar->SSPanel2, 0, 1800, 1215, 295},     {bar->Label18, 1200, 1800, 3855, 375},
            {bar->Label16, 1320, 1830, 3615, 255},
        };
        for (const Place &p : places) {
            const QString what = p.control->objectName();
            QVERIFY2(twips::left(p.control) == p.left && twips::top(p.control) == p.top &&
                         twips::width(p.control) == p.width && twips::height(p.control) == p.height,
                     qPrintable(what));
        }
        QCOMPARE(bar->SSPanel1->Caption(), QStringLiteral("r"));
        QCOMPARE(bar->SSPanel1->font().family(), QStringLiteral("Marlett"));
        QCOMPARE(bar->SSPanel1->font().pointSizeF(), 9.0);
        QCOMPARE(bar->SSPanel3->font().pointSizeF(), 6.75);
        QCOMPARE(bar->SSPanel2->Caption(), QStringLiteral(".. &Menu .."));
        for (SSPanel *panel : {bar->SSPanel1, bar->SSPanel2, bar->SSPanel3}) {
            QCOMPARE(panel->BackColor(), QColor(192, 192, 192));
            QCOMPARE(panel->BevelOuter(), int(SSPanel::Raised));
        }
        QCOMPARE(bar->Label18->palette().color(QPalette::Window), QColor(0, 0, 0));
        QVERIFY(bar->Label18->autoFillBackground());
        QCOMPARE(foreColor(bar->Label16), QColor(255, 255, 255));
        QCOMPARE(bar->Line1->color(), QColor(0, 192, 192));
        QCOMPARE(twips::top(bar->Line1), 1790.0);
        // The title is drawn over its shadow.
        QVERIFY(bar->children().indexOf(bar->Label1) < bar->children().indexOf(bar->Label2));

        // The path holders carry text only: below the client area, never drawn.
        const Label *holders[] = {bar->Label4, bar->Label5, bar->Label6,  bar->Label7,
                                  bar->Label8, bar->Label9, bar->Label10, bar->Label11};
        for (const Label *holder : holders) {
            QVERIFY2(!holder->isVisible(), qPrintable(holder->objectName()));
            QVERIFY(twips::top(holder) >= 2100);
        }
        QCOMPARE(twips::left(bar->Label7), 120.0);
        QCOMPARE(twips::top(bar->Label7), 3360.0);
        QCOMPARE(twips::left(bar->Label8), 3960.0);
        QCOMPARE(twips::top(bar->Label8), 2280.0);
    }

    void slotsComeFromTheStoreEachIconByItself() {
        const QString icons = testenv::dataHome() + QStringLiteral("/my icons");
        // Recognised by content, whatever the name says.
        QVERIFY(testenv::writePicture(icons + QStringLiteral("/slot two.ico"), "BMP", QSize(32, 32),
                                      QColor(255, 0, 0)));
        QDir().mkpath(icons + QStringLiteral("/a folder"));
        QFile broken(icons + QStringLiteral("/broken.ico"));
        QVERIFY(broken.open(QIODevice::WriteOnly));
        broken.write("not a picture at all");
        broken.close();

        save("Buttons", "Button1Caption", QStringLiteral("&Editor"));
        save("Buttons", "Button2Caption", QStringLiteral("Shell"));
        save("Buttons", "Button2EXE", QStringLiteral("/usr/bin/xterm -e top"));
        save("Buttons", "Button2Icon", icons + QStringLiteral("/slot two.ico"));
        save("Buttons", "Button3Icon", icons + QStringLiteral("/broken.ico"));
        save("Buttons", "Button4Icon", icons + QStringLiteral("/a folder"));
        save("Buttons", "Button4EXE", QString());

        Form1 *bar = Forms::get<Form1>();
        QCOMPARE(bar->SSCommand6->Caption(), QStringLiteral("&Editor"));
        QCOMPARE(bar->SSCommand7->Caption(), QStringLiteral("Shell"));
        QCOMPARE(bar->SSCommand8->Caption(), QStringLiteral("Undefined"));
        QCOMPARE(bar->Label5->Caption(), QStringLiteral("/usr/bin/xterm -e top"));
        QCOMPARE(bar->Label7->Caption(), QString());
        QCOMPARE(bar->Label9->Caption(), icons + QStringLiteral("/slot two.ico"));
        QCOMPARE(image(bar->SSCommand6->Picture()), builtInIcon());
        const QImage two = image(bar->SSCommand7->Picture());
        QCOMPARE(two.size(), QSize(32, 32));
        QCOMPARE(two.pixelColor(16, 16), QColor(255, 0, 0));
        QCOMPARE(image(bar->SSCommand8->Picture()), builtInIcon());
        QCOMPARE(image(bar->SSCommand9->Picture()), builtInIcon());
        QVERIFY(bar->isVisible());
        QVERIFY(testHost().messages.isEmpty());
    }

    void membraneReplacesTheBuiltInPicture() {
        const QString membrane = testenv::programFolder() + QStringLiteral("/Green.emb");
        QVERIFY(testenv::writePicture(membrane, "BMP", QSize(338, 142), QColor(0, 128, 0)));
        save("Startup", "Membrane", QStringLiteral("C:\\TALVENDOK\\Green.emb"));
        Form1 *bar = Forms::get<Form1>();
        QCOMPARE(bar->Picture().size(), QSize(338, 142));
        QCOMPARE(image(bar->Picture()).pixelColor(100, 100), QColor(0, 128, 0));
        QVERIFY(!bar->Label16->Caption().isEmpty());
    }

    void unloadableMembraneKeepsTheBuiltInPicture() {
        const QString text = testenv::programFolder() + QStringLiteral("/Text.emb");
        QFile file(text);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("no picture");
        file.close();
        save("Startup", "Membrane", QStringLiteral("C:\\TALVENDOK\\Text.emb"));
        Form1 *bar = Forms::get<Form1>();
        QCOMPARE(image(bar->Picture()), image(QPixmap(QStringLiteral(":/bar.jpg"))));
        // The clock is set whether or not the picture loaded.
        QVERIFY(!bar->Label16->Caption().isEmpty());
        QVERIFY(bar->isVisible());
        QVERIFY(testHost().messages.isEmpty());
    }

    void storedPositionIsKeptExactly_data() {
        QTest::addColumn<QString>("left");
        QTest::addColumn<QString>("top");
        QTest::addColumn<double>("expectedLeft");
        QTest::addColumn<double>("expectedTop");
        QTest::newRow("whole") << "1500"
                               << "3000" << 1500.0 << 3000.0;
        QTest::newRow("between pixels") << "1507"
                                        << "750.5" << 1507.0 << 750.5;
        QTest::newRow("partly off the screen") << "-3000"
                                               << "-1000" << -3000.0 << -1000.0;
    }

    void storedPositionIsKeptExactly() {
        QFETCH(QString, left);
        QFETCH(QString, top);
        QFETCH(double, expectedLeft);
        QFETCH(double, expectedTop);
        save("Startup", "Left", left);
        save("Startup", "Top", top);
        Form1 *bar = Forms::get<Form1>();
        QCOMPARE(bar->Left(), expectedLeft);
        QCOMPARE(bar->Top(), expectedTop);
        QVERIFY(bar->isVisible());
    }

    void positionOffEveryScreenComesBack() {
        save("Startup", "Left", QStringLiteral("-90000"));
        save("Startup", "Top", QStringLiteral("200000"));
        save("Options", "SaveWinPos", QStringLiteral("1"));
        const QByteArray before = testHost().settingsFileContent();
        Form1 *bar = Forms::get<Form1>();
        const QSizeF screen = host().screenSizeTwips();
        // Onto the nearest screen, as close to the stored place as it can be.
        QCOMPARE(bar->Left(), 0.0);
        QCOMPARE(bar->Top(), screen.height() - bar->Height());
        QVERIFY(bar->isVisible());
        // Nothing is stored for it: the position reaches the store at exit only.
        QCOMPARE(testHost().settingsFileContent(), before);
    }

    void positionNotSavedOpensCentred() {
        save("Options", "SaveWinPos", QStringLiteral("0"));
        save("Startup", "Left", QStringLiteral("600"));
        save("Startup", "Top", QStringLiteral("900"));
        const QByteArray before = testHost().settingsFileContent();
        Form1 *bar = Forms::get<Form1>();
        const QSizeF screen = host().screenSizeTwips();
        QCOMPARE(bar->Left(), (screen.width() - 5055) / 2);
        QCOMPARE(bar->Top(), (screen.height() - 2100) / 2);
        QCOMPARE(testHost().settingsFileContent(), before);
    }

    void positionThatIsNoNumberOpensCentred_data() {
        QTest::addColumn<QString>("left");
        QTest::addColumn<QString>("top");
        QTest::newRow("left") << "left edge"
                              << "300";
        QTest::newRow("top") << "300"
                             << "";
    }

    void positionThatIsNoNumberOpensCentred() {
        QFETCH(QString, left);
        QFETCH(QString, top);
        save("Startup", "Left", left);
        save("Startup", "Top", top);
        Form1 *bar = Forms::get<Form1>();
        const QSizeF screen = host().screenSizeTwips();
        QVERIFY(bar->isVisible());
        QCOMPARE(bar->Left(), (screen.width() - 5055) / 2);
        QCOMPARE(bar->Top(), (screen.height() - 2100) / 2);
        QVERIFY(!Forms::find<Form7>());
        QVERIFY(testHost().messages.isEmpty());
        // The rest of the start-up still happened.
        QVERIFY(bar->SSCommand10->isVisible());
        QCOMPARE(bar->SSCommand6->Font3D(), 1);
    }

    void buttonLayouts_data() {
        QTest::addColumn<QString>("threeButtons");
        QTest::addColumn<QString>("background");
        QTest::addColumn<bool>("slot4Shown");
        QTest::newRow("three, no background") << "1"
                                              << "0" << false;
        // The background rule shows slot 4 again; it stays beyond the right edge.
        QTest::newRow("three, background") << "1"
                                           << "1" << true;
        QTest::newRow("four, no background") << "0"
                                             << "0" << true;
        QTest::newRow("four, background") << "0"
                                          << "1" << true;
    }

    void buttonLayouts() {
        QFETCH(QString, threeButtons);
        QFETCH(QString, background);
        QFETCH(bool, slot4Shown);
        save("Options", "3Button", threeButtons);
        save("Options", "ButtonBackground", background);
        Form1 *bar = Forms::get<Form1>();
        QCOMPARE(bar->SSCommand10->isVisible(), background == QLatin1String("1"));
        QCOMPARE(bar->SSCommand9->isVisible(), slot4Shown);
        QCOMPARE(twips::left(bar->SSCommand6), 240.0);
        QCOMPARE(twips::width(bar->SSCommand9), 1095.0);
        if (threeButtons == QLatin1String("1")) {
            const double lefts[] = {240, 1800, 3360};
            for (int slot = 1; slot <= 3; ++slot) {
                QCOMPARE(twips::left(bar->launchButton(slot)), lefts[slot - 1]);
                QCOMPARE(twips::width(bar->launchButton(slot)), 1455.0);
            }
            QCOMPARE(twips::left(bar->SSCommand9), 9999.0);
            QVERIFY(!bar->rect().intersects(bar->SSCommand9->geometry()));
        } else {
            const double lefts[] = {240, 1410, 2570, 3720};
            for (int slot = 1; slot <= 4; ++slot) {
                QCOMPARE(twips::left(bar->launchButton(slot)), lefts[slot - 1]);
                QCOMPARE(twips::width(bar->launchButton(slot)), 1095.0);
            }
        }
        // Slot 4 keeps its contents in either layout.
        QCOMPARE(bar->SSCommand9->Caption(), QStringLiteral("Undefined"));
    }

    void shadowAndClockOff() {
        save("Options", "TextShadow", QStringLiteral("0"));
        save("Options", "DisplayTime", QStringLiteral("00"));
        Form1 *bar = Forms::get<Form1>();
        QVERIFY(!bar->Label1->isVisible());
        QVERIFY(!bar->Label16->isVisible());
        QVERIFY(bar->Label18->isVisible());
        QVERIFY(bar->Label2->isVisible());
        // The strip is drawn black over the background picture.
        const QImage shot = bar->grab().toImage();
        QCOMPARE(shot.pixelColor(qRound(4900 / 15.0), qRound(2000 / 15.0)), QColor(0, 0, 0));
        QCOMPARE(shot.pixelColor(qRound(2000 / 15.0), qRound(1900 / 15.0)), QColor(0, 0, 0));
    }

    void titleAndButtonLook() {
        save("Options", "TitleBar", QStringLiteral("My Dock"));
        save("Options", "TextRed", QStringLiteral("300"));
        save("Options", "TextGreen", QStringLiteral("-5"));
        save("Options", "TextBlue", QStringLiteral("blue"));
        save("Options", "LargeBevel", QStringLiteral("0"));
        save("Options", "3DText", QStringLiteral("0"));
        save("Options", "TextShadow", QStringLiteral("01"));
        Form1 *bar = Forms::get<Form1>();
        QCOMPARE(bar->Label2->Caption(), QStringLiteral("My Dock"));
        QCOMPARE(bar->Label1->Caption(), QStringLiteral("My Dock"));
        QCOMPARE(foreColor(bar->Label2), QColor(255, 0, 255));
        QCOMPARE(foreColor(bar->Label1), QColor(128, 128, 128));
        QVERIFY(bar->Label1->isVisible());
        QCOMPARE(bar->SSCommand10->BevelWidth(), 2);
        for (int slot = 1; slot <= 4; ++slot) QCOMPARE(bar->launchButton(slot)->Font3D(), 0);
    }

    void clockTicksEverySecond() {
        Form1 *bar = Forms::get<Form1>();
        QCOMPARE(bar->Timer1->interval(), 1000);
        QVERIFY(bar->Timer1->isActive());
        bar->Label16->setCaption(QString());
        bar->Label16->setVisible(false);  // the tick runs whether or not the clock is shown
        const QString before = clockText(QTime::currentTime());
        bar->Timer1_Timer();
        const QString after = clockText(QTime::currentTime());
        QVERIFY2(bar->Label16->Caption() == before || bar->Label16->Caption() == after,
                 qPrintable(bar->Label16->Caption()));
    }

    void clockTextIsRedrawnCleanly() {
        Form1 *bar = Forms::get<Form1>();
        QVERIFY(QTest::qWaitForWindowExposed(bar));
        bar->Label16->setCaption(QStringLiteral("88:88:88 AM"));
        QCoreApplication::processEvents();
        bar->Label16->setCaption(QStringLiteral("11:11:11 PM"));
        QCoreApplication::processEvents();
        // What is on screen holds no pixel of the earlier text.
        const QRect clock = bar->Label16->geometry();
        const QImage onScreen = bar->screen()->grabWindow(bar->winId()).toImage().copy(clock);
        const QImage fresh = bar->grab(clock).toImage();
        QCOMPARE(onScreen.convertToFormat(QImage::Format_RGB32),
                 fresh.convertToFormat(QImage::Format_RGB32));
    }

    void colourChannels() {
        QCOMPARE(appearance::channel(QStringLiteral("0")), 0);
        QCOMPARE(appearance::channel(QStringLiteral("128")), 128);
        QCOMPARE(appearance::channel(QStringLiteral(" 255 ")), 255);
        QCOMPARE(appearance::channel(QStringLiteral("256")), 255);
        QCOMPARE(appearance::channel(QStringLiteral("-1")), 0);
        QCOMPARE(appearance::channel(QStringLiteral("1e12")), 255);
        QCOMPARE(appearance::channel(QStringLiteral("-1e12")), 0);
        QCOMPARE(appearance::channel(QStringLiteral("12.4")), 12);
        QCOMPARE(appearance::channel(QString()), 255);
        QCOMPARE(appearance::channel(QStringLiteral("red")), 255);
    }

    // The rules as the options window's Apply uses them, on a running bar.
    void rulesApplyWholeAndBothWays() {
        Form1 *bar = Forms::get<Form1>();
        appearance::threeButtons(*bar, true);
        appearance::buttonBackground(*bar, false);
        QVERIFY(!bar->SSCommand9->isVisible());
        QVERIFY(!bar->SSCommand10->isVisible());
        appearance::threeButtons(*bar, false);
        QVERIFY(bar->SSCommand9->isVisible());
        QCOMPARE(twips::left(bar->SSCommand9), 3720.0);
        QCOMPARE(twips::left(bar->SSCommand7), 1410.0);
        QCOMPARE(twips::width(bar->SSCommand8), 1095.0);
        appearance::buttonBackground(*bar, true);
        QVERIFY(bar->SSCommand10->isVisible());
        // Launch buttons stay above the background button.
        const QObjectList &children = bar->children();
        for (int slot = 1; slot <= 4; ++slot)
            QVERIFY(children.indexOf(bar->launchButton(slot)) > children.indexOf(bar->SSCommand10));
        appearance::largeBevel(*bar, false);
        QCOMPARE(bar->SSCommand10->BevelWidth(), 2);
        appearance::largeBevel(*bar, true);
        QCOMPARE(bar->SSCommand10->BevelWidth(), 6);
        appearance::titleColour(*bar, 10, 20, 30);
        QCOMPARE(foreColor(bar->Label2), QColor(10, 20, 30));
        QCOMPARE(foreColor(bar->Label1), QColor(128, 128, 128));
        appearance::textShadow(*bar, false);
        appearance::displayTime(*bar, false);
        QVERIFY(!bar->Label1->isVisible());
        QVERIFY(!bar->Label16->isVisible());
        QVERIFY(bar->Label18->isVisible());
        appearance::textShadow(*bar, true);
        appearance::displayTime(*bar, true);
        QVERIFY(bar->Label1->isVisible());
        QVERIFY(bar->Label16->isVisible());
    }
};

TALVENDOK_TEST_MAIN(TestBarStartup)
#include "tst_bar_startup.moc"
