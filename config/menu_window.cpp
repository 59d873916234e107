#include "config/menu_window.h"

#include <QGuiApplication>
#include <QWindow>

#include "bar/bar_window.h"
#include "config/about_window.h"
#include "config/button_definition_window.h"
#include "config/membrane_chooser_window.h"
#include "config/options_window.h"
#include "config/password_access_window.h"
#include "core/controls.h"
#include "core/host_services.h"
#include "core/settings_schema.h"
#include "core/window_registry.h"

namespace {

const QString kPanelProgram = QStringLiteral("C:\\TALVENDOK\\Panel.exe");
const QString kHelpFile = QStringLiteral("C:\\TALVENDOK\\Help.txt");

SSCommand *menuButton(Form9 *menu, const char *name, const char *caption, double left, double top) {
    return new SSCommand(menu, QString::fromLatin1(name), QString::fromLatin1(caption), left, top,
                         1320, 300);
}

}  // namespace

Form9::Form9() : Form("Form9", 1815, 2100, Form::Tool) {
    setBuiltInPicture(QStringLiteral(":/menu.jpg"));
    SSCommand1 = menuButton(this, "SSCommand1", "&Options", 495, 0);
    SSCommand4 = menuButton(this, "SSCommand4", "Edit &Buttons", 495, 360);
    SSCommand3 = menuButton(this, "SSCommand3", "&Help", 495, 720);
    SSCommand2 = menuButton(this, "SSCommand2", "&About", 495, 1080);
    SSCommand6 = menuButton(this, "SSCommand6", "&Utility Panel", 490, 1440);
    SSCommand5 = menuButton(this, "SSCommand5", "&Membranes", 495, 1800);
    // Drawn from above the window to below it: it spans the whole height inside the frame.
    Line1 = new Line(this, QStringLiteral("Line1"), 450, 15, 450, 2100 - 30, RGB(0, 255, 255));

    setAccessibleName(QStringLiteral("Menu"));

    connect(SSCommand1, &SSCommand::Click, this, &Form9::SSCommand1_Click);
    connect(SSCommand4, &SSCommand::Click, this, &Form9::SSCommand4_Click);
    connect(SSCommand3, &SSCommand::Click, this, &Form9::SSCommand3_Click);
    connect(SSCommand2, &SSCommand::Click, this, &Form9::SSCommand2_Click);
    connect(SSCommand6, &SSCommand::Click, this, &Form9::SSCommand6_Click);
    connect(SSCommand5, &SSCommand::Click, this, &Form9::SSCommand5_Click);

    // Deactivation: the menu goes when another window of ours becomes active. A window of
    // another program (or none) shows up as no focus window at all and leaves it open.
    m_focusWatch =
        connect(qGuiApp, &QGuiApplication::focusWindowChanged, this, &Form9::focusMovedTo);
}

Form9::~Form9() {
    disconnect(m_focusWatch);
}

void Form9::Form_Load() {
    placeOverBar();
}

void Form9::setVisible(bool visible) {
    // The bar's focus handler may have loaded the menu hidden long before it opens, and the
    // bar may have moved since: every opening is placed and checked afresh.
    if (visible && !isVisible()) placeOverBar();
    Form::setVisible(visible);
}

void Form9::placeOverBar() {
    Form1 *bar = Forms::get<Form1>();
    setLeft(bar->Left());
    setTop(bar->Top());
    // On this platform the utility panel is whatever executable file has that name.
    SSCommand6->setEnabled(host().fileExists(kPanelProgram) && host().isExecutable(kPanelProgram));
}

void Form9::focusMovedTo(QWindow *window) {
    // Only a menu on screen can lose the focus; one the bar loaded hidden stays as it is.
    if (!window || window == windowHandle() || !isVisible() || !Forms::isLoaded(this)) return;
    const QList<Form *> ours = Forms::loaded();
    for (Form *form : ours) {
        if (form != this && form->windowHandle() == window) {
            Form_Deactivate();
            return;
        }
    }
}

void Form9::Form_Deactivate() {
    Forms::unload(this);
}

void Form9::SSCommand1_Click() {
    if (getSetting(Setting::Password).isEmpty()) {
        Forms::open<Form7>(Forms::Centred);
    } else {
        Forms::open<Form13>();
    }
    Forms::unload(this);
}

void Form9::SSCommand4_Click() {
    Forms::open<Form3>(Forms::Centred);
    Forms::unload(this);
}

void Form9::SSCommand3_Click() {
    // A viewer that starts on any path would hide a missing help file: look for it first.
    const bool shown =
        host().fileExists(kHelpFile) && host().startProgram(QStringLiteral("notepad ") + kHelpFile);
    Forms::unload(this);
    if (!shown) {
        host().messageBox(
            QStringLiteral("Help.txt has not been found. Please re-install TALVENDOK."), 16);
    }
}

void Form9::SSCommand2_Click() {
    Forms::open<Form2>();
    Forms::unload(this);
}

void Form9::SSCommand6_Click() {
    // The marker goes first and stays even when the program then fails to start.
    if (!saveSetting(Setting::Plugin, QStringLiteral("Enabled")) ||
        !host().startProgram(kPanelProgram)) {
        host().messageBox(QStringLiteral("Internal Error, Invalid Plugin"), 16);
    }
}

void Form9::SSCommand5_Click() {
    Forms::open<Form8>();
    Forms::unload(this);
}
