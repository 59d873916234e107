#include "bar/placeholder_window.h"
// TEMPORARY SCAFFOLD: replaced by the real window.
Form10::Form10() : Form("Form10", 2355, 435, Form::Titled) {}
void Form10::putBarAway() {}
void Form10::Form_GotFocus() {}
void Form10::Form_QueryUnload() {}
void Form10::changeEvent(QEvent *event) { return Form::changeEvent(event); }
void Form10::closeEvent(QCloseEvent *event) { return Form::closeEvent(event); }
