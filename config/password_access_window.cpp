#include "config/password_access_window.h"

#include "config/button_definition_window.h"
#include "config/options_window.h"
#include "core/host_services.h"
#include "core/settings_schema.h"
#include "core/window_registry.h"

Form13::Form13() : Form("Form13", 3255, 1710, Form::Tool) {
    Label1 = heading(QStringLiteral("Password Access"), 120, 120, 2160, 345, 15.75);
    Line1 = rule(QStringLiteral("Line1"), 600, 3240, 480);
    Label2 = whiteLabel(this, QStringLiteral("Label2"),
                        QStringLiteral("A password is required to access this area. Please enter "
                                       "it below..."),
                        240, 720, 2775, 375, Qt::AlignHCenter);
    Text1 = new TextBox(this, QStringLiteral("Text1"), 120, 1320, 3015, 285, true);

    // The default button lies below the client area, never seen and never focused; Enter in
    // the field clicks it (a plain window, unlike a dialog, does not do that by itself).
    Command1 = new QPushButton(this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setFocusPolicy(Qt::NoFocus);
    Command1->setAutoDefault(true);
    Command1->setDefault(true);
    twips::place(Command1, 1800, 9999, 135, 255);
    connect(Text1, &QLineEdit::returnPressed, Command1, &QPushButton::click);
    connect(Command1, &QPushButton::clicked, this, &Form13::Command1_Click);

    Label2->setBuddy(Text1);
    Text1->setFocus();
    centre();
}

void Form13::Form_Load() {
    copyPictureFrom(*Forms::get<Form3>());
}

void Form13::Command1_Click() {
    if (Text1->Text() != getSetting(Setting::Password)) {
        host().messageBox(QStringLiteral("Password Incorrect"), 16);
        Forms::unload(this);
        return;
    }
    Forms::unload(this);
    Forms::open<Form7>(Forms::Centred);
}
