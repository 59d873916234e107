#include "bar/appearance_rules.h"
// TEMPORARY SCAFFOLD: replaced by the real rules.
namespace appearance {
void titleText(Form1 &, const QString &) {}
void titleColour(Form1 &, int, int, int) {}
void textShadow(Form1 &, bool) {}
void displayTime(Form1 &, bool) {}
void threeButtons(Form1 &, bool) {}
void buttonBackground(Form1 &, bool) {}
void largeBevel(Form1 &, bool) {}
void text3D(Form1 &, bool) {}
int channel(const QString &) { return 255; }
}
