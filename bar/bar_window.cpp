#include "bar/bar_window.h"
// TEMPORARY SCAFFOLD: replaced by the real window.
Form1::Form1() : Form("Form1", 5055, 2100, Form::Tool) {}
void Form1::Form_Load() {}
void Form1::SSCommand6_Click() {}
void Form1::SSCommand7_Click() {}
void Form1::SSCommand8_Click() {}
void Form1::SSCommand9_Click() {}
void Form1::SSPanel1_MouseDown() {}
void Form1::SSPanel1_MouseUp() {}
void Form1::SSPanel2_MouseDown() {}
void Form1::SSPanel2_MouseUp() {}
void Form1::SSPanel3_MouseDown() {}
void Form1::SSPanel3_MouseUp() {}
void Form1::SSPanel1_Click() {}
void Form1::SSPanel2_Click() {}
void Form1::SSPanel3_Click() {}
void Form1::Label3_Click() {}
void Form1::Timer1_Timer() {}
void Form1::Form_GotFocus() {}
bool Form1::event(QEvent *event) { return Form::event(event); }
void Form1::closeEvent(QCloseEvent *event) { return Form::closeEvent(event); }
bool Form1::eventFilter(QObject *watched, QEvent *event) { return Form::eventFilter(watched, event); }
void Form1::LoadButtonSlots() {}
void Form1::LoadMembraneAndClock() {}
void Form1::ApplyStartupOptions() {}
void Form1::launch(int slot) {}
