#include "config/options_window.h"

#include <QFontMetrics>

#include "bar/appearance_rules.h"
#include "bar/bar_window.h"
#include "config/button_definition_window.h"
#include "config/password_info_window.h"
#include "core/app_setup.h"
#include "core/host_services.h"
#include "core/settings_schema.h"
#include "core/settings_store.h"
#include "core/twips.h"
#include "core/window_registry.h"

namespace {

// Controls on the grey panels carry black text; the window's own labels are white.
template <class T>
T *onPanel(T *control) {
    setForeColor(control, Qt::black);
    return control;
}

Label *sectionTitle(QWidget *parent, const QString &name, const QString &caption, double left,
                    double top, double width, double height) {
    auto *label = onPanel(new Label(parent, name, caption, left, top, width, height));
    label->setFont(fonts::tahoma(8.25, true));
    return label;
}

SSPanel *pushPanel(QWidget *parent, const QString &name, const QString &caption, double left,
                   double top, double width, double height, int bevel = SSPanel::Raised) {
    auto *panel = new SSPanel(parent, name, caption, left, top, width, height);
    panel->setBevelOuter(bevel);
    panel->setBevelWidth(2);
    return panel;
}

// A stored flag is ticked only when it is numerically 1; text that is no number at all
// reads as the key's default.
int storedFlag(Setting flag) {
    QString text = getSetting(flag);
    double number = 0;
    if (!stored::toNumber(text, &number)) text = QLatin1String(settingKey(flag).fallback);
    return stored::isSet(text) ? 1 : 0;
}

void saveFlag(Setting flag, const CheckBox *box) {
    saveSetting(flag, box->Value() == 1 ? QStringLiteral("1") : QStringLiteral("0"));
}

bool ticked(const CheckBox *box) {
    return box->Value() == 1;
}

// The faces here measure a pixel or two wider than the design's: a caption meant for one
// line stays on one line, and a check box keeps room for its whole caption.
void keepWhole(QWidget *form, const Label *twoLines) {
    for (Label *label : form->findChildren<Label *>()) {
        if (label == twoLines) continue;
        label->setWordWrap(false);
        const int needed = label->fontMetrics().horizontalAdvance(label->text()) + 2;
        if (label->width() < needed) twips::setWidth(label, twips::fromPixels(needed));
    }
    for (CheckBox *box : form->findChildren<CheckBox *>()) {
        const int needed = box->sizeHint().width();
        if (box->width() < needed) twips::setWidth(box, twips::fromPixels(needed));
    }
}

}  // namespace

Form7::Form7() : Form("Form7", 4695, 5910, Form::Tool) {
    addFaces(Faces::All);
    // Its stored place, off to the side, until the opener centres it.
    setLeft(10050);
    setTop(10050);

    Label1 = heading(QStringLiteral("Options"), 120, 135, 1140, 405, 18);
    Line1 = rule(QStringLiteral("Line1"), 480, 4800, 525);

    SSPanel15 = new SSPanel(this, QStringLiteral("SSPanel15"), QString(), 480, 720, 1455, 1935);
    Label15 = sectionTitle(SSPanel15, QStringLiteral("Label15"), QStringLiteral("Option Tabs"), 120,
                           120, 1005, 195);
    SSPanel12 = pushPanel(SSPanel15, QStringLiteral("SSPanel12"), QStringLiteral("Appearance"), 120,
                          470, 1215, 270, SSPanel::Inset);
    SSPanel14 = pushPanel(SSPanel15, QStringLiteral("SSPanel14"), QStringLiteral("Extras"), 120,
                          830, 1215, 270);
    SSPanel17 = pushPanel(SSPanel15, QStringLiteral("SSPanel17"), QStringLiteral("Password"), 120,
                          1190, 1215, 285);
    SSPanel13 = pushPanel(SSPanel15, QStringLiteral("SSPanel13"), QStringLiteral("Miscellaneous"),
                          120, 1550, 1215, 270);

    // The four pages lie on top of each other; the Appearance page is shown.
    SSPanel1 = new SSPanel(this, QStringLiteral("SSPanel1"), QString(), 2040, 720, 2175, 1935);
    Label2 = sectionTitle(SSPanel1, QStringLiteral("Label2"), QStringLiteral("Appearance"), 120,
                          120, 1020, 195);
    Check1 = onPanel(new CheckBox(SSPanel1, QStringLiteral("Check1"),
                                  QStringLiteral("Button Background"), 120, 480, 1695, 255));
    Check3 = onPanel(new CheckBox(SSPanel1, QStringLiteral("Check3"),
                                  QStringLiteral("Large Button Bevel"), 120, 850, 1815, 195));
    Check2 = onPanel(new CheckBox(SSPanel1, QStringLiteral("Check2"),
                                  QStringLiteral("3D Button Text"), 120, 1210, 1455, 195));
    Check5 = onPanel(new CheckBox(SSPanel1, QStringLiteral("Check5"),
                                  QStringLiteral("Titlebar Text Shadow"), 120, 1560, 1895, 255));

    SSPanel11 = new SSPanel(this, QStringLiteral("SSPanel11"), QString(), 2040, 720, 2175, 1935);
    SSPanel11->setVisible(false);
    Label14 = sectionTitle(SSPanel11, QStringLiteral("Label14"), QStringLiteral("Miscellaneous"),
                           120, 120, 1335, 255);
    Check4 = onPanel(new CheckBox(SSPanel11, QStringLiteral("Check4"),
                                  QStringLiteral("Minimize After Run"), 120, 480, 1695, 255));
    Check7 = onPanel(new CheckBox(SSPanel11, QStringLiteral("Check7"),
                                  QStringLiteral("Confirm Upon Exit"), 120, 830, 1595, 255));
    Check8 = onPanel(new CheckBox(SSPanel11, QStringLiteral("Check8"),
                                  QStringLiteral("3 Button Selection"), 120, 1190, 1600, 255));
    Check9 = onPanel(new CheckBox(SSPanel11, QStringLiteral("Check9"),
                                  QStringLiteral("Display Time"), 120, 1560, 1215, 255));

    SSPanel16 = new SSPanel(this, QStringLiteral("SSPanel16"), QString(), 2040, 720, 2175, 1935);
    SSPanel16->setVisible(false);
    Label16 = sectionTitle(SSPanel16, QStringLiteral("Label16"), QStringLiteral("Extras"), 120, 120,
                           1935, 255);
    Label18 = onPanel(new Label(SSPanel16, QStringLiteral("Label18"),
                                QStringLiteral("Titlebar Text:"), 120, 1080, 975, 195));
    Text2 = new TextBox(SSPanel16, QStringLiteral("Text2"), 120, 1320, 1935, 285);
    Label23 = onPanel(new Label(SSPanel16, QStringLiteral("Label23"),
                                QStringLiteral("Default Text: TALVENDOK"), 255, 1680, 1665, 165,
                                Qt::AlignHCenter));
    Label23->setFont(fonts::byName(QStringLiteral("Small Fonts"), 6.75));

    SSPanel18 = new SSPanel(this, QStringLiteral("SSPanel18"), QString(), 2040, 720, 2175, 1935);
    SSPanel18->setVisible(false);
    Label19 = sectionTitle(SSPanel18, QStringLiteral("Label19"), QStringLiteral("Password"), 120,
                           120, 810, 195);
    Label20 = onPanel(new Label(SSPanel18, QStringLiteral("Label20"),
                                QStringLiteral("Old Password:"), 120, 480, 1035, 195));
    Text3 = new TextBox(SSPanel18, QStringLiteral("Text3"), 120, 720, 1935, 285, true);
    Label21 = onPanel(new Label(SSPanel18, QStringLiteral("Label21"),
                                QStringLiteral("New Password:"), 120, 1080, 1110, 195));
    Text4 = new TextBox(SSPanel18, QStringLiteral("Text4"), 120, 1320, 1935, 285, true);
    SSCommand3 =
        new SSCommand(SSPanel18, QStringLiteral("SSCommand3"), QString(), 120, 1660, 255, 185);
    Label22 = onPanel(new Label(SSPanel18, QStringLiteral("Label22"),
                                QStringLiteral("More Information..."), 480, 1650, 1425, 195));

    // Title colour frame.
    SSPanel3 = new SSPanel(this, QStringLiteral("SSPanel3"), QString(), 480, 2760, 3735, 1215);
    Label4 = sectionTitle(SSPanel3, QStringLiteral("Label4"),
                          QStringLiteral("Titlebar Text Colour"), 120, 120, 1680, 195);
    Label5 = new Label(SSPanel3, QStringLiteral("Label5"), QStringLiteral("TALVENDOK"), 2640, 120,
                       915, 195);
    Label6 =
        new Label(SSPanel3, QStringLiteral("Label6"), QStringLiteral("Red"), 120, 360, 615, 255);
    setForeColor(Label6, RGB(255, 0, 0));
    Label7 =
        new Label(SSPanel3, QStringLiteral("Label7"), QStringLiteral("Green"), 1440, 360, 615, 255);
    setForeColor(Label7, RGB(0, 128, 0));
    Label8 =
        new Label(SSPanel3, QStringLiteral("Label8"), QStringLiteral("Blue"), 2880, 360, 615, 255);
    setForeColor(Label8, RGB(0, 0, 192));
    SSPanel4 =
        pushPanel(SSPanel3, QStringLiteral("SSPanel4"), QStringLiteral("<"), 120, 600, 255, 255);
    SSPanel5 =
        pushPanel(SSPanel3, QStringLiteral("SSPanel5"), QStringLiteral(">"), 480, 600, 255, 255);
    SSPanel6 =
        pushPanel(SSPanel3, QStringLiteral("SSPanel6"), QStringLiteral("<"), 1440, 600, 255, 255);
    SSPanel7 =
        pushPanel(SSPanel3, QStringLiteral("SSPanel7"), QStringLiteral(">"), 1800, 600, 255, 255);
    SSPanel8 =
        pushPanel(SSPanel3, QStringLiteral("SSPanel8"), QStringLiteral("<"), 2880, 600, 255, 255);
    SSPanel9 =
        pushPanel(SSPanel3, QStringLiteral("SSPanel9"), QStringLiteral(">"), 3240, 600, 255, 255);
    Label9 = onPanel(new Label(SSPanel3, QStringLiteral("Label9"), QString(), 375, 870, 105, 195,
                               Qt::AlignHCenter));
    Label9->setWordWrap(false);
    setChannel(Label9, 0);
    Label10 = onPanel(new Label(SSPanel3, QStringLiteral("Label10"), QStringLiteral("0"), 1440, 870,
                                615, 255, Qt::AlignHCenter));
    Label11 = onPanel(new Label(SSPanel3, QStringLiteral("Label11"), QStringLiteral("0"), 2880, 870,
                                615, 255, Qt::AlignHCenter));
    Timer1 = new Timer(SSPanel3, QStringLiteral("Timer1"), 150, false);
    Timer2 = new Timer(SSPanel3, QStringLiteral("Timer2"), 150, false);
    Timer3 = new Timer(SSPanel3, QStringLiteral("Timer3"), 150, false);
    Timer4 = new Timer(SSPanel3, QStringLiteral("Timer4"), 150, false);
    Timer5 = new Timer(SSPanel3, QStringLiteral("Timer5"), 150, false);
    Timer6 = new Timer(SSPanel3, QStringLiteral("Timer6"), 150, false);
    Timer7 = new Timer(this, QStringLiteral("Timer7"), 2000, true);

    // Window configuration frame.
    SSPanel2 = new SSPanel(this, QStringLiteral("SSPanel2"), QString(), 480, 4080, 3735, 1215);
    Label3 = sectionTitle(SSPanel2, QStringLiteral("Label3"),
                          QStringLiteral("Window Configuration"), 120, 120, 1845, 195);
    Check6 = onPanel(new CheckBox(SSPanel2, QStringLiteral("Check6"),
                                  QStringLiteral("Save Window Position"), 120, 480, 1935, 255));
    SSPanel10 = pushPanel(SSPanel2, QStringLiteral("SSPanel10"), QString(), 120, 840, 215, 215);
    Label12 =
        onPanel(new Label(SSPanel2, QStringLiteral("Label12"),
                          QStringLiteral("Move Window to Centre Screen"), 390, 840, 2280, 195));

    Label13 = whiteLabel(this, QStringLiteral("Label13"),
                         QStringLiteral("Options take effect when you click 'Apply'."), 120, 5400,
                         1935, 495, Qt::AlignHCenter);
    SSCommand2 = new SSCommand(this, QStringLiteral("SSCommand2"), QStringLiteral("&Cancel"), 2160,
                               5400, 1125, 375);
    SSCommand1 = new SSCommand(this, QStringLiteral("SSCommand1"), QStringLiteral("&Apply"), 3480,
                               5400, 1125, 375);

    // Screen readers: the uncaptioned controls by the labels beside them, the fields by the
    // labels above them, the colour steps by their channel and direction.
    SSCommand3->setAccessibleName(Label22->Caption());
    SSPanel10->setAccessibleName(Label12->Caption());
    Label18->setBuddy(Text2);
    Label20->setBuddy(Text3);
    Label21->setBuddy(Text4);
    SSPanel *const steps[] = {SSPanel4, SSPanel5, SSPanel6, SSPanel7, SSPanel8, SSPanel9};
    const Label *const channels[] = {Label6, Label6, Label7, Label7, Label8, Label8};
    for (int i = 0; i < 6; ++i) {
        // A screen reader's press holds a step for one tick of its timer: one step of 5.
        steps[i]->setActionHold(Timer1->interval() * 3 / 2);
        steps[i]->setAccessibleDescription(
            channels[i]->Caption() + (i % 2 ? QStringLiteral(" up") : QStringLiteral(" down")));
    }

    connect(Check5, &CheckBox::Click, this, &Form7::Check5_Click);
    connect(SSPanel12, &SSPanel::Click, this, &Form7::SSPanel12_Click);
    connect(SSPanel13, &SSPanel::Click, this, &Form7::SSPanel13_Click);
    connect(SSPanel14, &SSPanel::Click, this, &Form7::SSPanel14_Click);
    connect(SSPanel17, &SSPanel::Click, this, &Form7::SSPanel17_Click);
    connect(SSPanel12, &SSPanel::MouseDown, this, &Form7::SSPanel12_MouseDown);
    connect(SSPanel13, &SSPanel::MouseDown, this, &Form7::SSPanel13_MouseDown);
    connect(SSPanel14, &SSPanel::MouseDown, this, &Form7::SSPanel14_MouseDown);
    connect(SSPanel17, &SSPanel::MouseDown, this, &Form7::SSPanel17_MouseDown);
    connect(SSPanel10, &SSPanel::Click, this, &Form7::SSPanel10_Click);
    connect(SSPanel10, &SSPanel::MouseDown, this, &Form7::SSPanel10_MouseDown);
    connect(SSPanel10, &SSPanel::MouseUp, this, &Form7::SSPanel10_MouseUp);
    connect(SSCommand3, &SSCommand::Click, this, &Form7::SSCommand3_Click);
    connect(SSCommand1, &SSCommand::Click, this, &Form7::SSCommand1_Click);
    connect(SSCommand2, &SSCommand::Click, this, &Form7::SSCommand2_Click);
    connect(SSPanel4, &SSPanel::MouseDown, this, &Form7::SSPanel4_MouseDown);
    connect(SSPanel4, &SSPanel::MouseUp, this, &Form7::SSPanel4_MouseUp);
    connect(SSPanel5, &SSPanel::MouseDown, this, &Form7::SSPanel5_MouseDown);
    connect(SSPanel5, &SSPanel::MouseUp, this, &Form7::SSPanel5_MouseUp);
    connect(SSPanel6, &SSPanel::MouseDown, this, &Form7::SSPanel6_MouseDown);
    connect(SSPanel6, &SSPanel::MouseUp, this, &Form7::SSPanel6_MouseUp);
    connect(SSPanel7, &SSPanel::MouseDown, this, &Form7::SSPanel7_MouseDown);
    connect(SSPanel7, &SSPanel::MouseUp, this, &Form7::SSPanel7_MouseUp);
    connect(SSPanel8, &SSPanel::MouseDown, this, &Form7::SSPanel8_MouseDown);
    connect(SSPanel8, &SSPanel::MouseUp, this, &Form7::SSPanel8_MouseUp);
    connect(SSPanel9, &SSPanel::MouseDown, this, &Form7::SSPanel9_MouseDown);
    connect(SSPanel9, &SSPanel::MouseUp, this, &Form7::SSPanel9_MouseUp);
    connect(Timer1, &QTimer::timeout, this, &Form7::Timer1_Timer);
    connect(Timer2, &QTimer::timeout, this, &Form7::Timer2_Timer);
    connect(Timer3, &QTimer::timeout, this, &Form7::Timer3_Timer);
    connect(Timer4, &QTimer::timeout, this, &Form7::Timer4_Timer);
    connect(Timer5, &QTimer::timeout, this, &Form7::Timer5_Timer);
    connect(Timer6, &QTimer::timeout, this, &Form7::Timer6_Timer);
    connect(Timer7, &QTimer::timeout, this, &Form7::Timer7_Timer);
}

StoredOptions StoredOptions::read() {
    StoredOptions stored;
    stored.titleText = getSetting(Setting::TitleBar);
    stored.buttonBackground = storedFlag(Setting::ButtonBackground);
    stored.largeBevel = storedFlag(Setting::LargeBevel);
    stored.minimizeOnRun = storedFlag(Setting::MinimizeOnRun);
    stored.text3D = storedFlag(Setting::Text3D);
    stored.textShadow = storedFlag(Setting::TextShadow);
    stored.saveWinPos = storedFlag(Setting::SaveWinPos);
    stored.confirmExit = storedFlag(Setting::ConfirmExit);
    stored.threeButtons = storedFlag(Setting::ThreeButtons);
    stored.displayTime = storedFlag(Setting::DisplayTime);
    // Values written outside the program are taken within 0..255, so that stepping and the
    // colour stay well-defined.
    stored.red = appearance::channel(getSetting(Setting::TextRed));
    stored.green = appearance::channel(getSetting(Setting::TextGreen));
    stored.blue = appearance::channel(getSetting(Setting::TextBlue));
    return stored;
}

void Form7::Form_Load() {
    // The preview starts from what the bar shows now, which may be an unstored colour left
    // by an earlier opening; the stored colour is given back to the bar below.
    Form1 &bar = *Forms::get<Form1>();
    setForeColor(Label5, foreColor(bar.Label2));
    const StoredOptions stored = StoredOptions::read();
    Text2->setText(stored.titleText);
    takeDefinitionsPicture(this);
    Check1->setValue(stored.buttonBackground);
    Check3->setValue(stored.largeBevel);
    Check4->setValue(stored.minimizeOnRun);
    Check2->setValue(stored.text3D);
    Check5->setValue(stored.textShadow);
    Check6->setValue(stored.saveWinPos);
    Check7->setValue(stored.confirmExit);
    Check8->setValue(stored.threeButtons);
    Check9->setValue(stored.displayTime);
    setChannel(Label9, stored.red);
    setChannel(Label10, stored.green);
    setChannel(Label11, stored.blue);
    applyToBar(bar, stored);
}

StoredOptions Form7::loadUnseen(Form1 &bar) {
    const StoredOptions stored = StoredOptions::read();
    takeDefinitionsPicture(nullptr);
    applyToBar(bar, stored);
    return stored;
}

void Form7::takeDefinitionsPicture(Form7 *options) {
    // At start-up the button definition window is built once the bar is on screen; until
    // then the options window's picture is the one it is built with.
    Form3 *definitions = Forms::getUnlessHeld<Form3>();
    if (!options) return;
    if (definitions)
        options->copyPictureFrom(*definitions);
    else
        options->setBuiltInPicture(QString::fromLatin1(Form3::kPicture));
}

void Form7::applyToBar(Form1 &bar, const StoredOptions &options) {
    appearance::titleColour(bar, options.red, options.green, options.blue);
    appearance::textShadow(bar, options.textShadow == 1);
    appearance::displayTime(bar, options.displayTime == 1);
    appearance::threeButtons(bar, options.threeButtons == 1);
}

void Form7::showEvent(QShowEvent *event) {
    // Measured when first seen: the start-up loads this window without showing it.
    if (!m_measured) {
        m_measured = true;
        keepWhole(this, Label13);
    }
    Form::showEvent(event);
}

void Form7::Check5_Click() {
    appearance::textShadow(*Forms::get<Form1>(), ticked(Check5));
}

// Tabs: the page changes on a click, the look of the tabs already on the press.
void Form7::SSPanel12_Click() {
    showPage(SSPanel1);
}
void Form7::SSPanel13_Click() {
    showPage(SSPanel11);
}
void Form7::SSPanel14_Click() {
    showPage(SSPanel16);
}
void Form7::SSPanel17_Click() {
    showPage(SSPanel18);
}
void Form7::SSPanel12_MouseDown() {
    pressTab(SSPanel12);
}
void Form7::SSPanel13_MouseDown() {
    pressTab(SSPanel13);
}
void Form7::SSPanel14_MouseDown() {
    pressTab(SSPanel14);
}
void Form7::SSPanel17_MouseDown() {
    pressTab(SSPanel17);
}

void Form7::showPage(SSPanel *page) {
    for (SSPanel *each : {SSPanel1, SSPanel11, SSPanel16, SSPanel18})
        each->setVisible(each == page);
}

void Form7::pressTab(SSPanel *tab) {
    for (SSPanel *each : {SSPanel13, SSPanel12, SSPanel14, SSPanel17})
        each->setBevelOuter(each == tab ? SSPanel::Inset : SSPanel::Raised);
}

void Form7::SSPanel10_Click() {
    Forms::get<Form1>()->centre();
}
void Form7::SSPanel10_MouseDown() {
    SSPanel10->setBevelOuter(SSPanel::Inset);
}
void Form7::SSPanel10_MouseUp() {
    SSPanel10->setBevelOuter(SSPanel::Raised);
}

void Form7::SSCommand3_Click() {
    Forms::open<Form12>();
    setVisible(false);
    Forms::get<Form1>()->setVisible(false);
}

void Form7::SSCommand1_Click() {
    if (Text3->Text() != getSetting(Setting::Password)) {
        host().messageBox(QStringLiteral("OLD Password entered is incorrect!"), 16);
        return;
    }
    Form1 &bar = *Forms::get<Form1>();
    const int failures = host().saveFailures();
    saveSetting(Setting::Password, Text4->Text());
    saveSetting(Setting::TitleBar, Text2->Text());
    appearance::titleText(bar, Text2->Text());
    saveSetting(Setting::TextRed, Label9->Caption());
    saveSetting(Setting::TextGreen, Label10->Caption());
    saveSetting(Setting::TextBlue, Label11->Caption());
    appearance::titleColour(bar, appearance::channel(Label9->Caption()),
                            appearance::channel(Label10->Caption()),
                            appearance::channel(Label11->Caption()));
    saveFlag(Setting::TextShadow, Check5);
    appearance::textShadow(bar, ticked(Check5));
    saveFlag(Setting::DisplayTime, Check9);
    appearance::displayTime(bar, ticked(Check9));
    saveFlag(Setting::ThreeButtons, Check8);
    appearance::threeButtons(bar, ticked(Check8));
    saveFlag(Setting::MinimizeOnRun, Check4);
    saveFlag(Setting::ConfirmExit, Check7);
    saveFlag(Setting::ButtonBackground, Check1);
    appearance::buttonBackground(bar, ticked(Check1));
    saveFlag(Setting::LargeBevel, Check3);
    appearance::largeBevel(bar, ticked(Check3));
    saveFlag(Setting::Text3D, Check2);
    appearance::text3D(bar, ticked(Check2));
    saveFlag(Setting::SaveWinPos, Check6);
    reportUnsavedSettings(failures);

    backToBar(this);
}

void Form7::SSCommand2_Click() {
    backToBar(this);
}

// Colour setter: holding a push panel steps its channel by 5 every 150 ms.
void Form7::SSPanel4_MouseDown() {
    pressColour(SSPanel4, Timer4);
}
void Form7::SSPanel4_MouseUp() {
    releaseColour(SSPanel4, Timer4);
}
void Form7::SSPanel5_MouseDown() {
    pressColour(SSPanel5, Timer1);
}
void Form7::SSPanel5_MouseUp() {
    releaseColour(SSPanel5, Timer1);
}
void Form7::SSPanel6_MouseDown() {
    pressColour(SSPanel6, Timer5);
}
void Form7::SSPanel6_MouseUp() {
    releaseColour(SSPanel6, Timer5);
}
void Form7::SSPanel7_MouseDown() {
    pressColour(SSPanel7, Timer2);
}
void Form7::SSPanel7_MouseUp() {
    releaseColour(SSPanel7, Timer2);
}
void Form7::SSPanel8_MouseDown() {
    pressColour(SSPanel8, Timer6);
}
void Form7::SSPanel8_MouseUp() {
    releaseColour(SSPanel8, Timer6);
}
void Form7::SSPanel9_MouseDown() {
    pressColour(SSPanel9, Timer3);
}
void Form7::SSPanel9_MouseUp() {
    releaseColour(SSPanel9, Timer3);
}

void Form7::pressColour(SSPanel *panel, Timer *step) {
    panel->setBevelOuter(SSPanel::Inset);
    step->setEnabled(true);
}

void Form7::releaseColour(SSPanel *panel, Timer *step) {
    panel->setBevelOuter(SSPanel::Raised);
    step->setEnabled(false);
}

void Form7::Timer1_Timer() {
    stepChannel(Label9, +5);
}
void Form7::Timer2_Timer() {
    stepChannel(Label10, +5);
}
void Form7::Timer3_Timer() {
    stepChannel(Label11, +5);
}
void Form7::Timer4_Timer() {
    stepChannel(Label9, -5);
}
void Form7::Timer5_Timer() {
    stepChannel(Label10, -5);
}
void Form7::Timer6_Timer() {
    stepChannel(Label11, -5);
}

void Form7::stepChannel(Label *value, int delta) {
    const int now = appearance::channel(value->Caption());
    // At its bound a channel stays put and the preview is left alone.
    if (delta > 0 ? now >= 255 : now <= 0) return;
    setChannel(value, qBound(0, now + delta, 255));
    showPreview();
}

void Form7::setChannel(Label *value, int channel) {
    value->setCaption(QString::number(channel));
    if (value == Label9) {
        // The red value's width follows its text.
        twips::setWidth(
            Label9, twips::fromPixels(Label9->fontMetrics().horizontalAdvance(Label9->text()) + 2));
    }
}

void Form7::showPreview() {
    setForeColor(
        Label5, RGB(appearance::channel(Label9->Caption()), appearance::channel(Label10->Caption()),
                    appearance::channel(Label11->Caption())));
}

void Form7::Timer7_Timer() {
    appearance::titleColour(*Forms::get<Form1>(), appearance::channel(Label9->Caption()),
                            appearance::channel(Label10->Caption()),
                            appearance::channel(Label11->Caption()));
}
