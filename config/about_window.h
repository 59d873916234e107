#pragma once

#include "core/controls.h"
#include "core/form.h"
#include "core/ss_command.h"

// Version and credits, with the program icon swinging on a strip.
class Form2 : public Form {
    Q_OBJECT
  public:
    Form2();

    void Form_Load() override;
    void SSCommand1_Click();  // Return
    void SSCommand3_Click();  // Change Membrane
    void Timer1_Timer();
    void Timer2_Timer();

    Label *Label1;
    Label *Label12;
    Image *Picture1;
    Label *Label2;
    Label *Label3;
    Label *Label4;
    Label *Label5;
    Label *Label6;
    Label *Label8;
    SSCommand *SSCommand3;
    SSCommand *SSCommand1;
    Timer *Timer1;
    Timer *Timer2;

  protected:
    // A close request is "&Return".
    void wayOut() override { SSCommand1_Click(); }
};
