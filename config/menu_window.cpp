#include "config/menu_window.h"
// TEMPORARY SCAFFOLD: replaced by the real window.
Form9::Form9() : Form("Form9", 1815, 2100, Form::Tool) {}
void Form9::Form_Load() {}
void Form9::Form_Deactivate() {}
void Form9::SSCommand1_Click() {}
void Form9::SSCommand4_Click() {}
void Form9::SSCommand3_Click() {}
void Form9::SSCommand2_Click() {}
void Form9::SSCommand6_Click() {}
void Form9::SSCommand5_Click() {}
Form9::~Form9() = default;
