#include "bar/bar_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QTimer>
#include <exception>
#include <memory>

#include "bar/appearance_rules.h"
#include "bar/exit_confirm_window.h"
#include "bar/placeholder_window.h"
#include "config/button_definition_window.h"
#include "config/menu_window.h"
#include "config/options_window.h"
#include "core/accessibility.h"
#include "core/host_services.h"
#include "core/settings_schema.h"
#include "core/settings_store.h"
#include "core/window_registry.h"

namespace {

const QString kNotExecutable = QStringLiteral(" is not executable, please change your settings!");

Label *titleLabel(QWidget *parent, const char *name, double left, double top, const QColor &color) {
    auto *label = new Label(parent, QString::fromLatin1(name), QStringLiteral("TALVENDOK"), left,
                            top, 915, 195, Qt::AlignRight);
    label->setWordWrap(false);
    setForeColor(label, color);
    // The title lies on the drag strip: a press on it starts the drag like anywhere else
    // along the top edge.
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
    return label;
}

SSPanel *barPanel(QWidget *parent, const char *name, const QString &caption, double left,
                  double top, double width, double height, const QFont &font) {
    auto *panel = new SSPanel(parent, QString::fromLatin1(name), caption, left, top, width, height);
    panel->setFont(font);
    panel->setBackColor(RGB(192, 192, 192));
    panel->setBevelOuter(SSPanel::Raised);
    return panel;
}

Label *pathHolder(QWidget *parent, int number, double left, double top) {
    const QString name = QStringLiteral("Label%1").arg(number);
    auto *holder = new Label(parent, name, name, left, top, 3735, 255);
    // Below the client area and never drawn: the holder only carries its caption.
    holder->setVisible(false);
    return holder;
}

// Runs one start-up step; whatever goes wrong inside it ends that step only.
template <class Step>
void isolated(Step step) {
    try {
        step();
    } catch (const std::exception &) {
    } catch (...) {
    }
}

// What a drop would put into a slot: a local desktop entry of an application, or an
// executable file (quoted when it holds blanks); empty for anything else. Read afresh at
// the drop itself, since the file may be gone by then.
QString droppedProgram(const QDropEvent *event) {
    const QMimeData *data = event->mimeData();
    if (!(event->possibleActions() & (Qt::CopyAction | Qt::LinkAction)) || !data ||
        !data->hasUrls())
        return {};
    const QList<QUrl> urls = data->urls();
    if (urls.size() != 1 || !urls.first().isLocalFile()) return {};
    const QString path = urls.first().toLocalFile();
    if (host().applicationEntry(path, nullptr, nullptr)) return path;
    // Any other entry is refused, executable or not: it is never run as a program.
    if (path.endsWith(QLatin1String(".desktop"), Qt::CaseInsensitive) ||
        path.contains(QLatin1Char('"')) || !host().fileExists(path) || !host().isExecutable(path))
        return {};
    return path.contains(QLatin1Char(' ')) ? QLatin1Char('"') + path + QLatin1Char('"') : path;
}

}  // namespace

bool slotPicture(const QString &iconPath, const QString &programPath,
                 HostServices::PictureDecoder *decode) {
    QString icon = iconPath;
    if (icon == QLatin1String(kUnsetPath) && !host().applicationEntry(programPath, nullptr, &icon))
        return false;
    return host().readPicture(icon, decode, kLaunchIconSize);
}

bool slotPicture(const QString &iconPath, const QString &programPath, QPixmap *picture) {
    HostServices::PictureDecoder decode;
    if (!slotPicture(iconPath, programPath, &decode)) return false;
    *picture = decode();
    return !picture->isNull();
}

Form1::Form1() : Form("Form1", 5055, 2100, Form::Tool) {
    setBuiltInPicture(QStringLiteral(":/bar.jpg"));
    setHomeWindow(this);
    // A screen taken away while the bar is on it must not leave the bar off every screen.
    connect(qGuiApp, &QGuiApplication::screenRemoved, this,
            [this] { QTimer::singleShot(0, this, [this] { keepOnScreen(); }); });

    Label3 = new Label(this, QStringLiteral("Label3"), QString(), 0, 0, 5055, 255);
    SSPanel1 = barPanel(this, "SSPanel1", QStringLiteral("r"), 20, 10, 215, 215,
                        fonts::byName(QStringLiteral("Marlett"), 9));
    SSPanel3 =
        barPanel(this, "SSPanel3", QStringLiteral("_"), 260, 10, 210, 210, fonts::tahoma(6.75));
    // The shadow first, so that the title is drawn over it.
    Label1 = titleLabel(this, "Label1", 4110, 25, RGB(128, 128, 128));
    Label2 = titleLabel(this, "Label2", 4080, 10, RGB(255, 255, 255));

    SSCommand10 =
        new SSCommand(this, QStringLiteral("SSCommand10"), QString(), 120, 480, 4815, 1215);
    SSCommand10->setFocusPolicy(Qt::NoFocus);
    // Decoded when first drawn, once for the four buttons.
    auto decoded = std::make_shared<QPixmap>();
    const auto builtInIcon = [decoded, ratio = devicePixelRatioF()] {
        if (decoded->isNull()) *decoded = pictures::builtIn(QStringLiteral(":/launch.png"), ratio);
        return *decoded;
    };
    const double launchLeft[] = {240, 1410, 2570, 3720};
    SSCommand **launchButtons[] = {&SSCommand6, &SSCommand7, &SSCommand8, &SSCommand9};
    for (int i = 0; i < 4; ++i) {
        auto *button = new SSCommand(this, QStringLiteral("SSCommand%1").arg(6 + i), kUnsetCaption,
                                     launchLeft[i], 600, 1095, 975);
        button->setPictureLater(builtInIcon);
        button->setAcceptDrops(true);
        button->installEventFilter(this);
        *launchButtons[i] = button;
    }

    Line1 = rule(QStringLiteral("Line1"), 5040, 0, 1790);
    SSPanel2 = barPanel(this, "SSPanel2", QStringLiteral(".. &Menu .."), 0, 1800, 1215, 295,
                        fonts::tahoma());
    SSPanel2->setForeColor(QApplication::palette().color(QPalette::ButtonText));
    Label18 = new Label(this, QStringLiteral("Label18"), QString(), 1200, 1800, 3855, 375);
    Label18->setBackColor(RGB(0, 0, 0));
    Label16 = whiteLabel(this, QStringLiteral("Label16"), QString(), 1320, 1830, 3615, 255,
                         Qt::AlignHCenter);
    Label16->setWordWrap(false);
    Timer1 = new Timer(this, QStringLiteral("Timer1"), 1000, true);

    Label4 = pathHolder(this, 4, 120, 2280);
    Label5 = pathHolder(this, 5, 120, 2640);
    Label6 = pathHolder(this, 6, 120, 3000);
    Label7 = pathHolder(this, 7, 120, 3360);
    Label8 = pathHolder(this, 8, 3960, 2280);
    Label9 = pathHolder(this, 9, 3960, 2640);
    Label10 = pathHolder(this, 10, 3960, 3000);
    Label11 = pathHolder(this, 11, 3960, 3360);

    connect(SSCommand6, &SSCommand::Click, this, &Form1::SSCommand6_Click);
    connect(SSCommand7, &SSCommand::Click, this, &Form1::SSCommand7_Click);
    connect(SSCommand8, &SSCommand::Click, this, &Form1::SSCommand8_Click);
    connect(SSCommand9, &SSCommand::Click, this, &Form1::SSCommand9_Click);
    connect(SSPanel1, &SSPanel::MouseDown, this, &Form1::SSPanel1_MouseDown);
    connect(SSPanel1, &SSPanel::MouseUp, this, &Form1::SSPanel1_MouseUp);
    connect(SSPanel2, &SSPanel::MouseDown, this, &Form1::SSPanel2_MouseDown);
    connect(SSPanel2, &SSPanel::MouseUp, this, &Form1::SSPanel2_MouseUp);
    connect(SSPanel3, &SSPanel::MouseDown, this, &Form1::SSPanel3_MouseDown);
    connect(SSPanel3, &SSPanel::MouseUp, this, &Form1::SSPanel3_MouseUp);
    connect(SSPanel1, &SSPanel::Click, this, &Form1::SSPanel1_Click);
    connect(SSPanel2, &SSPanel::Click, this, &Form1::SSPanel2_Click);
    connect(SSPanel3, &SSPanel::Click, this, &Form1::SSPanel3_Click);
    connect(Timer1, &QTimer::timeout, this, &Form1::Timer1_Timer);
    // The drag strip is driven by press and move, not by its click.
    Label3->installEventFilter(this);

    // Screen readers: the panels by what they do rather than by their glyphs, the bar by its
    // title, each launch button described by its program; strips, shadow and frame decorate.
    SSPanel1->setAccessibleName(QStringLiteral("Close"));
    SSPanel3->setAccessibleName(QStringLiteral("Minimise"));
    SSPanel2->setAccessibleName(QStringLiteral("Menu"));
    setHeadingLabel(Label2);
    for (QWidget *decoration :
         std::initializer_list<QWidget *>{Label3, Label1, SSCommand10, Label18})
        accessibility::setDecorative(decoration);
    for (int slot = 1; slot <= 4; ++slot) launchButton(slot)->describeBy(programHolder(slot));
    // The keyboard starts on the first launch button, where Enter does no harm.
    SSCommand6->setFocus();
}

SSCommand *Form1::launchButton(int slot) const {
    SSCommand *const buttons[] = {SSCommand6, SSCommand7, SSCommand8, SSCommand9};
    return slot >= 1 && slot <= 4 ? buttons[slot - 1] : nullptr;
}

Label *Form1::programHolder(int slot) const {
    Label *const holders[] = {Label4, Label5, Label6, Label7};
    return slot >= 1 && slot <= 4 ? holders[slot - 1] : nullptr;
}

Label *Form1::iconHolder(int slot) const {
    Label *const holders[] = {Label8, Label9, Label10, Label11};
    return slot >= 1 && slot <= 4 ? holders[slot - 1] : nullptr;
}

// --- Start-up -------------------------------------------------------------------------

void Form1::Form_Load() {
    isolated([this] { LoadButtonSlots(); });
    isolated([this] { LoadMembraneAndClock(); });
    isolated([this] { ApplyStartupOptions(); });
    // The bar is the program: whatever ended a step early, it comes up, alone.
    if (!Visible()) backToBar(nullptr);
}

void Form1::LoadButtonSlots() {
    for (int slot = 1; slot <= 4; ++slot)
        launchButton(slot)->setCaption(getSetting(buttonCaption(slot)));
    for (int slot = 1; slot <= 4; ++slot)
        programHolder(slot)->setCaption(getSetting(buttonProgram(slot)));
    for (int slot = 1; slot <= 4; ++slot)
        iconHolder(slot)->setCaption(getSetting(buttonIcon(slot)));
    // Each decoded when first drawn: the bar is on its way to the screen meanwhile.
    for (int slot = 1; slot <= 4; ++slot) {
        HostServices::PictureDecoder icon;
        if (slotPicture(iconHolder(slot)->Caption(), programHolder(slot)->Caption(), &icon))
            launchButton(slot)->setPictureLater(std::move(icon));
    }
}

void Form1::assignProgram(int slot, const QString &path) {
    programHolder(slot)->setCaption(path);
    QString name;
    if (!host().applicationEntry(path, &name, nullptr)) return;
    const QString caption = launchButton(slot)->Caption();
    if (!name.isEmpty() && (caption.isEmpty() || caption == QLatin1String(kUnsetCaption)))
        launchButton(slot)->setCaption(name);
    QPixmap icon;
    if (iconHolder(slot)->Caption() == QLatin1String(kUnsetPath) &&
        slotPicture(iconHolder(slot)->Caption(), path, &icon))
        launchButton(slot)->setPicture(icon);
}

void Form1::LoadMembraneAndClock() {
    loadPicture(getSetting(Setting::Membrane));
    Label16->setCaption(clockText(host().currentTime()));
}

void Form1::ApplyStartupOptions() {
    // The options window would be built only to be read and dropped unseen: its loading
    // runs without it.
    const StoredOptions options = Form7::loadUnseen(*this);
    appearance::titleText(*this, options.titleText);
    appearance::buttonBackground(*this, options.buttonBackground == 1);
    appearance::largeBevel(*this, options.largeBevel == 1);
    appearance::text3D(*this, options.text3D == 1);

    if (options.saveWinPos == 1) {
        saveSetting(Setting::SaveWinPos, QStringLiteral("1"));
        float left = 0, top = 0;
        const bool placed = stored::toSingle(getSetting(Setting::Left), &left) &&
                            stored::toSingle(getSetting(Setting::Top), &top);
        if (placed) {
            setLeft(left);
            setTop(top);
            keepOnScreen();
        } else {
            // A stored position that is not a number: the bar opens at its designed place.
            centre();
        }
    } else {
        centre();
    }

    backToBar(nullptr);
}

void Form1::keepOnScreen() {
    const QRectF bar(Left(), Top(), Width(), Height());
    const QList<QRectF> screens = host().screensTwips();
    for (const QRectF &screen : screens) {
        if (screen.intersects(bar)) return;  // on a screen: kept exactly where it was
    }
    // The stored place belongs to a screen that is gone: take the nearest one that is left.
    const QRectF nearest = host().screenOf(bar);
    const double left = qMax(nearest.left(), qMin(bar.left(), nearest.right() - bar.width()));
    const double top = qMax(nearest.top(), qMin(bar.top(), nearest.bottom() - bar.height()));
    setLeft(left);
    setTop(top);
}

// --- Launch buttons -------------------------------------------------------------------

void Form1::SSCommand6_Click() {
    launch(1);
}
void Form1::SSCommand7_Click() {
    launch(2);
}
void Form1::SSCommand8_Click() {
    launch(3);
}
void Form1::SSCommand9_Click() {
    launch(4);
}

void Form1::launch(int slot) {
    const QString value = getSetting(Setting::MinimizeOnRun);
    const QString path = programHolder(slot)->Caption();
    double number = 0;
    const bool numeric = stored::toNumber(value, &number);
    if (numeric && number == 1) {
        Form10::putBarAway();
        if (host().startProgram(path)) return;
    } else if (numeric && number == 0) {
        if (host().startProgram(path)) return;
    }
    // Nothing is undone: a bar put away stays behind its placeholder.
    host().messageBox(path + kNotExecutable, 16);
}

// --- Push panels ----------------------------------------------------------------------

void Form1::SSPanel1_MouseDown() {
    SSPanel1->setBevelOuter(SSPanel::Inset);
}
void Form1::SSPanel1_MouseUp() {
    SSPanel1->setBevelOuter(SSPanel::Raised);
}
void Form1::SSPanel2_MouseDown() {
    SSPanel2->setBevelOuter(SSPanel::Inset);
}
void Form1::SSPanel2_MouseUp() {
    SSPanel2->setBevelOuter(SSPanel::Raised);
}
void Form1::SSPanel3_MouseDown() {
    SSPanel3->setBevelOuter(SSPanel::Inset);
}
void Form1::SSPanel3_MouseUp() {
    SSPanel3->setBevelOuter(SSPanel::Raised);
}

void Form1::SSPanel1_Click() {
    // Everything is saved before the question: declining the exit keeps it.
    const int failures = host().saveFailures();
    // A place the platform never reported is no place to store: the stored one stays.
    if (host().reportsWindowPositions()) {
        saveSetting(Setting::Top, stored::fromNumber(Top()));
        saveSetting(Setting::Left, stored::fromNumber(Left()));
    }
    for (int slot = 1; slot <= 4; ++slot)
        saveSetting(buttonCaption(slot), launchButton(slot)->Caption());
    for (int slot = 1; slot <= 4; ++slot)
        saveSetting(buttonProgram(slot), programHolder(slot)->Caption());
    for (int slot = 1; slot <= 4; ++slot)
        saveSetting(buttonIcon(slot), iconHolder(slot)->Caption());
    reportUnsavedSettings(failures);

    if (stored::isSet(getSetting(Setting::ConfirmExit))) {
        if (!Forms::open<Form11>()) return;
        setVisible(false);
        return;
    }
    host().programEnd();
}

void Form1::SSPanel2_Click() {
    Forms::open<Form9>();
}

void Form1::SSPanel3_Click() {
    Form10::putBarAway();
}

// --- Drag strip, clock, focus ---------------------------------------------------------

void Form1::Label3_Click() {
    // The window manager moves the bar; without one the bar follows the mouse itself.
    if (!host().windowDrag(this)) m_dragFollow = true;
}

bool Form1::eventFilter(QObject *watched, QEvent *event) {
    // A drop onto a launch button assigns its slot, as the button definitions would.
    if (event->type() == QEvent::DragEnter || event->type() == QEvent::Drop) {
        for (int slot = 1; slot <= 4; ++slot) {
            if (watched != launchButton(slot)) continue;
            auto *drop = static_cast<QDropEvent *>(event);
            const QString program = droppedProgram(drop);
            if (program.isEmpty()) {
                drop->ignore();
                return true;
            }
            drop->setDropAction((drop->possibleActions() & Qt::CopyAction) ? Qt::CopyAction
                                                                           : Qt::LinkAction);
            drop->accept();
            if (event->type() == QEvent::Drop) {
                assignProgram(slot, program);
                if (Form3 *definitions = Forms::find<Form3>()) definitions->showSlot(slot);
            }
            return true;
        }
    }
    if (watched == Label3) {
        switch (event->type()) {
            case QEvent::MouseButtonPress:
            case QEvent::MouseButtonDblClick: {
                auto *mouse = static_cast<QMouseEvent *>(event);
                if (mouse->button() == Qt::LeftButton) {
                    m_dragArmed = true;
                    m_dragFollow = false;
                    m_dragPress = mouse->globalPosition().toPoint();
                    m_dragOffset = m_dragPress - pos();
                }
                return true;
            }
            case QEvent::MouseMove: {
                auto *mouse = static_cast<QMouseEvent *>(event);
                const QPoint global = mouse->globalPosition().toPoint();
                if (m_dragArmed && (mouse->buttons() & Qt::LeftButton) &&
                    (global - m_dragPress).manhattanLength() >= QApplication::startDragDistance()) {
                    // Once per press, and only after a real move: handing a bare click to
                    // the window manager can leave it in move mode.
                    m_dragArmed = false;
                    Label3_Click();
                }
                if (m_dragFollow && (mouse->buttons() & Qt::LeftButton))
                    move(global - m_dragOffset);
                return true;
            }
            case QEvent::MouseButtonRelease:
                m_dragArmed = false;
                m_dragFollow = false;
                return true;
            default:
                break;
        }
    }
    return Form::eventFilter(watched, event);
}

void Form1::Timer1_Timer() {
    Label16->setCaption(clockText(host().currentTime()));
}

void Form1::Form_GotFocus() {
    // Reading the menu's visibility loads it (hidden) when it does not exist yet.
    Form9 *menu = Forms::get<Form9>();
    if (menu && menu->Visible()) Forms::unload(menu);
}

bool Form1::event(QEvent *event) {
    if (event->type() == QEvent::WindowActivate) Form_GotFocus();
    return Form::event(event);
}

void Form1::closeEvent(QCloseEvent *event) {
    // The bar is never unloaded: the program ends only through its own ways out (the close
    // panel, the exit confirmation, closing the placeholder), not by a platform close key.
    event->ignore();
}

void backToBar(Form *leaving) {
    Forms::unload(leaving);
    Forms::open<Form1>();
}
