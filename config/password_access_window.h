#pragma once

#include <QPushButton>

#include "core/controls.h"
#include "core/form.h"

// Stands between the menu and the options while a password is stored.
class Form13 : public Form {
    Q_OBJECT
  public:
    Form13();

    void Form_Load() override;
    void Command1_Click();

    Label *Label1;
    Line *Line1;
    Label *Label2;
    TextBox *Text1;
    QPushButton *Command1;  // the default button, out of sight: Enter in Text1 clicks it
};
