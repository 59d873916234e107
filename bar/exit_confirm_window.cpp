#include "bar/exit_confirm_window.h"

#include "bar/bar_window.h"
#include "config/button_definition_window.h"
#include "core/host_services.h"
#include "core/window_registry.h"

Form11::Form11() : Form("Form11", 4710, 2130, Form::Tool) {
    Label1 = heading(QStringLiteral("Are you sure you want to exit?"), 120, 120, 3855, 345, 15.75);
    Line1 = rule(QStringLiteral("Line1"), 840, 4680, 480);
    SSCommand1 = new SSCommand(this, QStringLiteral("SSCommand1"), QStringLiteral("&Yes"), 600, 960,
                               1455, 375);
    SSCommand2 = new SSCommand(this, QStringLiteral("SSCommand2"), QStringLiteral("&No"), 2640, 960,
                               1455, 375);
    Label2 = creditStrip(QStringLiteral("Label2"), 0, 1920, 4695);
    // The strip reaches beyond the bottom edge: its text sits at its top to stay in sight.
    Label2->setAlignment(Qt::AlignHCenter | Qt::AlignTop);

    connect(SSCommand1, &SSCommand::Click, this, &Form11::SSCommand1_Click);
    connect(SSCommand2, &SSCommand::Click, this, &Form11::SSCommand2_Click);
}

void Form11::Form_Load() {
    if (Form3 *definitions = Forms::get<Form3>()) copyPictureFrom(*definitions);
    centre();
}

void Form11::SSCommand1_Click() {
    host().programEnd();
}

void Form11::SSCommand2_Click() {
    backToBar(this);
}
