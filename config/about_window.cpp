#include "config/about_window.h"

#include "bar/bar_window.h"
#include "config/membrane_chooser_window.h"
#include "core/accessibility.h"
#include "core/window_registry.h"

namespace {

// The icon swings between these Left values, 80 twips a tick.
constexpr double kTurnRight = 4750;
constexpr double kTurnLeft = 3850;
constexpr double kStep = 80;

}  // namespace

Form2::Form2() : Form("Form2", 5295, 5055, Form::Tool) {
    setBuiltInPicture(QStringLiteral(":/about.jpg"));

    Label1 = whiteLabel(this, QStringLiteral("Label1"), QStringLiteral("Version 1.8"), 4080, 600,
                        810, 195, Qt::AlignHCenter);
    Label1->setWordWrap(false);
    Label1->adjustSize();  // the width follows the text

    Label12 = new Label(this, QStringLiteral("Label12"), QString(), 3720, 830, 1575, 525);
    Label12->setBackColor(RGB(0, 0, 128));
    Label12->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Label12->setLineWidth(1);
    accessibility::setDecorative(Label12);

    Picture1 = new Image(this, QStringLiteral("Picture1"), 3730, 840, 495, 495);
    // An opaque box: it must paint its own ground, or the icon leaves a trail as it moves.
    Picture1->setAttribute(Qt::WA_TranslucentBackground, false);
    Picture1->setAttribute(Qt::WA_NoSystemBackground, false);
    QPalette strip = Picture1->palette();
    strip.setColor(QPalette::Window, RGB(0, 0, 128));
    Picture1->setPalette(strip);
    Picture1->setAutoFillBackground(true);
    Picture1->setPicture(compiledInPicture(QStringLiteral(":/program.png")));

    Label2 = whiteLabel(this, QStringLiteral("Label2"),
                        QStringLiteral("TALVENDOK is free software for your desktop."), 240, 1440,
                        4815, 255, Qt::AlignHCenter);
    Label3 = whiteLabel(this, QStringLiteral("Label3"),
                        QStringLiteral("Made with care by the TALVENDOK team."), 240, 1680, 4815,
                        255, Qt::AlignHCenter);
    Label4 = whiteLabel(this, QStringLiteral("Label4"),
                        QStringLiteral("Questions, ideas and new Membranes"), 240, 2640, 4815, 255,
                        Qt::AlignHCenter);
    Label5 = whiteLabel(this, QStringLiteral("Label5"), QStringLiteral("are always welcome at the"),
                        240, 2880, 4815, 255, Qt::AlignHCenter);
    Label6 =
        whiteLabel(this, QStringLiteral("Label6"), QStringLiteral("Quenthar Software Website."),
                   240, 3120, 4815, 255, Qt::AlignHCenter);
    Label8 = whiteLabel(this, QStringLiteral("Label8"),
                        QStringLiteral("Please distribute to all your friends!"), 240, 4150, 4815,
                        255, Qt::AlignHCenter);

    for (Label *line : {Label2, Label3, Label4, Label5, Label6, Label8}) line->setWordWrap(false);

    SSCommand3 = new SSCommand(this, QStringLiteral("SSCommand3"),
                               QStringLiteral("&Change Membrane"), 120, 4560, 1575, 375);
    SSCommand1 = new SSCommand(this, QStringLiteral("SSCommand1"), QStringLiteral("&Return"), 3720,
                               4560, 1455, 375);

    // The swing starts as soon as the window is loaded.
    Timer1 = new Timer(this, QStringLiteral("Timer1"), 50, true);
    Timer2 = new Timer(this, QStringLiteral("Timer2"), 50, false);

    // Its heading is part of the picture.
    setAccessibleName(QStringLiteral("About TALVENDOK"));

    connect(SSCommand1, &SSCommand::Click, this, &Form2::SSCommand1_Click);
    connect(SSCommand3, &SSCommand::Click, this, &Form2::SSCommand3_Click);
    connect(Timer1, &QTimer::timeout, this, &Form2::Timer1_Timer);
    connect(Timer2, &QTimer::timeout, this, &Form2::Timer2_Timer);
}

void Form2::Form_Load() {
    centre();
}

void Form2::Timer1_Timer() {
    // The tick that turns still moves: the icon goes 80 twips past the turning point.
    if (twips::left(Picture1) >= kTurnRight) {
        Timer1->setEnabled(false);
        Timer2->setEnabled(true);
    }
    twips::setLeft(Picture1, twips::left(Picture1) + kStep);
}

void Form2::Timer2_Timer() {
    if (twips::left(Picture1) <= kTurnLeft) {
        Timer2->setEnabled(false);
        Timer1->setEnabled(true);
    }
    twips::setLeft(Picture1, twips::left(Picture1) - kStep);
}

void Form2::SSCommand1_Click() {
    backToBar(this);
}

void Form2::SSCommand3_Click() {
    Forms::open<Form8>();
    Forms::unload(this);
}
