#pragma once

#include <QMetaObject>

#include "core/form.h"
#include "core/ss_command.h"

class Line;
class QWindow;

// The bar's drop-down: a column of six buttons over the bar's left end.
class Form9 : public Form {
    Q_OBJECT
  public:
    Form9();
    ~Form9() override;

    void Form_Load() override;
    void Form_Deactivate();
    void SSCommand1_Click();  // Options
    void SSCommand4_Click();  // Edit Buttons
    void SSCommand3_Click();  // Help
    void SSCommand2_Click();  // About
    void SSCommand6_Click();  // Utility Panel
    void SSCommand5_Click();  // Membranes

    SSCommand *SSCommand1;
    SSCommand *SSCommand4;
    SSCommand *SSCommand3;
    SSCommand *SSCommand2;
    SSCommand *SSCommand6;
    SSCommand *SSCommand5;
    Line *Line1;

    void setVisible(bool visible) override;

  private:
    void placeOverBar();
    void focusMovedTo(QWindow *window);

    QMetaObject::Connection m_focusWatch;
};
