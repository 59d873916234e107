#pragma once

#include "core/controls.h"
#include "core/file_chooser.h"
#include "core/form.h"
#include "core/ss_command.h"

// Edits the bar's four button slots in place: captions, programs and icons.
class Form3 : public Form {
    Q_OBJECT
  public:
    Form3();

    // The picture it is built with, the one the other windows copy.
    static constexpr const char *kPicture = ":/buttons.jpg";

    void Form_Load() override;
    // Shows row `row` as the bar's slot now holds it (after a drop onto the bar).
    void showSlot(int row);
    void Text1_Change();
    void Text2_Change();
    void Text3_Change();
    void Text4_Change();
    void SSCommand1_Click();
    void SSCommand2_Click();
    void SSCommand3_Click();
    void SSCommand4_Click();
    void SSCommand5_Click();
    void SSCommand6_Click();
    void SSCommand7_Click();
    void SSCommand8_Click();
    void SSCommand9_Click();

    Label *Label1;
    Line *Line1;
    Label *Label3;
    Label *Label5;
    Label *Label7;
    Label *Label9;
    Line *Line2;
    Line *Line3;
    Line *Line4;
    Line *Line5;
    Label *Label4;
    Label *Label6;
    Label *Label8;
    Label *Label10;
    TextBox *Text1;
    TextBox *Text2;
    TextBox *Text3;
    TextBox *Text4;
    SSCommand *SSCommand1;
    SSCommand *SSCommand3;
    SSCommand *SSCommand5;
    SSCommand *SSCommand7;
    SSCommand *SSCommand2;
    SSCommand *SSCommand4;
    SSCommand *SSCommand6;
    SSCommand *SSCommand8;
    Label *Label11;
    Label *Label12;
    Label *Label13;
    Label *Label14;
    Image *Image1;
    Image *Image2;
    Image *Image3;
    Image *Image4;
    Label *Label16;  // program path labels of rows 1 to 4: Label16, Label19, Label21, Label23
    Label *Label19;
    Label *Label21;
    Label *Label23;
    Label *Label17;  // icon path labels of rows 1 to 4: Label17, Label18, Label20, Label22
    Label *Label18;
    Label *Label20;
    Label *Label22;
    Label *Label2;
    Label *Label15;
    SSCommand *SSCommand9;
    FileChooser CommonDialog1;

  private:
    // Row k (1 to 4) edits slot k of the bar.
    TextBox *captionField(int row) const;
    Label *programLabel(int row) const;
    Label *iconLabel(int row) const;
    Image *preview(int row) const;
    void captionChanged(int row);
    void chooseProgram(int row);
    void chooseIcon(int row);
    bool showIcon(int row);

  protected:
    // A close request is "&Return".
    void wayOut() override { SSCommand9_Click(); }
};
