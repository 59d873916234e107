#pragma once

#include "core/controls.h"
#include "core/form.h"
#include "core/ss_command.h"

// Asks whether to exit, while the bar is hidden.
class Form11 : public Form {
    Q_OBJECT
  public:
    Form11();

    void Form_Load() override;
    void SSCommand1_Click();
    void SSCommand2_Click();

    Label *Label1;
    Line *Line1;
    SSCommand *SSCommand1;
    SSCommand *SSCommand2;
    Label *Label2;

  protected:
    // A close request is "&No".
    void wayOut() override { SSCommand2_Click(); }
};
