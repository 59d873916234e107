#include "config/membrane_chooser_window.h"
// TEMPORARY SCAFFOLD: replaced by the real window.
Form8::Form8() : Form("Form8", 4725, 4935, Form::Tool) {}
void Form8::Form_Load() {}
void Form8::File1_Click() {}
void Form8::SSCommand1_Click() {}
