#pragma once

#include <QString>

class Form1;

// The fixed effect of each option on the bar, shared by the start-up and the options
// window's Apply. Each rule is applied whole.
namespace appearance {

void titleText(Form1 &bar, const QString &text);
// The title takes RGB(red, green, blue); the shadow keeps its grey.
void titleColour(Form1 &bar, int red, int green, int blue);
void textShadow(Form1 &bar, bool set);
void displayTime(Form1 &bar, bool set);
// Three-button layout when set, four-button layout otherwise.
void threeButtons(Form1 &bar, bool set);
void buttonBackground(Form1 &bar, bool set);
void largeBevel(Form1 &bar, bool set);
void text3D(Form1 &bar, bool set);

// A colour channel held as text: whole numbers are clamped into 0..255; text that is not
// a number gives 255.
int channel(const QString &text);

}  // namespace appearance
