// The options window with its colour setter, the password that guards it and the
// information window about where the password is kept.
#include <QSettings>
#include <QTest>

#include "bar/bar_window.h"
#include "config/options_window.h"
#include "config/password_access_window.h"
#include "config/password_info_window.h"
#include "core/host_services.h"
#include "core/window_registry.h"
#include "tests/support/test_host.h"

class OptionsTest : public QObject {
    Q_OBJECT

    QString option(const char *key) { return host().getSetting("Options", key, "<none>"); }
    void store(const char *key, const QString &value) {
        QVERIFY(host().saveSetting("Options", key, value));
    }
    QColor title() { return foreColor(Forms::get<Form1>()->Label2); }
    QByteArray file() { return testHost().settingsFileContent(); }

  private slots:
    void init() { testHost().freshStart(); }

    // Previews store nothing: the centre panel centres the bar on release (not on press),
    // and the shadow's preview outlives Cancel until the next opening applies the store.
    void previewsStoreNothing() {
        Form7 *f = openOptions();
        Form1 *bar = Forms::get<Form1>();
        const QByteArray before = file();
        bar->setLeft(300);
        QTest::mousePress(f->SSPanel10, Qt::LeftButton);
        QCOMPARE(bar->Left(), 300.0);
        QTest::mouseRelease(f->SSPanel10, Qt::LeftButton);
        const QSizeF screen = host().screenSizeTwips();
        QCOMPARE(QPointF(bar->Left(), bar->Top()),
                 QPointF(screen.width() - bar->Width(), screen.height() - bar->Height()) / 2);
        f->Check5->click();
        QTest::mouseClick(f->SSCommand2, Qt::LeftButton);
        QVERIFY(!Forms::find<Form7>() && bar->Label1->isHidden());
        QCOMPARE(file(), before);
        openOptions();
        QVERIFY(!bar->Label1->isHidden());
    }

    // Opening on an empty store shows the defaults and writes nothing; Apply stores and
    // applies every field (each box flipped from its default).
    void applyStoresAndAppliesEverything() {
        Form1 *bar = Forms::get<Form1>();
        const QByteArray before = file();
        Form7 *f = openOptions();
        QCOMPARE(file(), before);
        QCOMPARE(f->Text2->Text(), QStringLiteral("TALVENDOK"));
        for (CheckBox *box : f->findChildren<CheckBox *>()) box->setValue(1 - box->Value());
        f->Text2->setText(QStringLiteral("My Bar"));
        for (int i = 0; i < 3; ++i) f->Timer6_Timer();  // blue 240
        QTest::mouseClick(f->SSCommand1, Qt::LeftButton);
        QVERIFY(testHost().messages.isEmpty() && !Forms::find<Form7>());
        const QList<QPair<const char *, const char *>> expected = {
            {"Password", ""},     {"TitleBar", "My Bar"},    {"TextRed", "255"},
            {"TextGreen", "255"}, {"TextBlue", "240"},       {"TextShadow", "0"},
            {"DisplayTime", "0"}, {"3Button", "1"},          {"MinimizeOnRun", "1"},
            {"ConfirmExit", "1"}, {"ButtonBackground", "0"}, {"LargeBevel", "0"},
            {"3DText", "0"},      {"SaveWinPos", "0"}};
        for (const auto &pair : expected) QCOMPARE(option(pair.first), QString(pair.second));
        QCOMPARE(bar->Label1->Caption(), QStringLiteral("My Bar"));
        QCOMPARE(title(), QColor(255, 255, 240));
        QVERIFY(bar->Label1->isHidden() && bar->Label16->isHidden() &&
                bar->SSCommand9->isHidden() && bar->SSCommand10->isHidden());
        QCOMPARE(bar->SSCommand10->BevelWidth(), 2);
        QCOMPARE(bar->launchButton(1)->Font3D(), 0);
        // And back: the fourth button is shown again by the background rule, out of sight.
        f = openOptions();
        f->Check1->setValue(1);
        QTest::mouseClick(f->SSCommand1, Qt::LeftButton);
        QVERIFY(!bar->SSCommand9->isHidden());
        QVERIFY(!bar->rect().intersects(bar->SSCommand9->geometry()));
        // A failed save is reported, yet what was applied shows for this run.
        testHost().blockStore();
        f = openOptions();
        f->Text2->setText(QStringLiteral("Unsaved"));
        f->SSCommand1_Click();
        QCOMPARE(testHost().messages.size(), 1);
        QVERIFY(testHost().messages[0].prompt.startsWith("Your settings could not be saved to "));
        QCOMPARE(bar->Label2->Caption(), QStringLiteral("Unsaved"));
    }

    // Steps of 5 from the stored colour, stopping at 0 and 255; the preview follows each
    // change, the bar only the transfer tick, and nothing is stored.
    // clang-format off
    void colourSteps_data() {
        QTest::addColumn<QString>("stored");  // red, green and blue
        QTest::addColumn<QString>("timers");  // 1 to 6: red up, green up, blue up, red down...
        QTest::addColumn<QString>("result");
        QTest::newRow("ten red down") << "255 255 255" << "4444444444" << "205 255 255";
        QTest::newRow("off the steps") << "253 3 300" << "1515" << "255 0 255";
        QTest::newRow("not numbers") << "-40 pink 99999999999" << "41" << "5 255 255";
    }
    // clang-format on
    void colourSteps() {
        QFETCH(QString, stored);
        QFETCH(QString, timers);
        QFETCH(QString, result);
        Forms::get<Form1>();
        QStringList rgb = stored.split(' ');
        for (const char *key : {"TextRed", "TextGreen", "TextBlue"}) store(key, rgb.takeFirst());
        Form7 *f = openOptions();
        const QColor old = title();
        const QByteArray before = file();
        for (QChar timer : timers)
            QVERIFY(QMetaObject::invokeMethod(f->findChild<Timer *>(QString("Timer") + timer),
                                              "timeout"));
        const QStringList shown = {f->Label9->Caption(), f->Label10->Caption(),
                                   f->Label11->Caption()};
        QCOMPARE(shown.join(' '), result);
        const QColor colour(shown[0].toInt(), shown[1].toInt(), shown[2].toInt());
        QCOMPARE(foreColor(f->Label5), colour);
        QCOMPARE(title(), old);
        f->Timer7_Timer();
        QCOMPARE(title(), colour);
        QCOMPARE(file(), before);
    }

    // Only the exact stored password opens the options; a refusal says so, and the next
    // opening starts empty. Likewise only the exact old password lets Apply store a new one
    // (or none); otherwise nothing is stored or applied and the options stay as typed.
    // clang-format off
    void password_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("right");
        QTest::newRow("empty") << "Open Sesame" << "" << false;
        QTest::newRow("letter case") << "Open Sesame" << "open sesame" << false;
        QTest::newRow("trailing blank") << "Open Sesame" << "Open Sesame " << false;
        QTest::newRow("other") << "Open Sesame" << "Sesame" << false;
        QTest::newRow("right") << "Open Sesame" << "Open Sesame" << true;
        QTest::newRow("none, empty field") << "" << "" << true;
    }
    // clang-format on
    void password() {
        QFETCH(QString, stored);
        QFETCH(QString, typed);
        QFETCH(bool, right);
        Forms::get<Form1>();
        store("Password", stored);
        Form13 *access = Forms::open<Form13>();
        QTest::keyClicks(access->Text1, typed);
        QTest::keyClick(access->Text1, right ? Qt::Key_Enter : Qt::Key_Return);
        QCOMPARE(testHost().messages.size(), right ? 0 : 1);
        QVERIFY(!Forms::find<Form13>());
        Form7 *f = Forms::find<Form7>();
        QCOMPARE(f && f->isVisible(), right);
        if (right) QVERIFY(f->Text3->Text().isEmpty());
        if (!right) {
            QCOMPARE(testHost().messages[0].prompt, QStringLiteral("Password Incorrect"));
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QVERIFY(Forms::open<Form13>()->Text1->Text().isEmpty());
            testHost().messages.clear();
        }
        // Changing it in the options.
        const QString next = stored.isEmpty() ? QStringLiteral("n\u00e9w") : QString();
        f = openOptions();
        const QByteArray before = file();
        f->Text3->setText(typed);
        f->Text4->setText(next);
        f->Text2->setText(QStringLiteral("Changed"));
        bool shown = false;
        testHost().onMessage = [&](const TestHost::Message &) { shown = f->isVisible(); };
        QTest::mouseClick(f->SSCommand1, Qt::LeftButton);
        QCOMPARE(testHost().messages.size(), right ? 0 : 1);
        if (right) QCOMPARE(option("Password"), next);
        if (right) return;
        QCOMPARE(testHost().messages[0].prompt,
                 QStringLiteral("OLD Password entered is incorrect!"));
        QVERIFY(shown);
        QCOMPARE(file(), before);
        QCOMPARE(Forms::find<Form7>(), f);
        QCOMPARE(f->Text2->Text(), QStringLiteral("Changed"));
        QCOMPARE(Forms::get<Form1>()->Label2->Caption(), QStringLiteral("TALVENDOK"));
    }

    // The information window, closed by its button or by the window manager, leads back to
    // the bar and to the options as they were left, and stores nothing.
    void informationWindowLeadsBackToTheOptionsAsLeft() {
        Form7 *options = openOptions();
        Form1 *bar = Forms::get<Form1>();
        options->Check7->setValue(1);
        QTest::keyClicks(options->Text3, QStringLiteral("old one"));
        const QByteArray stored = file();
        for (bool closeRequest : {false, true}) {
            options->SSCommand3_Click();
            Form12 *info = Forms::find<Form12>();
            QVERIFY(info && info->isVisible() && !options->isVisible() && !bar->isVisible());
            QVERIFY(info->Label2->Caption().contains("~/config/TALVENDOK/TALVENDOK.conf"));
            closeRequest ? void(info->close())
                         : QTest::mouseClick(info->SSCommand1, Qt::LeftButton);
            QVERIFY(!Forms::find<Form12>() && bar->isVisible() && options->isVisible());
            QCOMPARE(options->Text3->Text(), QStringLiteral("old one"));
            QCOMPARE(options->Check7->Value(), 1);
            QCOMPARE(file(), stored);
        }
    }

    // The whole text fits its label however deep the settings folder lies, many folders
    // deep and in one long folder name: it is shortened, never cut at the label's edges.
    void informationNamesWhereThePasswordIsKept() {
        const QString folder = QStringLiteral("/level").repeated(35) + '/' + QString(150, 'x');
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
};

TALVENDOK_TEST_MAIN(OptionsTest)
#include "tst_options.moc"
