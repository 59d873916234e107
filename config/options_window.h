#pragma once

#include "core/controls.h"
#include "core/form.h"
#include "core/ss_command.h"
#include "core/ss_panel.h"

class Form1;

// The options as the options loading reads them, in its order: what the options window's
// controls start from.
struct StoredOptions {
    static StoredOptions read();

    QString titleText;
    int buttonBackground = 0, largeBevel = 0, minimizeOnRun = 0, text3D = 0, textShadow = 0,
        saveWinPos = 0, confirmExit = 0, threeButtons = 0, displayTime = 0;
    int red = 0, green = 0, blue = 0;  // within 0..255
};

// The options: four tabbed pages, the title colour frame and the window configuration.
// Between its loading and Apply its controls are the working copy of the options.
class Form7 : public Form {
    Q_OBJECT
  public:
    Form7();

    // The options loading: reads every option into the controls and applies the title
    // colour, shadow, clock and button layout to the bar.
    void Form_Load() override;
    // The same loading for a window that would be dropped unseen (the start-up's): the same
    // reads and the same effects on the bar and on the button definition window, without
    // building the options window.
    static StoredOptions loadUnseen(Form1 &bar);

    void Check5_Click();
    void SSPanel12_Click();
    void SSPanel13_Click();
    void SSPanel14_Click();
    void SSPanel17_Click();
    void SSPanel12_MouseDown();
    void SSPanel13_MouseDown();
    void SSPanel14_MouseDown();
    void SSPanel17_MouseDown();
    void SSPanel10_Click();
    void SSPanel10_MouseDown();
    void SSPanel10_MouseUp();
    void SSCommand3_Click();
    void SSCommand1_Click();  // Apply
    void SSCommand2_Click();  // Cancel
    // Colour setter.
    void SSPanel4_MouseDown();
    void SSPanel4_MouseUp();
    void SSPanel5_MouseDown();
    void SSPanel5_MouseUp();
    void SSPanel6_MouseDown();
    void SSPanel6_MouseUp();
    void SSPanel7_MouseDown();
    void SSPanel7_MouseUp();
    void SSPanel8_MouseDown();
    void SSPanel8_MouseUp();
    void SSPanel9_MouseDown();
    void SSPanel9_MouseUp();
    void Timer1_Timer();
    void Timer2_Timer();
    void Timer3_Timer();
    void Timer4_Timer();
    void Timer5_Timer();
    void Timer6_Timer();
    void Timer7_Timer();

    Label *Label1;
    Line *Line1;
    SSPanel *SSPanel15;  // frame of the tabs
    Label *Label15;
    SSPanel *SSPanel12;  // tab: Appearance
    SSPanel *SSPanel14;  // tab: Extras
    SSPanel *SSPanel17;  // tab: Password
    SSPanel *SSPanel13;  // tab: Miscellaneous
    SSPanel *SSPanel1;   // page: Appearance
    Label *Label2;
    CheckBox *Check1;
    CheckBox *Check3;
    CheckBox *Check2;
    CheckBox *Check5;
    SSPanel *SSPanel11;  // page: Miscellaneous
    Label *Label14;
    CheckBox *Check4;
    CheckBox *Check7;
    CheckBox *Check8;
    CheckBox *Check9;
    SSPanel *SSPanel16;  // page: Extras
    Label *Label16;
    Label *Label18;
    TextBox *Text2;
    Label *Label23;
    SSPanel *SSPanel18;  // page: Password
    Label *Label19;
    Label *Label20;
    TextBox *Text3;
    Label *Label21;
    TextBox *Text4;
    SSCommand *SSCommand3;
    Label *Label22;
    SSPanel *SSPanel3;  // title colour frame
    Label *Label4;
    Label *Label5;  // colour preview
    Label *Label6;
    Label *Label7;
    Label *Label8;
    SSPanel *SSPanel4;
    SSPanel *SSPanel5;
    SSPanel *SSPanel6;
    SSPanel *SSPanel7;
    SSPanel *SSPanel8;
    SSPanel *SSPanel9;
    Label *Label9;   // red
    Label *Label10;  // green
    Label *Label11;  // blue
    Timer *Timer1;
    Timer *Timer2;
    Timer *Timer3;
    Timer *Timer4;
    Timer *Timer5;
    Timer *Timer6;
    Timer *Timer7;
    SSPanel *SSPanel2;  // window configuration frame
    Label *Label3;
    CheckBox *Check6;
    SSPanel *SSPanel10;
    Label *Label12;
    Label *Label13;
    SSCommand *SSCommand2;
    SSCommand *SSCommand1;

  private:
    // The loading's taking of a picture and its effects on the bar, shared with loadUnseen().
    static void takeDefinitionsPicture(Form7 *options);
    static void applyToBar(Form1 &bar, const StoredOptions &options);
    void showPage(SSPanel *page);
    void pressTab(SSPanel *tab);
    void pressColour(SSPanel *panel, Timer *step);
    void releaseColour(SSPanel *panel, Timer *step);
    void stepChannel(Label *value, int delta);
    void setChannel(Label *value, int channel);
    void showPreview();

  protected:
    void showEvent(QShowEvent *event) override;
    // A close request is "&Cancel".
    void wayOut() override { SSCommand2_Click(); }

  private:
    bool m_measured = false;
};
