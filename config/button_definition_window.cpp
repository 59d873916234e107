#include "config/button_definition_window.h"
// TEMPORARY SCAFFOLD: replaced by the real window.
Form3::Form3() : Form("Form3", 4590, 6495, Form::Tool) {}
void Form3::Form_Load() {}
void Form3::Text1_Change() {}
void Form3::Text2_Change() {}
void Form3::Text3_Change() {}
void Form3::Text4_Change() {}
void Form3::SSCommand1_Click() {}
void Form3::SSCommand2_Click() {}
void Form3::SSCommand3_Click() {}
void Form3::SSCommand4_Click() {}
void Form3::SSCommand5_Click() {}
void Form3::SSCommand6_Click() {}
void Form3::SSCommand7_Click() {}
void Form3::SSCommand8_Click() {}
void Form3::SSCommand9_Click() {}
