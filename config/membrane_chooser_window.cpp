#include "config/membrane_chooser_window.h"

#include "bar/bar_window.h"
#include "config/options_window.h"
#include "core/host_services.h"
#include "core/settings_schema.h"
#include "core/window_registry.h"

namespace {

// The list is pointed at the folder as the installer names it; the stored choice carries
// the prefix with a lower-case drive letter.
const QString kMembraneFolder = QStringLiteral("C:\\TALVENDOK\\");
const QString kStoredPrefix = QStringLiteral("c:\\TALVENDOK\\");

}  // namespace

Form8::Form8() : Form("Form8", 4725, 4935, Form::Tool) {
    Label1 = heading(QStringLiteral("Change Membrane..."), 120, 120, 3060, 405, 18);
    Line1 = rule(QStringLiteral("Line1"), 480, 4800, 600);
    Label2 = whiteLabel(this, QStringLiteral("Label2"),
                        QStringLiteral("A Membrane is a tailored background for the main window "
                                       "of TALVENDOK. You can download extra Membranes from the "
                                       "Quenthar Software Website."),
                        240, 840, 4215, 615, Qt::AlignHCenter);
    Label3 = whiteLabel(this, QStringLiteral("Label3"),
                        QStringLiteral("Available Membranes (Click once to accept)"), 120, 1680,
                        4455, 255, Qt::AlignHCenter);
    File1 = new FileList(this, QStringLiteral("File1"), 120, 2040, 4455, 2235);
    File1->setPattern(QStringLiteral("*.emb"));
    Label4 = whiteLabel(this, QStringLiteral("Label4"),
                        QStringLiteral("Place Membranes in C:\\TALVENDOK\\"), 225, 4500, 2685, 195,
                        Qt::AlignHCenter);
    // Sized to its text.
    Label4->setWordWrap(false);
    Label4->adjustSize();
    SSCommand1 = new SSCommand(this, QStringLiteral("SSCommand1"), QStringLiteral("&Cancel"), 3120,
                               4440, 1455, 375);

    File1->setAccessibleName(Label3->Caption());

    connect(File1, &FileList::Click, this, &Form8::File1_Click);
    connect(SSCommand1, &SSCommand::Click, this, &Form8::SSCommand1_Click);
}

void Form8::Form_Load() {
    // Loads the options window hidden when it is not there yet; it stays loaded.
    copyPictureFrom(*Forms::get<Form7>());
    // A missing folder leaves the list on the process's current folder.
    File1->setPath(kMembraneFolder);
    centre();
}

void Form8::File1_Click() {
    const QString path = kStoredPrefix + File1->FileName();
    // The picture is loaded before anything changes: a file that is no picture leaves the
    // bar and the store as they were.
    QPixmap picture;
    if (!host().loadPicture(path, &picture)) {
        host().messageBox(QStringLiteral("Invalid Membrame"), 16);
        return;
    }
    Forms::get<Form1>()->setPicture(picture);
    if (!saveSetting(Setting::Membrane, path)) {
        host().messageBox(QStringLiteral("Invalid Membrame"), 16);
        return;
    }
    backToBar(this);
}

void Form8::SSCommand1_Click() {
    backToBar(this);
}
