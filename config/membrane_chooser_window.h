#pragma once

#include "core/controls.h"
#include "core/form.h"
#include "core/ss_command.h"

// Lists the Membranes of the program folder; one click makes one the bar's background.
class Form8 : public Form {
    Q_OBJECT
  public:
    Form8();

    void Form_Load() override;
    void File1_Click();
    void SSCommand1_Click();

    Label *Label1;
    Line *Line1;
    Label *Label2;
    Label *Label3;
    FileList *File1;
    Label *Label4;
    SSCommand *SSCommand1;

  protected:
    // A close request is "&Cancel".
    void wayOut() override { SSCommand1_Click(); }
};
