#include "config/button_definition_window.h"

#include <iterator>
#include <tuple>

#include "bar/bar_window.h"
#include "core/host_services.h"
#include "core/settings_schema.h"
#include "core/window_registry.h"

namespace {

const QString kDefaultIcon = QStringLiteral("C:\\TALVENDOK\\DEFAULT.ICO");
// Programs on this platform rarely carry an extension: "All Files" is the entry selected
// when the chooser opens; desktop entries come after it.
const QString kProgramFilter = QStringLiteral(
    "Executables(*.exe)|*.exe|COM Files"
    "(*.com)|*.com|Batch Files (*.bat)|*.bat"
    "|All Files (*)|*|Applications (*.desktop)|*.desktop");
const int kAllFilesEntry = 4;
const QString kApplications = QStringLiteral("/usr/share/applications");
const QString kIconFilter = QStringLiteral("Icons(*.ico)|*.ico|SVG Images|*.svg;*.svgz|");

}  // namespace

Form3::Form3() : Form("Form3", 4590, 6495, Form::Tool) {
    // Set here, not at load: windows that copy this window's picture take it at once.
    setBuiltInPicture(QString::fromLatin1(kPicture));

    Label1 = heading(QStringLiteral("Button Definition..."), 240, 135, 2475, 345, 15.75);
    Line1 = rule(QStringLiteral("Line1"), 480, 5040, 480);

    Label3 =
        whiteLabel(this, QStringLiteral("Label3"), QStringLiteral("Button 1"), 240, 840, 705, 210);
    Label5 = whiteLabel(this, QStringLiteral("Label5"), QStringLiteral("Button 2 "), 240, 2040, 765,
                        210);
    Label7 = whiteLabel(this, QStringLiteral("Label7"), QStringLiteral("Button 3 "), 240, 3240, 765,
                        210);
    Label9 = whiteLabel(this, QStringLiteral("Label9"), QStringLiteral("Button 4 "), 240, 4440, 765,
                        210);
    for (Label *rowHeading : {Label3, Label5, Label7, Label9}) {
        rowHeading->setFont(fonts::tahoma(9));
        rowHeading->setWordWrap(false);
    }
    Line2 = rule(QStringLiteral("Line2"), 1080, 4680, 960);
    Line3 = rule(QStringLiteral("Line3"), 1080, 4680, 2160);
    Line4 = rule(QStringLiteral("Line4"), 1080, 4680, 3360);
    Line5 = rule(QStringLiteral("Line5"), 1080, 4680, 4560);

    const QString caption = QStringLiteral("Caption:");
    Label4 = whiteLabel(this, QStringLiteral("Label4"), caption, 240, 1200, 615, 195);
    Label6 = whiteLabel(this, QStringLiteral("Label6"), caption, 240, 2400, 615, 195);
    Label8 = whiteLabel(this, QStringLiteral("Label8"), caption, 240, 3600, 615, 195);
    Label10 = whiteLabel(this, QStringLiteral("Label10"), caption, 240, 4800, 615, 195);

    Text1 = new TextBox(this, QStringLiteral("Text1"), 1080, 1155, 2295, 285);
    Text2 = new TextBox(this, QStringLiteral("Text2"), 1080, 2355, 2295, 285);
    Text3 = new TextBox(this, QStringLiteral("Text3"), 1080, 3555, 2295, 285);
    Text4 = new TextBox(this, QStringLiteral("Text4"), 1080, 4755, 2295, 285);

    const QString chooseExe = QStringLiteral("Choose EXE ...");
    SSCommand1 = new SSCommand(this, QStringLiteral("SSCommand1"), chooseExe, 240, 1560, 1455, 375);
    SSCommand3 = new SSCommand(this, QStringLiteral("SSCommand3"), chooseExe, 240, 2760, 1455, 375);
    SSCommand5 = new SSCommand(this, QStringLiteral("SSCommand5"), chooseExe, 240, 3960, 1455, 375);
    SSCommand7 = new SSCommand(this, QStringLiteral("SSCommand7"), chooseExe, 240, 5160, 1455, 375);
    const QString chooseIcon = QStringLiteral("Choose Icon ...");
    SSCommand2 =
        new SSCommand(this, QStringLiteral("SSCommand2"), chooseIcon, 1920, 1560, 1455, 375);
    SSCommand4 =
        new SSCommand(this, QStringLiteral("SSCommand4"), chooseIcon, 1920, 2760, 1455, 375);
    SSCommand6 =
        new SSCommand(this, QStringLiteral("SSCommand6"), chooseIcon, 1920, 3960, 1455, 375);
    SSCommand8 =
        new SSCommand(this, QStringLiteral("SSCommand8"), chooseIcon, 1920, 5160, 1455, 375);

    const QString icon = QStringLiteral("Icon");
    Label11 = whiteLabel(this, QStringLiteral("Label11"), icon, 3795, 1695, 345, 195);
    Label12 = whiteLabel(this, QStringLiteral("Label12"), icon, 3795, 2895, 345, 195);
    Label13 = whiteLabel(this, QStringLiteral("Label13"), icon, 3795, 4095, 345, 195);
    Label14 = whiteLabel(this, QStringLiteral("Label14"), icon, 3795, 5415, 345, 195);

    Image1 = new Image(this, QStringLiteral("Image1"), 3720, 1200, 480, 480);
    Image2 = new Image(this, QStringLiteral("Image2"), 3720, 2400, 480, 480);
    Image3 = new Image(this, QStringLiteral("Image3"), 3720, 3600, 480, 480);
    Image4 = new Image(this, QStringLiteral("Image4"), 3720, 4800, 480, 480);

    // Working copies of the rows' paths: hidden, and beyond the right edge in any case.
    Label16 = new Label(this, QStringLiteral("Label16"), QString(), 4920, 1200, 2415, 195);
    Label17 = new Label(this, QStringLiteral("Label17"), QString(), 4920, 1560, 2415, 195);
    Label19 = new Label(this, QStringLiteral("Label19"), QString(), 4920, 2400, 2415, 195);
    Label18 = new Label(this, QStringLiteral("Label18"), QString(), 4920, 2760, 2415, 195);
    Label21 = new Label(this, QStringLiteral("Label21"), QString(), 4920, 3600, 2415, 195);
    Label20 = new Label(this, QStringLiteral("Label20"), QString(), 4920, 3960, 2415, 195);
    Label23 = new Label(this, QStringLiteral("Label23"), QString(), 4920, 4800, 2415, 195);
    Label22 = new Label(this, QStringLiteral("Label22"), QString(), 4920, 5160, 2415, 195);
    for (Label *path : {Label16, Label17, Label18, Label19, Label20, Label21, Label22, Label23}) {
        path->setWordWrap(false);
        path->setVisible(false);
    }

    std::tie(Label2, Label15) = creditStrip(QStringLiteral("Label2"), 0, 6000, 3495,
                                            QStringLiteral("Label15"), 0, 6075, 3255, 255);

    SSCommand9 = new SSCommand(this, QStringLiteral("SSCommand9"), QStringLiteral("&Return"), 3240,
                               6000, 1215, 375);

    // Row by row: caption, program, icon; "&Return" last.
    QWidget *const order[] = {Text1,      SSCommand1, SSCommand2, Text2,      SSCommand3,
                              SSCommand4, Text3,      SSCommand5, SSCommand6, Text4,
                              SSCommand7, SSCommand8, SSCommand9};
    for (size_t i = 0; i + 1 < std::size(order); ++i) setTabOrder(order[i], order[i + 1]);
    // Screen readers tell the four caption fields apart by their rows.
    for (auto [field, row] :
         {std::pair(Text1, Label3), {Text2, Label5}, {Text3, Label7}, {Text4, Label9}})
        field->setAccessibleName(row->Caption().trimmed() + QStringLiteral(" caption"));

    connect(Text1, &QLineEdit::textChanged, this, &Form3::Text1_Change);
    connect(Text2, &QLineEdit::textChanged, this, &Form3::Text2_Change);
    connect(Text3, &QLineEdit::textChanged, this, &Form3::Text3_Change);
    connect(Text4, &QLineEdit::textChanged, this, &Form3::Text4_Change);
    connect(SSCommand1, &SSCommand::Click, this, &Form3::SSCommand1_Click);
    connect(SSCommand2, &SSCommand::Click, this, &Form3::SSCommand2_Click);
    connect(SSCommand3, &SSCommand::Click, this, &Form3::SSCommand3_Click);
    connect(SSCommand4, &SSCommand::Click, this, &Form3::SSCommand4_Click);
    connect(SSCommand5, &SSCommand::Click, this, &Form3::SSCommand5_Click);
    connect(SSCommand6, &SSCommand::Click, this, &Form3::SSCommand6_Click);
    connect(SSCommand7, &SSCommand::Click, this, &Form3::SSCommand7_Click);
    connect(SSCommand8, &SSCommand::Click, this, &Form3::SSCommand8_Click);
    connect(SSCommand9, &SSCommand::Click, this, &Form3::SSCommand9_Click);

    // Not seen until whoever shows the window has placed it.
    setLeft(245790);
}

TextBox *Form3::captionField(int row) const {
    TextBox *const fields[] = {Text1, Text2, Text3, Text4};
    return fields[row - 1];
}

Label *Form3::programLabel(int row) const {
    Label *const labels[] = {Label16, Label19, Label21, Label23};
    return labels[row - 1];
}

Label *Form3::iconLabel(int row) const {
    Label *const labels[] = {Label17, Label18, Label20, Label22};
    return labels[row - 1];
}

Image *Form3::preview(int row) const {
    Image *const images[] = {Image1, Image2, Image3, Image4};
    return images[row - 1];
}

void Form3::Form_Load() {
    Form1 *bar = Forms::get<Form1>();
    for (int row = 1; row <= 4; ++row)
        captionField(row)->setText(bar->launchButton(row)->Caption());
    // Each slot by itself: an icon that does not load keeps no other slot from its own.
    for (int row = 1; row <= 4; ++row) {
        iconLabel(row)->setCaption(bar->iconHolder(row)->Caption());
        showIcon(row);
        bar->iconHolder(row)->setCaption(iconLabel(row)->Caption());
    }
    CommonDialog1.CancelError = true;
}

// Shows the picture named by the row's icon path label in the preview and on the launch
// button; false, with both left as they are, when the path names no loadable picture.
bool Form3::showIcon(int row) {
    QPixmap picture;
    if (!slotPicture(iconLabel(row)->Caption(), Forms::get<Form1>()->programHolder(row)->Caption(),
                     &picture))
        return false;
    preview(row)->setPicture(picture);
    Forms::get<Form1>()->launchButton(row)->setPicture(picture);
    return true;
}

void Form3::captionChanged(int row) {
    Forms::get<Form1>()->launchButton(row)->setCaption(captionField(row)->text());
}

void Form3::Text1_Change() {
    captionChanged(1);
}
void Form3::Text2_Change() {
    captionChanged(2);
}
void Form3::Text3_Change() {
    captionChanged(3);
}
void Form3::Text4_Change() {
    captionChanged(4);
}

// The chooser keeps its folder and file from its last use; only what it offers is set here.
void Form3::chooseProgram(int row) {
    CommonDialog1.DialogTitle = QStringLiteral("Choose EXE");
    CommonDialog1.Filter = kProgramFilter;
    CommonDialog1.FilterIndex = kAllFilesEntry;
    if (CommonDialog1.InitDir.isEmpty()) CommonDialog1.InitDir = kApplications;
    if (!CommonDialog1.ShowOpen()) return;
    programLabel(row)->setCaption(CommonDialog1.FileName);
    Forms::get<Form1>()->assignProgram(row, programLabel(row)->Caption());
    showSlot(row);
}

void Form3::showSlot(int row) {
    Form1 *bar = Forms::get<Form1>();
    programLabel(row)->setCaption(bar->programHolder(row)->Caption());
    captionField(row)->setText(bar->launchButton(row)->Caption());
    iconLabel(row)->setCaption(bar->iconHolder(row)->Caption());
    showIcon(row);
}

void Form3::chooseIcon(int row) {
    CommonDialog1.DialogTitle = QStringLiteral("Choose Icon");
    CommonDialog1.Filter = kIconFilter;
    // Its first entry: an index left over from the program chooser would point past the end.
    CommonDialog1.FilterIndex = 1;
    if (CommonDialog1.ShowOpen()) {
        iconLabel(row)->setCaption(CommonDialog1.FileName);
        if (showIcon(row)) {
            Forms::get<Form1>()->iconHolder(row)->setCaption(iconLabel(row)->Caption());
            return;
        }
    }
    // Cancelled, or not a picture: the slot's previous icon, or the default one for a slot
    // that never had any. A fallback that does not load either still becomes the slot's path.
    Label *holder = Forms::get<Form1>()->iconHolder(row);
    iconLabel(row)->setCaption(holder->Caption() == kUnsetPath ? kDefaultIcon : holder->Caption());
    showIcon(row);
    holder->setCaption(iconLabel(row)->Caption());
}

void Form3::SSCommand1_Click() {
    chooseProgram(1);
}
void Form3::SSCommand3_Click() {
    chooseProgram(2);
}
void Form3::SSCommand5_Click() {
    chooseProgram(3);
}
void Form3::SSCommand7_Click() {
    chooseProgram(4);
}
void Form3::SSCommand2_Click() {
    chooseIcon(1);
}
void Form3::SSCommand4_Click() {
    chooseIcon(2);
}
void Form3::SSCommand6_Click() {
    chooseIcon(3);
}
void Form3::SSCommand8_Click() {
    chooseIcon(4);
}

// Everything is already on the bar: nothing to store.
void Form3::SSCommand9_Click() {
    backToBar(this);
}
