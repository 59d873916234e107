#include "config/about_window.h"
// TEMPORARY SCAFFOLD: replaced by the real window.
Form2::Form2() : Form("Form2", 5295, 5055, Form::Tool) {}
void Form2::Form_Load() {}
void Form2::SSCommand1_Click() {}
void Form2::SSCommand3_Click() {}
void Form2::Timer1_Timer() {}
void Form2::Timer2_Timer() {}
