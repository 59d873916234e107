#pragma once

#include "core/controls.h"
#include "core/form.h"

// Stands for the hidden bar in the task bar while the bar is minimised.
class Form10 : public Form {
    Q_OBJECT
  public:
    Form10();

    // Shows the placeholder minimised, then hides the bar.
    static void putBarAway();

    void Form_GotFocus();
    void Form_QueryUnload();

    Label *Label1;

  protected:
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool nativeEvent(const QByteArray &eventType, void *message, qintptr *result) override;

  private:
    void restoredByUser();

    // Set once the window system has reported the window iconic: only leaving that state
    // is the user's restore.
    bool m_wasIconic = false;
};
