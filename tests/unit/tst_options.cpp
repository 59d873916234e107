#include <QTest>

#include "bar/bar_window.h"
#include "config/button_definition_window.h"
#include "config/options_window.h"
#include "core/host_services.h"
#include "core/window_registry.h"
#include "tests/support/test_host.h"

namespace {

const QString kOptions = QStringLiteral("Options");

QString storedOption(const QString &key) {
    return host().getSetting(kOptions, key, QStringLiteral("<none>"));
}

bool shown(const QWidget *w) {
    return !w->isHidden();
}

QList<SSPanel *> pages(Form7 *f) {
    return {f->SSPanel1, f->SSPanel11, f->SSPanel16, f->SSPanel18};
}

QList<SSPanel *> tabs(Form7 *f) {
    return {f->SSPanel12, f->SSPanel13, f->SSPanel14, f->SSPanel17};
}

// Launch buttons of the bar: (Left, Width) of slots 1 to 3 and whether slot 4 is out of sight.
void verifyThreeButtons(Form1 *bar) {
    const QList<SSCommand *> buttons = {bar->SSCommand6, bar->SSCommand7, bar->SSCommand8};
    const double lefts[] = {240, 1800, 3360};
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(twips::left(buttons[i]), lefts[i]);
        QCOMPARE(twips::width(buttons[i]), 1455.0);
    }
    QCOMPARE(twips::left(bar->SSCommand9), 9999.0);
}

void verifyFourButtons(Form1 *bar) {
    const QList<SSCommand *> buttons = {bar->SSCommand6, bar->SSCommand7, bar->SSCommand8,
                                        bar->SSCommand9};
    const double lefts[] = {240, 1410, 2570, 3720};
    for (int i = 0; i < 4; ++i) {
        QCOMPARE(twips::left(buttons[i]), lefts[i]);
        QCOMPARE(twips::width(buttons[i]), 1095.0);
        QVERIFY(shown(buttons[i]));
    }
}

}  // namespace

class OptionsTest : public QObject {
    Q_OBJECT

  private slots:
    void init() { testHost().freshStart(); }

    void emptyStoreOpensWithTheDefaults() {
        Forms::get<Form1>();
        const QByteArray before = testHost().settingsFileContent();
        Form7 *f = openOptions();
        Form1 *bar = Forms::get<Form1>();

        for (CheckBox *on : {f->Check1, f->Check3, f->Check2, f->Check5, f->Check9, f->Check6})
            QVERIFY2(on->Value() == 1, qPrintable(on->objectName()));
        for (CheckBox *off : {f->Check4, f->Check7, f->Check8})
            QVERIFY2(off->Value() == 0, qPrintable(off->objectName()));
        QCOMPARE(f->Text2->Text(), QStringLiteral("TALVENDOK"));
        QCOMPARE(f->Label9->Caption(), QStringLiteral("255"));
        QCOMPARE(f->Label10->Caption(), QStringLiteral("255"));
        QCOMPARE(f->Label11->Caption(), QStringLiteral("255"));
        QVERIFY(f->Text3->Text().isEmpty() && f->Text4->Text().isEmpty());

        // Appearance page shown, its tab inset.
        QCOMPARE(shown(f->SSPanel1), true);
        for (SSPanel *page : {f->SSPanel11, f->SSPanel16, f->SSPanel18}) QVERIFY(!shown(page));
        QCOMPARE(f->SSPanel12->BevelOuter(), int(SSPanel::Inset));
        for (SSPanel *tab : {f->SSPanel13, f->SSPanel14, f->SSPanel17})
            QCOMPARE(tab->BevelOuter(), int(SSPanel::Raised));

        // The bar: white title with its shadow, the clock, four buttons.
        QCOMPARE(foreColor(bar->Label2), QColor(255, 255, 255));
        QCOMPARE(foreColor(f->Label5), QColor(255, 255, 255));
        QVERIFY(shown(bar->Label1));
        QVERIFY(shown(bar->Label16));
        verifyFourButtons(bar);

        // Its background is the button definition window's, which stays loaded and hidden.
        Form3 *definitions = Forms::find<Form3>();
        QVERIFY(definitions);
        QVERIFY(!definitions->isVisible());
        QCOMPARE(f->Picture().size(), QSize(320, 440));
        QCOMPARE(f->Picture().toImage(), definitions->Picture().toImage());

        // Loading reads only.
        QCOMPARE(testHost().settingsFileContent(), before);
    }

    void controlsLieInTheirContainers() {
        Form7 *f = openOptions();
        QCOMPARE(f->size(), QSize(313, 394));
        for (QWidget *child : f->findChildren<QWidget *>()) {
            if (child == f->Line1) continue;  // the rule runs on under the frame
            const QWidget *parent = child->parentWidget();
            QVERIFY2(parent->rect().contains(child->geometry()),
                     qPrintable(child->objectName() + QStringLiteral(" outside ") +
                                parent->objectName()));
        }
        for (SSPanel *page : pages(f)) QCOMPARE(page->geometry(), f->SSPanel1->geometry());
        for (CheckBox *box : {f->Check1, f->Check3, f->Check2, f->Check5})
            QCOMPARE(box->parentWidget(), f->SSPanel1);
        for (CheckBox *box : {f->Check4, f->Check7, f->Check8, f->Check9})
            QCOMPARE(box->parentWidget(), f->SSPanel11);
        QCOMPARE(f->Text2->parentWidget(), f->SSPanel16);
        QCOMPARE(f->Text3->parentWidget(), f->SSPanel18);
        QCOMPARE(f->Text3->echoMode(), QLineEdit::Password);
        QCOMPARE(f->Text4->echoMode(), QLineEdit::Password);
        QCOMPARE(f->Check6->parentWidget(), f->SSPanel2);
        QCOMPARE(f->Label9->parentWidget(), f->SSPanel3);
    }

    void storedFlagsOfOtherFormsAreReadSafely() {
        Forms::get<Form1>();
        // Not a number: the key's default; a number: ticked only when it is 1.
        host().saveSetting(kOptions, QStringLiteral("ButtonBackground"), QStringLiteral("yes"));
        host().saveSetting(kOptions, QStringLiteral("MinimizeOnRun"), QStringLiteral("maybe"));
        host().saveSetting(kOptions, QStringLiteral("LargeBevel"), QStringLiteral("2"));
        host().saveSetting(kOptions, QStringLiteral("ConfirmExit"), QStringLiteral("01"));
        host().saveSetting(kOptions, QStringLiteral("3DText"), QStringLiteral(""));
        host().saveSetting(kOptions, QStringLiteral("DisplayTime"), QStringLiteral("00"));
        Form7 *f = openOptions();
        QCOMPARE(f->Check1->Value(), 1);
        QCOMPARE(f->Check4->Value(), 0);
        QCOMPARE(f->Check3->Value(), 0);
        QCOMPARE(f->Check7->Value(), 1);
        QCOMPARE(f->Check2->Value(), 1);
        QCOMPARE(f->Check9->Value(), 0);
        QVERIFY(!shown(Forms::get<Form1>()->Label16));
    }

    void shadowPreviewOutlivesCancel() {
        Form7 *f = openOptions();
        Form1 *bar = Forms::get<Form1>();
        const QByteArray before = testHost().settingsFileContent();

        f->Check5->click();
        QCOMPARE(f->Check5->Value(), 0);
        QVERIFY(!shown(bar->Label1));
        f->Check5->click();
        QVERIFY(shown(bar->Label1));
        f->Check5->click();

        QTest::mouseClick(f->SSCommand2, Qt::LeftButton);
        QVERIFY(!Forms::find<Form7>());
        QVERIFY(bar->isVisible());
        QVERIFY(!shown(bar->Label1));
        QCOMPARE(testHost().settingsFileContent(), before);

        // The next opening applies the stored shadow again.
        f = openOptions();
        QCOMPARE(f->Check5->Value(), 1);
        QVERIFY(shown(bar->Label1));
    }

    void openingAppliesTheStoredButtonLayout() {
        Form1 *bar = Forms::get<Form1>();
        verifyFourButtons(bar);
        host().saveSetting(kOptions, QStringLiteral("3Button"), QStringLiteral("1"));
        Form7 *f = openOptions();
        QCOMPARE(f->Check8->Value(), 1);
        verifyThreeButtons(bar);
        QVERIFY(!shown(bar->SSCommand9));
    }

    void tabsShowPagesOnClickAndLookPressedOnPress() {
        Form7 *f = openOptions();
        QTest::mouseClick(f->SSPanel13, Qt::LeftButton);
        for (SSPanel *page : pages(f)) QCOMPARE(shown(page), page == f->SSPanel11);
        QCOMPARE(f->SSPanel13->BevelOuter(), int(SSPanel::Inset));

        // Pressing "Password": inset at once, the page changes only with the click.
        QTest::mousePress(f->SSPanel17, Qt::LeftButton);
        for (SSPanel *tab : tabs(f))
            QCOMPARE(tab->BevelOuter(),
                     int(tab == f->SSPanel17 ? SSPanel::Inset : SSPanel::Raised));
        QVERIFY(shown(f->SSPanel11) && !shown(f->SSPanel18));
        // Released outside the tab: no click, the tab stays inset.
        QTest::mouseRelease(f->SSPanel17, Qt::LeftButton, {}, QPoint(-20, -20));
        QVERIFY(shown(f->SSPanel11) && !shown(f->SSPanel18));
        QCOMPARE(f->SSPanel17->BevelOuter(), int(SSPanel::Inset));

        QTest::mouseClick(f->SSPanel14, Qt::RightButton);  // any button presses the look
        QCOMPARE(f->SSPanel14->BevelOuter(), int(SSPanel::Inset));
        QVERIFY(shown(f->SSPanel11));
        QTest::mouseClick(f->SSPanel14, Qt::LeftButton);
        for (SSPanel *page : pages(f)) QCOMPARE(shown(page), page == f->SSPanel16);
        QTest::mouseClick(f->SSPanel17, Qt::LeftButton);
        for (SSPanel *page : pages(f)) QCOMPARE(shown(page), page == f->SSPanel18);
        QTest::mouseClick(f->SSPanel12, Qt::LeftButton);
        for (SSPanel *page : pages(f)) QCOMPARE(shown(page), page == f->SSPanel1);
        for (SSPanel *tab : tabs(f))
            QCOMPARE(tab->BevelOuter(),
                     int(tab == f->SSPanel12 ? SSPanel::Inset : SSPanel::Raised));
    }

    void centrePanelMovesTheBar() {
        Form7 *f = openOptions();
        Form1 *bar = Forms::get<Form1>();
        bar->setLeft(300);
        bar->setTop(450);
        const double optionsLeft = f->Left(), optionsTop = f->Top();

        QTest::mousePress(f->SSPanel10, Qt::LeftButton);
        QCOMPARE(f->SSPanel10->BevelOuter(), int(SSPanel::Inset));
        QCOMPARE(bar->Left(), 300.0);
        QTest::mouseRelease(f->SSPanel10, Qt::LeftButton);
        QCOMPARE(f->SSPanel10->BevelOuter(), int(SSPanel::Raised));

        const QSizeF screen = host().screenSizeTwips();
        QCOMPARE(bar->Left(), (screen.width() - bar->Width()) / 2);
        QCOMPARE(bar->Top(), (screen.height() - bar->Height()) / 2);
        QCOMPARE(f->Left(), optionsLeft);
        QCOMPARE(f->Top(), optionsTop);
        QCOMPARE(storedOption(QStringLiteral("Left")), QStringLiteral("<none>"));
    }

    void applyWithoutPasswordStoresAndAppliesEverything() {
        Form7 *f = openOptions();
        Form1 *bar = Forms::get<Form1>();
        for (CheckBox *box : f->findChildren<CheckBox *>()) box->setValue(1 - box->Value());
        f->Text2->setText(QStringLiteral("My Bar"));
        for (int i = 0; i < 3; ++i) f->Timer6_Timer();  // blue 240

        QTest::mouseClick(f->SSCommand1, Qt::LeftButton);
        QVERIFY(testHost().messages.isEmpty());
        QVERIFY(!Forms::find<Form7>());
        QVERIFY(bar->isVisible());

        const QList<QPair<const char *, const char *>> expected = {
            {"Password", ""},     {"TitleBar", "My Bar"},    {"TextRed", "255"},
            {"TextGreen", "255"}, {"TextBlue", "240"},       {"TextShadow", "0"},
            {"DisplayTime", "0"}, {"3Button", "1"},          {"MinimizeOnRun", "1"},
            {"ConfirmExit", "1"}, {"ButtonBackground", "0"}, {"LargeBevel", "0"},
            {"3DText", "0"},      {"SaveWinPos", "0"}};
        for (const auto &pair : expected)
            QCOMPARE(storedOption(QLatin1String(pair.first)), QString::fromUtf8(pair.second));

        QCOMPARE(bar->Label2->Caption(), QStringLiteral("My Bar"));
        QCOMPARE(bar->Label1->Caption(), QStringLiteral("My Bar"));
        QCOMPARE(foreColor(bar->Label2), QColor(255, 255, 240));
        QCOMPARE(foreColor(bar->Label1), QColor(128, 128, 128));
        QVERIFY(!shown(bar->Label1));
        QVERIFY(!shown(bar->Label16));
        verifyThreeButtons(bar);
        QVERIFY(!shown(bar->SSCommand10));
        QCOMPARE(bar->SSCommand10->BevelWidth(), 2);
        for (int slot = 1; slot <= 4; ++slot) QCOMPARE(bar->launchButton(slot)->Font3D(), 0);

        // And back: the fourth button is shown again by the background rule, out of sight.
        f = openOptions();
        for (CheckBox *box : {f->Check1, f->Check3, f->Check2, f->Check5, f->Check9})
            box->setValue(1);
        QTest::mouseClick(f->SSCommand1, Qt::LeftButton);
        QVERIFY(shown(bar->SSCommand10));
        QCOMPARE(bar->SSCommand10->BevelWidth(), 6);
        for (int slot = 1; slot <= 4; ++slot) QCOMPARE(bar->launchButton(slot)->Font3D(), 1);
        QVERIFY(shown(bar->Label1) && shown(bar->Label16));
        verifyThreeButtons(bar);
        QVERIFY(shown(bar->SSCommand9));
        QVERIFY(!bar->rect().intersects(bar->SSCommand9->geometry()));
    }

    void emptyTitleIsStoredAndShown() {
        Form7 *f = openOptions();
        f->Text2->clear();
        QTest::mouseClick(f->SSCommand1, Qt::LeftButton);
        Form1 *bar = Forms::get<Form1>();
        QCOMPARE(storedOption(QStringLiteral("TitleBar")), QString());
        QCOMPARE(bar->Label2->Caption(), QString());
        QCOMPARE(bar->Label1->Caption(), QString());
        f = openOptions();
        QCOMPARE(f->Text2->Text(), QString());
    }

    void wrongOldPasswordChangesNothing_data() {
        QTest::addColumn<QString>("typed");
        QTest::newRow("empty") << QString();
        QTest::newRow("other") << QStringLiteral("Guess");
        QTest::newRow("case only") << QStringLiteral("sesame");
        QTest::newRow("trailing blank") << QStringLiteral("Sesame ");
    }

    void wrongOldPasswordChangesNothing() {
        QFETCH(QString, typed);
        Forms::get<Form1>();
        host().saveSetting(kOptions, QStringLiteral("Password"), QStringLiteral("Sesame"));
        Form7 *f = openOptions();
        Form1 *bar = Forms::get<Form1>();
        const QByteArray before = testHost().settingsFileContent();

        QTest::mouseClick(f->SSPanel17, Qt::LeftButton);
        f->Text3->setText(typed);
        f->Text4->setText(QStringLiteral("new"));
        f->Text2->setText(QStringLiteral("Changed"));
        f->Check9->setValue(0);
        f->Check3->setValue(0);
        bool visibleWhileShown = false;
        testHost().onMessage = [&](const TestHost::Message &) {
            visibleWhileShown = f->isVisible();
        };
        QTest::mouseClick(f->SSCommand1, Qt::LeftButton);

        QCOMPARE(testHost().messages.size(), 1);
        QCOMPARE(testHost().messages[0].prompt,
                 QStringLiteral("OLD Password entered is incorrect!"));
        QCOMPARE(testHost().messages[0].style, 16);
        QVERIFY(testHost().messages[0].title.isEmpty());
        QVERIFY(visibleWhileShown);
        QCOMPARE(testHost().settingsFileContent(), before);
        // The window stays as it was, the bar untouched.
        QCOMPARE(Forms::find<Form7>(), f);
        QVERIFY(f->isVisible());
        QCOMPARE(f->Text3->Text(), typed);
        QCOMPARE(f->Text4->Text(), QStringLiteral("new"));
        QCOMPARE(f->Text2->Text(), QStringLiteral("Changed"));
        QVERIFY(shown(f->SSPanel18));
        QCOMPARE(bar->Label2->Caption(), QStringLiteral("TALVENDOK"));
        QVERIFY(shown(bar->Label16));
        QCOMPARE(bar->SSCommand10->BevelWidth(), 6);
    }

    void passwordIsChangedAndRemovedByApply() {
        Forms::get<Form1>();
        host().saveSetting(kOptions, QStringLiteral("Password"), QStringLiteral("Sesame"));
        Form7 *f = openOptions();
        f->Text3->setText(QStringLiteral("Sesame"));
        f->Text4->setText(QStringLiteral("Open Sesame"));
        QTest::mouseClick(f->SSCommand1, Qt::LeftButton);
        QVERIFY(testHost().messages.isEmpty());
        QCOMPARE(storedOption(QStringLiteral("Password")), QStringLiteral("Open Sesame"));

        // Correct old password, new field left empty: no password any more.
        f = openOptions();
        QVERIFY(f->Text3->Text().isEmpty());
        f->Text3->setText(QStringLiteral("Open Sesame"));
        QTest::mouseClick(f->SSCommand1, Qt::LeftButton);
        QVERIFY(testHost().messages.isEmpty());
        QVERIFY(!Forms::find<Form7>());
        QCOMPARE(storedOption(QStringLiteral("Password")), QString());

        // Now both fields empty pass, and the password stays empty.
        f = openOptions();
        QTest::mouseClick(f->SSCommand1, Qt::LeftButton);
        QVERIFY(testHost().messages.isEmpty());
        QCOMPARE(storedOption(QStringLiteral("Password")), QString());
    }

    void cancelledColourShowsInThePreviewAtTheNextOpening() {
        Form7 *f = openOptions();
        Form1 *bar = Forms::get<Form1>();
        for (int i = 0; i < 10; ++i) f->Timer4_Timer();
        f->Timer7_Timer();
        QCOMPARE(foreColor(bar->Label2), QColor(205, 255, 255));
        QTest::mouseClick(f->SSCommand2, Qt::LeftButton);
        QCOMPARE(foreColor(bar->Label2), QColor(205, 255, 255));
        QCOMPARE(storedOption(QStringLiteral("TextRed")), QStringLiteral("<none>"));

        f = openOptions();
        QCOMPARE(foreColor(f->Label5), QColor(205, 255, 255));
        QCOMPARE(f->Label9->Caption(), QStringLiteral("255"));
        QCOMPARE(foreColor(bar->Label2), QColor(255, 255, 255));
        // The next step makes the preview follow the values again.
        f->Timer5_Timer();
        QCOMPARE(foreColor(f->Label5), QColor(255, 250, 255));
    }
};

TALVENDOK_TEST_MAIN(OptionsTest)
#include "tst_options.moc"
