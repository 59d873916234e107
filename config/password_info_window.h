#pragma once

#include "core/controls.h"
#include "core/form.h"
#include "core/ss_command.h"

// Explains the options password; leads back to the options.
class Form12 : public Form {
    Q_OBJECT
  public:
    Form12();

    void Form_Load() override;
    void SSCommand1_Click();

    Label *Label1;
    Line *Line1;
    Label *Label2;
    Label *Label3;
    Label *Label4;
    SSCommand *SSCommand1;

  protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    // A close request is "&Return...".
    void wayOut() override { SSCommand1_Click(); }

  private:
    Qt::Edges edgesAt(const QPoint &pos) const;
};
