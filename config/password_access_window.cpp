#include "config/password_access_window.h"
// TEMPORARY SCAFFOLD: replaced by the real window.
Form13::Form13() : Form("Form13", 3255, 1710, Form::Tool) {}
void Form13::Form_Load() {}
void Form13::Command1_Click() {}
