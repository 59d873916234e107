#include "bar/exit_confirm_window.h"
// TEMPORARY SCAFFOLD: replaced by the real window.
Form11::Form11() : Form("Form11", 4710, 2130, Form::Tool) {}
void Form11::Form_Load() {}
void Form11::SSCommand1_Click() {}
void Form11::SSCommand2_Click() {}
