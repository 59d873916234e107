#pragma once

#include <QString>

class QWidget;

// What screen readers are told about the windows, over the toolkit's accessibility bridge.
namespace accessibility {

// Installs the interfaces of the windows, the push panels and the push buttons.
void install();
// Keeps a control that only decorates (a shadow, a coloured strip, a line) out of the tree.
void setDecorative(QWidget *w);
// Whether a user can ever come upon the control: not hidden, not decorative, and at least
// partly inside its parent (path holders and off-window buttons are not).
bool seenByUser(const QWidget *w);
// A caption without its access-key marks: "&Apply" reads "Apply", "&&" one "&".
QString withoutAccessKey(const QString &caption);

}  // namespace accessibility
