// The options window with its colour setter, the password that guards it and the
// information window about where the password is kept.
#include <QFile>
#include <QSettings>
#include <QTest>

#include "bar/bar_window.h"
#include "config/options_window.h"
#include "config/password_access_window.h"
#include "config/password_info_window.h"
#include "core/host_services.h"
#include "core/window_registry.h"
#include "tests/support/test_host.h"

namespace {

QString option(const char *key) {
    return host().getSetting("Options", key, "<none>");
}

void store(const char *key, const QString &value) {
    QVERIFY(host().saveSetting("Options", key, value));
}

QColor title() {
    return foreColor(Forms::get<Form1>()->Label2);
}

}  // namespace

class OptionsTest : public QObject {
    Q_OBJECT

  private slots:
    void init() { testHost().freshStart(); }

    void shadowPreviewOutlivesCancel() {
        Form7 *f = openOptions();
        Form1 *bar = Forms::get<Form1>();
        const QByteArray before = testHost().settingsFileContent();
        f->Check5->click();
        QVERIFY(bar->Label1->isHidden());
        QTest::mouseClick(f->SSCommand2, Qt::LeftButton);
        QVERIFY(!Forms::find<Form7>());
        QVERIFY(bar->Label1->isHidden());
        QCOMPARE(testHost().settingsFileContent(), before);
        openOptions();  // the next opening applies the stored shadow again
        QVERIFY(!bar->Label1->isHidden());
    }

    void centrePanelCentresTheBarOnRelease() {
        Form7 *f = openOptions();
        Form1 *bar = Forms::get<Form1>();
        bar->setLeft(300);
        QTest::mousePress(f->SSPanel10, Qt::LeftButton);
        QCOMPARE(bar->Left(), 300.0);
        QTest::mouseRelease(f->SSPanel10, Qt::LeftButton);
        const QSizeF screen = host().screenSizeTwips();
        QCOMPARE(bar->Left(), (screen.width() - bar->Width()) / 2);
        QCOMPARE(bar->Top(), (screen.height() - bar->Height()) / 2);
        QCOMPARE(option("Left"), QStringLiteral("<none>"));
    }

    // Opened on an empty store it shows the defaults (each box is flipped below) and writes
    // nothing; Apply then stores and applies everything.
    void applyStoresAndAppliesEverything() {
        Form1 *bar = Forms::get<Form1>();
        const QByteArray before = testHost().settingsFileContent();
        Form7 *f = openOptions();
        QCOMPARE(testHost().settingsFileContent(), before);
        QCOMPARE(f->Text2->Text(), QStringLiteral("TALVENDOK"));
        QVERIFY(!f->SSPanel1->isHidden() && f->SSPanel11->isHidden());
        for (CheckBox *box : f->findChildren<CheckBox *>()) box->setValue(1 - box->Value());
        f->Text2->setText(QStringLiteral("My Bar"));
        for (int i = 0; i < 3; ++i) f->Timer6_Timer();  // blue 240
        QTest::mouseClick(f->SSCommand1, Qt::LeftButton);
        QVERIFY(testHost().messages.isEmpty());
        QVERIFY(!Forms::find<Form7>());
        const QList<QPair<const char *, const char *>> expected = {
            {"Password", ""},     {"TitleBar", "My Bar"},    {"TextRed", "255"},
            {"TextGreen", "255"}, {"TextBlue", "240"},       {"TextShadow", "0"},
            {"DisplayTime", "0"}, {"3Button", "1"},          {"MinimizeOnRun", "1"},
            {"ConfirmExit", "1"}, {"ButtonBackground", "0"}, {"LargeBevel", "0"},
            {"3DText", "0"},      {"SaveWinPos", "0"}};
        for (const auto &pair : expected) QCOMPARE(option(pair.first), QString(pair.second));
        QCOMPARE(bar->Label1->Caption(), QStringLiteral("My Bar"));
        QCOMPARE(title(), QColor(255, 255, 240));
        QVERIFY(bar->Label1->isHidden() && bar->Label16->isHidden());
        QVERIFY(bar->SSCommand9->isHidden() && bar->SSCommand10->isHidden());
        QCOMPARE(bar->SSCommand10->BevelWidth(), 2);
        QCOMPARE(bar->launchButton(1)->Font3D(), 0);
        // And back: the fourth button is shown again by the background rule, out of sight.
        f = openOptions();
        f->Check1->setValue(1);
        QTest::mouseClick(f->SSCommand1, Qt::LeftButton);
        QVERIFY(!bar->SSCommand9->isHidden());
        QVERIFY(!bar->rect().intersects(bar->SSCommand9->geometry()));
    }

    // Only the exact old password lets a new one (or none) be stored; otherwise nothing is
    // stored or applied and the options stay open with what was typed.
    void changingThePassword_data() { passwordAccess_data(); }
    void changingThePassword() {
        QFETCH(QString, stored);
        QFETCH(QString, typed);
        QFETCH(bool, opens);
        const QString next = stored.isEmpty() ? QStringLiteral("n\u00e9w") : QString();
        Forms::get<Form1>();
        store("Password", stored);
        Form7 *f = openOptions();
        const QByteArray before = testHost().settingsFileContent();
        f->Text3->setText(typed);
        f->Text4->setText(next);
        f->Text2->setText(QStringLiteral("Changed"));
        bool shown = false;
        testHost().onMessage = [&](const TestHost::Message &) { shown = f->isVisible(); };
        QTest::mouseClick(f->SSCommand1, Qt::LeftButton);
        QCOMPARE(testHost().messages.size(), opens ? 0 : 1);
        if (opens) QCOMPARE(option("Password"), next);
        if (opens) return;
        QCOMPARE(testHost().messages[0].prompt,
                 QStringLiteral("OLD Password entered is incorrect!"));
        QVERIFY(shown);
        QCOMPARE(testHost().settingsFileContent(), before);
        QCOMPARE(Forms::find<Form7>(), f);
        QCOMPARE(f->Text2->Text(), QStringLiteral("Changed"));
        QCOMPARE(Forms::get<Form1>()->Label2->Caption(), QStringLiteral("TALVENDOK"));
    }

    // Steps of 5 from the stored colour, stopping at 0 and 255; the preview follows each
    // change, the bar only the transfer tick, and nothing is stored.
    // clang-format off
    void colourSteps_data() {
        QTest::addColumn<QStringList>("storedRgb");
        QTest::addColumn<QList<int>>("timers");  // 1 to 6: red up, green up, blue up, red down...
        QTest::addColumn<QStringList>("result");
        QTest::newRow("ten red down") << QStringList{"255", "255", "255"} << QList<int>(10, 4)
                                      << QStringList{"205", "255", "255"};
        QTest::newRow("up at the top") << QStringList{"255", "255", "255"} << QList<int>{1, 2, 3}
                                       << QStringList{"255", "255", "255"};
        QTest::newRow("blue to 0 and back")
            << QStringList{"255", "255", "5"} << QList<int>{6, 6, 6, 3}
            << QStringList{"255", "255", "5"};
        QTest::newRow("off the steps") << QStringList{"253", "3", "300"} << QList<int>{1, 5, 1, 5}
                                       << QStringList{"255", "0", "255"};
        QTest::newRow("not numbers") << QStringList{"-40", "pink", "99999999999"}
                                     << QList<int>{4, 1} << QStringList{"5", "255", "255"};
    }
    // clang-format on

    void colourSteps() {
        QFETCH(QStringList, storedRgb);
        QFETCH(QList<int>, timers);
        QFETCH(QStringList, result);
        Forms::get<Form1>();
        for (const char *key : {"TextRed", "TextGreen", "TextBlue"})
            store(key, storedRgb.takeFirst());
        Form7 *f = openOptions();
        const QColor before = title();
        const QByteArray file = testHost().settingsFileContent();
        const QList<void (Form7::*)()> steps = {&Form7::Timer1_Timer, &Form7::Timer2_Timer,
                                                &Form7::Timer3_Timer, &Form7::Timer4_Timer,
                                                &Form7::Timer5_Timer, &Form7::Timer6_Timer};
        for (int timer : timers) (f->*steps.at(timer - 1))();
        QCOMPARE((QStringList{f->Label9->Caption(), f->Label10->Caption(), f->Label11->Caption()}),
                 result);
        const QColor colour(result[0].toInt(), result[1].toInt(), result[2].toInt());
        QCOMPARE(foreColor(f->Label5), colour);
        QCOMPARE(title(), before);
        f->Timer7_Timer();
        QCOMPARE(title(), colour);
        QCOMPARE(testHost().settingsFileContent(), file);
    }

    // Only the exact stored password opens the options; a refusal says so, and the next
    // opening starts empty.
    // clang-format off
    void passwordAccess_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("opens");
        QTest::newRow("empty") << "Open Sesame" << "" << false;
        QTest::newRow("letter case") << "Open Sesame" << "open sesame" << false;
        QTest::newRow("trailing blank") << "Open Sesame" << "Open Sesame " << false;
        QTest::newRow("other") << "Open Sesame" << "Sesame" << false;
        QTest::newRow("right") << "Open Sesame" << "Open Sesame" << true;
        QTest::newRow("none, empty field") << "" << "" << true;
    }
    // clang-format on

    void passwordAccess() {
        QFETCH(QString, stored);
        QFETCH(QString, typed);
        QFETCH(bool, opens);
        Forms::get<Form1>();
        store("Password", stored);
        Form13 *access = Forms::open<Form13>();
        QTest::keyClicks(access->Text1, typed);
        QTest::keyClick(access->Text1, opens ? Qt::Key_Enter : Qt::Key_Return);
        QCOMPARE(testHost().messages.size(), opens ? 0 : 1);
        QVERIFY(!Forms::find<Form13>());
        Form7 *options = Forms::find<Form7>();
        QCOMPARE(options && options->isVisible(), opens);
        if (opens) QVERIFY(options->Text3->Text().isEmpty());
        if (opens) return;
        QCOMPARE(testHost().messages[0].prompt, QStringLiteral("Password Incorrect"));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(Forms::open<Form13>()->Text1->Text().isEmpty());
    }

    // By its button or by a close request from the window manager.
    void informationWindowLeadsBackToTheOptionsAsLeft_data() {
        QTest::addColumn<bool>("closeRequest");
        QTest::newRow("button") << false;
        QTest::newRow("close request") << true;
    }
    void informationWindowLeadsBackToTheOptionsAsLeft() {
        QFETCH(bool, closeRequest);
        Form7 *options = openOptions();
        Form1 *bar = Forms::get<Form1>();
        options->Check7->setValue(1);
        QTest::keyClicks(options->Text3, QStringLiteral("old one"));
        const QByteArray stored = testHost().settingsFileContent();
        options->SSCommand3_Click();
        Form12 *info = Forms::find<Form12>();
        QVERIFY(info && info->isVisible() && !options->isVisible() && !bar->isVisible());
        QVERIFY(info->Label2->Caption().contains("~/config/TALVENDOK/TALVENDOK.conf"));
        closeRequest ? void(info->close()) : QTest::mouseClick(info->SSCommand1, Qt::LeftButton);
        QVERIFY(!Forms::find<Form12>());
        QVERIFY(bar->isVisible() && options->isVisible());
        QCOMPARE(options->Text3->Text(), QStringLiteral("old one"));
        QCOMPARE(options->Check7->Value(), 1);
        QCOMPARE(testHost().settingsFileContent(), stored);
    }

    // The whole text fits its label however deep the settings folder lies: a path too long
    // for it is shortened, never cut at the label's edges.
    void informationNamesWhereThePasswordIsKept_data() {
        QTest::addColumn<QString>("folder");  // of the settings, below the config home
        QTest::newRow("many folders deep") << QStringLiteral("/level").repeated(35);
        QTest::newRow("one long folder name") << QLatin1Char('/') + QString(150, QLatin1Char('x'));
    }
    void informationNamesWhereThePasswordIsKept() {
        QFETCH(QString, folder);
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                           testenv::configHome() + folder);
        testHost().reopenSettings();
        Form12 *info = Forms::get<Form12>();
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, testenv::configHome());
        testHost().reopenSettings();
        const QString text = info->Label2->Caption();
        QVERIFY2(text.contains(QStringLiteral("/TALVENDOK.conf. ")), qPrintable(text));
        QVERIFY(text.endsWith(QStringLiteral("\"Password\" line removes the password.")));
        const QRect room = info->Label2->contentsRect();
        const QRect needed = info->Label2->fontMetrics().boundingRect(
            room, Qt::TextWordWrap | Qt::AlignHCenter, text);
        QVERIFY2(needed.height() <= room.height() && needed.width() <= room.width(),
                 qPrintable(text));
    }

    void applyThatCannotSaveSaysSo() {
        Form1 *bar = Forms::get<Form1>();
        testHost().blockStore();
        Form7 *options = openOptions();
        options->Text2->setText(QStringLiteral("Unsaved"));
        options->SSCommand1_Click();
        QCOMPARE(testHost().messages.size(), 1);
        QVERIFY(testHost().messages[0].prompt.startsWith("Your settings could not be saved to "));
        QCOMPARE(bar->Label2->Caption(), QStringLiteral("Unsaved"));  // shown for this run
    }
};

TALVENDOK_TEST_MAIN(OptionsTest)
#include "tst_options.moc"
