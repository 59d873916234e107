#include "bar/appearance_rules.h"

#include <cmath>

#include "bar/bar_window.h"
#include "core/settings_store.h"

namespace appearance {

void titleText(Form1 &bar, const QString &text) {
    bar.Label2->setCaption(text);
    bar.Label1->setCaption(text);
}

void titleColour(Form1 &bar, int red, int green, int blue) {
    setForeColor(bar.Label2, RGB(red, green, blue));
}

void textShadow(Form1 &bar, bool set) {
    bar.Label1->setVisible(set);
}

void displayTime(Form1 &bar, bool set) {
    // Only the clock text: its black strip stays in any case.
    bar.Label16->setVisible(set);
}

void threeButtons(Form1 &bar, bool set) {
    if (set) {
        bar.SSCommand9->setVisible(false);
        twips::setLeft(bar.SSCommand9, 9999);  // beyond the right edge of the bar
        twips::setWidth(bar.SSCommand6, 1455);
        twips::setWidth(bar.SSCommand7, 1455);
        twips::setWidth(bar.SSCommand8, 1455);
        twips::setLeft(bar.SSCommand7, 1800);
        twips::setLeft(bar.SSCommand8, 3360);
    } else {
        bar.SSCommand9->setVisible(true);
        twips::setWidth(bar.SSCommand6, 1095);
        twips::setWidth(bar.SSCommand7, 1095);
        twips::setWidth(bar.SSCommand8, 1095);
        twips::setLeft(bar.SSCommand7, 1410);
        twips::setLeft(bar.SSCommand8, 2570);
        twips::setLeft(bar.SSCommand9, 3720);
    }
}

void buttonBackground(Form1 &bar, bool set) {
    if (!set) {
        bar.SSCommand10->setVisible(false);
        return;
    }
    bar.SSCommand10->setVisible(true);
    // Each launch button is hidden and shown again so that it is drawn above the
    // background button. This shows slot 4 even in the three-button layout, where it
    // stays out of sight beyond the bar's right edge.
    for (SSCommand *button : {bar.SSCommand6, bar.SSCommand7, bar.SSCommand8, bar.SSCommand9}) {
        button->setVisible(false);
        button->setVisible(true);
        button->raise();
    }
}

void largeBevel(Form1 &bar, bool set) {
    bar.SSCommand10->setBevelWidth(set ? 6 : 2);
}

void text3D(Form1 &bar, bool set) {
    for (SSCommand *button : {bar.SSCommand6, bar.SSCommand7, bar.SSCommand8, bar.SSCommand9})
        button->setFont3D(set ? 1 : 0);
}

int channel(const QString &text) {
    double value = 0;
    if (!stored::toNumber(text, &value)) return 255;
    value = std::nearbyint(value);
    if (value < 0) return 0;
    if (value > 255) return 255;
    return static_cast<int>(value);
}

}  // namespace appearance
