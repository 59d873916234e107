#include <QTest>

#include "bar/bar_window.h"
#include "config/options_window.h"
#include "config/password_info_window.h"
#include "core/host_services.h"
#include "core/window_registry.h"
#include "tests/support/test_host.h"

namespace {

const QString kOptions = QStringLiteral("Options");

QStringList values(Form7 *f) {
    return {f->Label9->Caption(), f->Label10->Caption(), f->Label11->Caption()};
}

QColor title() {
    return foreColor(Forms::get<Form1>()->Label2);
}

}  // namespace

class OptionsColourTest : public QObject {
    Q_OBJECT

  private slots:
    void init() { testHost().freshStart(); }

    void tenRedStepsDownFromWhite() {
        Form7 *f = openOptions();
        const QByteArray before = testHost().settingsFileContent();
        for (int i = 0; i < 10; ++i) f->Timer4_Timer();
        QCOMPARE(values(f), QStringList({"205", "255", "255"}));
        QCOMPARE(foreColor(f->Label5), QColor(205, 255, 255));
        // The bar takes it with the transfer tick only; nothing is stored.
        QCOMPARE(title(), QColor(255, 255, 255));
        f->Timer7_Timer();
        QCOMPARE(title(), QColor(205, 255, 255));
        QCOMPARE(foreColor(Forms::get<Form1>()->Label1), QColor(128, 128, 128));
        QCOMPARE(testHost().settingsFileContent(), before);
    }

    void pressAndReleaseDriveTheStepTimer() {
        Form7 *f = openOptions();
        const QList<QPair<SSPanel *, Timer *>> pairs = {
            {f->SSPanel4, f->Timer4}, {f->SSPanel5, f->Timer1}, {f->SSPanel6, f->Timer5},
            {f->SSPanel7, f->Timer2}, {f->SSPanel8, f->Timer6}, {f->SSPanel9, f->Timer3}};
        for (const auto &pair : pairs) {
            QVERIFY(!pair.second->Enabled());
            QTest::mousePress(pair.first, Qt::LeftButton);
            QCOMPARE(pair.first->BevelOuter(), int(SSPanel::Inset));
            QVERIFY(pair.second->Enabled());
            QCOMPARE(pair.second->interval(), 150);
            // Released before the first interval has passed: no step.
            QTest::mouseRelease(pair.first, Qt::LeftButton);
            QCOMPARE(pair.first->BevelOuter(), int(SSPanel::Raised));
            QVERIFY(!pair.second->Enabled());
        }
        QCOMPARE(values(f), QStringList({"255", "255", "255"}));
        QVERIFY(f->Timer7->Enabled());
        QCOMPARE(f->Timer7->interval(), 2000);
    }

    void channelsStopAtTheirBounds() {
        Forms::get<Form1>();
        host().saveSetting(kOptions, QStringLiteral("TextBlue"), QStringLiteral("5"));
        Form7 *f = openOptions();
        // The preview still shows the bar's colour from before the opening.
        QCOMPARE(foreColor(f->Label5), QColor(255, 255, 255));
        f->Timer1_Timer();
        f->Timer2_Timer();
        QCOMPARE(values(f), QStringList({"255", "255", "5"}));
        QCOMPARE(foreColor(f->Label5), QColor(255, 255, 255));  // no change, no preview

        f->Timer6_Timer();
        QCOMPARE(values(f), QStringList({"255", "255", "0"}));
        QCOMPARE(foreColor(f->Label5), QColor(255, 255, 0));
        f->Timer6_Timer();
        f->Timer6_Timer();
        QCOMPARE(f->Label11->Caption(), QStringLiteral("0"));

        f->Timer3_Timer();
        QCOMPARE(values(f), QStringList({"255", "255", "5"}));
        QCOMPARE(foreColor(f->Label5), QColor(255, 255, 5));
    }

    void storedValuesOutsideTheStepsStayWithinRange() {
        Forms::get<Form1>();
        host().saveSetting(kOptions, QStringLiteral("TextRed"), QStringLiteral("253"));
        host().saveSetting(kOptions, QStringLiteral("TextGreen"), QStringLiteral("3"));
        host().saveSetting(kOptions, QStringLiteral("TextBlue"), QStringLiteral("300"));
        Form7 *f = openOptions();
        QCOMPARE(values(f), QStringList({"253", "3", "255"}));
        QCOMPARE(title(), QColor(253, 3, 255));
        f->Timer1_Timer();
        f->Timer5_Timer();
        QCOMPARE(values(f), QStringList({"255", "0", "255"}));
        QCOMPARE(foreColor(f->Label5), QColor(255, 0, 255));
        f->Timer1_Timer();
        f->Timer5_Timer();
        QCOMPARE(values(f), QStringList({"255", "0", "255"}));
        QTest::mouseClick(f->SSCommand1, Qt::LeftButton);
        QCOMPARE(host().getSetting(kOptions, QStringLiteral("TextRed"), {}), QStringLiteral("255"));
        QCOMPARE(host().getSetting(kOptions, QStringLiteral("TextGreen"), {}), QStringLiteral("0"));

        Forms::unloadAll();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        host().saveSetting(kOptions, QStringLiteral("TextRed"), QStringLiteral("-40"));
        host().saveSetting(kOptions, QStringLiteral("TextGreen"), QStringLiteral("pink"));
        host().saveSetting(kOptions, QStringLiteral("TextBlue"), QStringLiteral("99999999999"));
        f = openOptions();
        QCOMPARE(values(f), QStringList({"0", "255", "255"}));
        QCOMPARE(title(), QColor(0, 255, 255));
        f->Timer4_Timer();
        f->Timer1_Timer();
        QCOMPARE(f->Label9->Caption(), QStringLiteral("5"));
    }

    // The one case with the real timers: a held panel, then the transfer to the bar, also
    // while the options window is hidden behind the information window.
    void heldPanelStepsAndTheBarFollows() {
        Form7 *f = openOptions();
        Form1 *bar = Forms::get<Form1>();
        const QByteArray before = testHost().settingsFileContent();

        QTest::mousePress(f->SSPanel4, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(f->Label9->Caption().toInt() <= 240, 10000);
        QTest::mouseRelease(f->SSPanel4, Qt::LeftButton);
        const int red = f->Label9->Caption().toInt();
        QCOMPARE(red % 5, 0);
        QCOMPARE(foreColor(f->Label5), QColor(red, 255, 255));
        QTRY_COMPARE_WITH_TIMEOUT(title(), QColor(red, 255, 255), 10000);
        QTest::qWait(400);
        QCOMPARE(f->Label9->Caption().toInt(), red);  // released: no more steps

        // Hidden behind the information window, the transfer goes on.
        QTest::mouseClick(f->SSPanel17, Qt::LeftButton);
        QTest::mouseClick(f->SSCommand3, Qt::LeftButton);
        QVERIFY(!f->isVisible() && !bar->isVisible());
        f->Timer3_Timer();  // no change at 255
        f->Timer6_Timer();
        QTRY_COMPARE_WITH_TIMEOUT(title(), QColor(red, 255, 250), 10000);

        QTest::mouseClick(Forms::get<Form12>()->SSCommand1, Qt::LeftButton);
        QTest::mouseClick(f->SSCommand2, Qt::LeftButton);
        QVERIFY(!Forms::find<Form7>());
        QTest::qWait(2200);
        QCOMPARE(title(), QColor(red, 255, 250));  // kept after Cancel
        QCOMPARE(testHost().settingsFileContent(), before);
    }
};

TALVENDOK_TEST_MAIN(OptionsColourTest)
#include "tst_options_colour.moc"
