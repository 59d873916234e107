#include "config/password_info_window.h"
// TEMPORARY SCAFFOLD: replaced by the real window.
Form12::Form12() : Form("Form12", 4590, 2895, Form::Frameless) {}
void Form12::Form_Load() {}
void Form12::SSCommand1_Click() {}
