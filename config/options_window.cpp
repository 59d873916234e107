#include "config/options_window.h"
// TEMPORARY SCAFFOLD: replaced by the real window.
Form7::Form7() : Form("Form7", 4695, 5910, Form::Tool) {}
void Form7::Form_Load() {}
void Form7::Check5_Click() {}
void Form7::SSPanel12_Click() {}
void Form7::SSPanel13_Click() {}
void Form7::SSPanel14_Click() {}
void Form7::SSPanel17_Click() {}
void Form7::SSPanel12_MouseDown() {}
void Form7::SSPanel13_MouseDown() {}
void Form7::SSPanel14_MouseDown() {}
void Form7::SSPanel17_MouseDown() {}
void Form7::SSPanel10_Click() {}
void Form7::SSPanel10_MouseDown() {}
void Form7::SSPanel10_MouseUp() {}
void Form7::SSCommand3_Click() {}
void Form7::SSCommand1_Click() {}
void Form7::SSCommand2_Click() {}
void Form7::SSPanel4_MouseDown() {}
void Form7::SSPanel4_MouseUp() {}
void Form7::SSPanel5_MouseDown() {}
void Form7::SSPanel5_MouseUp() {}
void Form7::SSPanel6_MouseDown() {}
void Form7::SSPanel6_MouseUp() {}
void Form7::SSPanel7_MouseDown() {}
void Form7::SSPanel7_MouseUp() {}
void Form7::SSPanel8_MouseDown() {}
void Form7::SSPanel8_MouseUp() {}
void Form7::SSPanel9_MouseDown() {}
void Form7::SSPanel9_MouseUp() {}
void Form7::Timer1_Timer() {}
void Form7::Timer2_Timer() {}
void Form7::Timer3_Timer() {}
void Form7::Timer4_Timer() {}
void Form7::Timer5_Timer() {}
void Form7::Timer6_Timer() {}
void Form7::Timer7_Timer() {}
