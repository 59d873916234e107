#pragma once

#include <QSize>

#include "core/controls.h"
#include "core/form.h"
#include "core/ss_command.h"
#include "core/ss_panel.h"

// Launch buttons and their previews show icons at this size: the image of an icon file
// closest to it is taken.
inline constexpr QSize kLaunchIconSize(32, 32);

// The picture of a slot with these paths: its icon's, or for an unset icon on a desktop
// entry the entry's own icon. False when there is none.
bool slotPicture(const QString &iconPath, const QString &programPath, QPixmap *picture);
// The same, checked and read now and decoded by `decode` when first needed.
bool slotPicture(const QString &iconPath, const QString &programPath,
                 HostServices::PictureDecoder *decode);

// The bar: title, clock, four launch buttons and the panels that close, minimise and
// open the menu. It lives for the whole run and holds the four button slots.
class Form1 : public Form {
    Q_OBJECT
  public:
    Form1();

    void Form_Load() override;

    // Slot n (1 to 4): its launch button, program path holder and icon path holder.
    SSCommand *launchButton(int slot) const;
    Label *programHolder(int slot) const;
    Label *iconHolder(int slot) const;
    // Puts a program path into a slot; a desktop entry also names a slot still captioned
    // "Undefined" (or nothing) and shows its icon where the slot's icon is unset.
    void assignProgram(int slot, const QString &path);

    // Handlers.
    void SSCommand6_Click();
    void SSCommand7_Click();
    void SSCommand8_Click();
    void SSCommand9_Click();
    void SSPanel1_MouseDown();
    void SSPanel1_MouseUp();
    void SSPanel2_MouseDown();
    void SSPanel2_MouseUp();
    void SSPanel3_MouseDown();
    void SSPanel3_MouseUp();
    void SSPanel1_Click();
    void SSPanel2_Click();
    void SSPanel3_Click();
    void Label3_Click();
    void Timer1_Timer();
    void Form_GotFocus();

    // Controls.
    Label *Label3;           // drag strip
    SSPanel *SSPanel1;       // close
    SSPanel *SSPanel3;       // minimise
    Label *Label1;           // title shadow (created first: drawn beneath the title)
    Label *Label2;           // title
    SSCommand *SSCommand10;  // background button
    SSCommand *SSCommand6;
    SSCommand *SSCommand7;
    SSCommand *SSCommand8;
    SSCommand *SSCommand9;
    Line *Line1;
    SSPanel *SSPanel2;  // menu
    Label *Label18;     // clock strip
    Label *Label16;     // clock
    Timer *Timer1;
    Label *Label4;  // program path holders of slots 1 to 4
    Label *Label5;
    Label *Label6;
    Label *Label7;
    Label *Label8;  // icon path holders of slots 1 to 4
    Label *Label9;
    Label *Label10;
    Label *Label11;

  protected:
    bool event(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

  private:
    void LoadButtonSlots();
    void LoadMembraneAndClock();
    void ApplyStartupOptions();
    void launch(int slot);
    // Moves the bar back onto the nearest screen when it would lie wholly off every one.
    void keepOnScreen();

    // The drag strip: armed by a press, started once the pointer has moved far enough,
    // and followed by hand when the window manager does not take the move.
    bool m_dragArmed = false;
    bool m_dragFollow = false;
    QPoint m_dragPress;
    QPoint m_dragOffset;
};

// Unloads `leaving` (when there is one) and brings the bar back, shown and focused.
void backToBar(Form *leaving);
