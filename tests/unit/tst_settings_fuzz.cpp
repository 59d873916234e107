// Hostile settings files against a whole session of the program: start the bar, open every
// window, apply the options, choose a Membrane, edit the buttons, exit through the close
// panel. Nothing may crash or hang, and every key the session does not write must come out
// of it as it went in.
//
// Environment:
//   TALVENDOK_FUZZ_SEED          seed of the generated cases (default: a fixed one)
//   TALVENDOK_FUZZ_CASES         number of cases (default 300, 150 under AddressSanitizer)
//   TALVENDOK_FUZZ_FIRST         index of the first case (default 0)
//   TALVENDOK_FUZZ_CASE_TIMEOUT  seconds one case may take before it counts as a hang (120)
//   TALVENDOK_FUZZ_DUMP          folder that receives each case's file before it runs, and
//                                the file as the session left it (".after")
//   TALVENDOK_FUZZ_VERBOSE       report each value that the INI format itself loses
// One case alone: TALVENDOK_FUZZ_SEED=<seed> tst_settings_fuzz fuzz:case-<index>

#include <unistd.h>

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSet>
#include <QSettings>
#include <QTest>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <mutex>
#include <thread>

#include "bar/bar_window.h"
#include "bar/exit_confirm_window.h"
#include "bar/placeholder_window.h"
#include "config/about_window.h"
#include "config/button_definition_window.h"
#include "config/membrane_chooser_window.h"
#include "config/menu_window.h"
#include "config/options_window.h"
#include "config/password_access_window.h"
#include "config/password_info_window.h"
#include "core/settings_store.h"
#include "core/window_registry.h"
#include "tests/support/hostile_settings.h"
#include "tests/support/test_host.h"

extern "C" void __asan_set_death_callback(void (*callback)(void)) __attribute__((weak));

// A stored "@Variant(...)" is deserialised by QSettings, and a hostile one claims lengths of
// many gigabytes. The system allocator refuses such a request and Qt copes with the refusal;
// the sanitizer's allocator would end the process instead unless told to refuse the same way.
extern "C" const char *__asan_default_options() {
    return "allocator_may_return_null=1";
}

namespace {

constexpr quint64 kDefaultSeed = 0x7A1BE1D0C5EEDull;
#if defined(__SANITIZE_ADDRESS__)
constexpr int kDefaultCases = 150;  // about three times slower under the sanitizer
#else
constexpr int kDefaultCases = 300;
#endif

// What the case in progress is, for the hang watchdog and the sanitizer's last words.
char g_currentCase[1024] = "no case yet";

void announceCurrentCase() {
    // Only async-signal-safe calls: this also runs in a fatal signal's handler.
    const char head[] = "\n*** settings fuzz: this happened in ";
    ssize_t ignored = ::write(2, head, sizeof head - 1);
    ignored = ::write(2, g_currentCase, std::strlen(g_currentCase));
    ignored = ::write(2, "\n", 1);
    Q_UNUSED(ignored);
}

struct sigaction g_previousActions[NSIG];

// Names the case in progress, then lets the test runner's own handler report the signal.
void fatalSignal(int signal) {
    announceCurrentCase();
    sigaction(signal, &g_previousActions[signal], nullptr);
    raise(signal);
}

void nameCaseOnFatalSignals() {
    for (int signal : {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT}) {
        struct sigaction action = {};
        action.sa_handler = fatalSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESETHAND;
        sigaction(signal, &action, &g_previousActions[signal]);
    }
}

// Ends the process with the case's name when one case runs longer than its time: a hang
// would otherwise only show as the test runner's timeout, with nothing to replay.
class Watchdog {
  public:
    ~Watchdog() {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_quit = true;
        }
        m_wake.notify_all();
        if (m_thread.joinable()) m_thread.join();
    }
    void arm(int seconds, const QByteArray &dumpPath) {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_thread.joinable()) m_thread = std::thread([this] { run(); });
        m_deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
        m_dumpPath = dumpPath;
        m_armed = true;
        m_wake.notify_all();
    }
    void disarm() {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_armed = false;
    }

  private:
    void run() {
        std::unique_lock<std::mutex> lock(m_mutex);
        while (!m_quit) {
            if (!m_armed) {
                m_wake.wait(lock);
                continue;
            }
            if (m_wake.wait_until(lock, m_deadline) == std::cv_status::timeout && m_armed &&
                std::chrono::steady_clock::now() >= m_deadline) {
                std::fprintf(stderr,
                             "\n*** settings fuzz: HANG, the case did not finish in time\n");
                if (!m_dumpPath.isEmpty())
                    std::fprintf(stderr, "*** its settings file is kept at %s\n",
                                 m_dumpPath.constData());
                std::fflush(stderr);
                announceCurrentCase();
                std::abort();
            }
        }
    }
    std::thread m_thread;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::chrono::steady_clock::time_point m_deadline;
    QByteArray m_dumpPath;
    bool m_armed = false;
    bool m_quit = false;
};

// The test host, also noting every key the program saves.
class FuzzHost : public TestHost {
  public:
    bool saveSetting(const QString &section, const QString &key, const QString &value) override {
        written.insert(section + QLatin1Char('/') + key);
        return TestHost::saveSetting(section, key, value);
    }
    QSet<QString> written;
};

// The text the store hands to the windows for a value QSettings read.
QString storeText(const QVariant &value) {
    if (value.typeId() == QMetaType::QStringList || value.typeId() == QMetaType::QVariantList)
        return value.toStringList().join(QLatin1Char(','));
    return value.toString();
}

// A settings file as QSettings reads it, and its raw key lines.
struct Snapshot {
    bool isFile = false;
    QByteArray bytes;
    QSettings::Status status = QSettings::NoError;
    QMap<QString, QVariant> values;
    QMap<QString, QByteArray> lines;  // last raw line of each plainly named key
};

int g_snapshotCount = 0;

QMap<QString, QVariant> readWithQSettings(const QByteArray &bytes, QSettings::Status *status) {
    // A file of its own: QSettings shares parsed files between instances of one process,
    // and the program's store must not stand between this reading and the disk.
    const QString copy = QDir::tempPath() + QStringLiteral("/talvendok-fuzz-snapshot-%1-%2.conf")
                                                .arg(QCoreApplication::applicationPid())
                                                .arg(++g_snapshotCount);
    {
        QFile out(copy);
        if (out.open(QIODevice::WriteOnly)) out.write(bytes);
    }
    QMap<QString, QVariant> values;
    {
        QSettings settings(copy, QSettings::IniFormat);
        for (const QString &key : settings.allKeys()) values.insert(key, settings.value(key));
        *status = settings.status();
    }
    QFile::remove(copy);
    return values;
}

bool plainName(const QByteArray &name) {
    if (name.isEmpty()) return false;
    for (char c : name)
        if (!QChar::isLetterOrNumber(uchar(c)) || uchar(c) >= 0x80) return false;
    return true;
}

QMap<QString, QByteArray> rawKeyLines(const QByteArray &bytes) {
    QMap<QString, QByteArray> lines;
    QByteArray section;
    QByteArray normalised = bytes;
    normalised.replace("\r\n", "\n").replace('\r', '\n');
    for (const QByteArray &line : normalised.split('\n')) {
        const QByteArray trimmed = line.trimmed();
        if (trimmed.startsWith('[')) {
            section = trimmed.endsWith(']') ? trimmed.mid(1, trimmed.size() - 2) : QByteArray("?");
            continue;
        }
        const int equals = line.indexOf('=');
        if (equals <= 0) continue;
        const QByteArray key = line.left(equals);
        if (!plainName(key) || (!section.isEmpty() && !plainName(section))) continue;
        const QByteArray name =
            section.isEmpty() || section == "General" ? key : section + "/" + key;
        lines.insert(QString::fromLatin1(name), line);
    }
    return lines;
}

Snapshot snapshot(const QString &path) {
    Snapshot s;
    s.isFile = QFileInfo(path).isFile();
    if (!s.isFile) return s;
    QFile in(path);
    if (in.open(QIODevice::ReadOnly)) s.bytes = in.readAll();
    s.values = readWithQSettings(s.bytes, &s.status);
    s.lines = rawKeyLines(s.bytes);
    return s;
}

// The file as QSettings alone leaves it after the same saves as the session's.
Snapshot rewrittenByQSettings(const QByteArray &bytes, const QMap<QString, QVariant> &saves) {
    // A new name each time: QSettings caches parsed files by name within a process.
    const QString copy = QDir::tempPath() + QStringLiteral("/talvendok-fuzz-rewrite-%1-%2.conf")
                                                .arg(QCoreApplication::applicationPid())
                                                .arg(++g_snapshotCount);
    {
        QFile out(copy);
        if (out.open(QIODevice::WriteOnly | QIODevice::Truncate)) out.write(bytes);
    }
    {
        QSettings settings(copy, QSettings::IniFormat);
        // Read first, in the order the bar's start-up reads: QSettings parses sections as
        // they are first used, and a key given in two places ("[Options] TitleBar" and
        // "Options/TitleBar" before any section) is won by whichever is parsed last.
        for (const hostile::SchemaKey &key : hostile::schemaKeys()) settings.value(key.path());
        for (auto it = saves.cbegin(); it != saves.cend(); ++it)
            settings.setValue(it.key(), it.value());
    }
    Snapshot s = snapshot(copy);
    QFile::remove(copy);
    return s;
}

// A text saved through QSettings and read back: QSettings does not keep every text (a
// leading U+FEFF is taken for a byte order mark and dropped when the file is read).
QString throughQSettings(const QString &text) {
    const QString copy = QDir::tempPath() + QStringLiteral("/talvendok-fuzz-text-%1-%2.conf")
                                                .arg(QCoreApplication::applicationPid())
                                                .arg(++g_snapshotCount);
    {
        QSettings settings(copy, QSettings::IniFormat);
        settings.setValue(QStringLiteral("Section/Key"), text);
    }
    // Read from a file of its own: the writer's parsed copy is cached under its name.
    QByteArray bytes;
    {
        QFile written(copy);
        if (written.open(QIODevice::ReadOnly)) bytes = written.readAll();
    }
    QSettings::Status status;
    const QString back =
        storeText(readWithQSettings(bytes, &status).value(QStringLiteral("Section/Key")));
    QFile::remove(copy);
    return back;
}

QStringList exitKeys() {
    QStringList keys = {QStringLiteral("Startup/Top"), QStringLiteral("Startup/Left")};
    for (const char *part : {"Caption", "EXE", "Icon"})
        for (int slot = 1; slot <= 4; ++slot)
            keys << QStringLiteral("Buttons/Button%1%2").arg(slot).arg(QLatin1String(part));
    return keys;
}

QStringList applyKeys() {
    QStringList keys;
    for (const char *key : {"Password", "TitleBar", "TextRed", "TextGreen", "TextBlue",
                            "TextShadow", "DisplayTime", "3Button", "MinimizeOnRun", "ConfirmExit",
                            "ButtonBackground", "LargeBevel", "3DText", "SaveWinPos"})
        keys << QStringLiteral("Options/") + QLatin1String(key);
    return keys;
}

quint64 envNumber(const char *name, quint64 fallback) {
    bool ok = false;
    const quint64 value = qEnvironmentVariable(name).toULongLong(&ok, 0);
    return ok ? value : fallback;
}

QtMessageHandler g_previousHandler = nullptr;

// The offscreen platform says so at every raise; hundreds of cases would drown the report.
void quietHandler(QtMsgType type, const QMessageLogContext &context, const QString &message) {
    if (type == QtWarningMsg && message.startsWith(QLatin1String("This plugin does not support")))
        return;
    g_previousHandler(type, context, message);
}

void settle() {
    QCoreApplication::processEvents();
}

}  // namespace

class SettingsFuzzTest : public QObject {
    Q_OBJECT

  private:
    FuzzHost m_host;
    Watchdog m_watchdog;
    quint64 m_seed = kDefaultSeed;
    int m_first = 0;
    int m_cases = kDefaultCases;
    int m_caseTimeout = 120;
    QString m_dumpFolder;
    hostile::Environment m_environment;
    QString m_marker;

    // Figures for the closing line.
    int m_run = 0, m_applied = 0, m_membranes = 0, m_formatErrors = 0, m_untouchedKeys = 0,
        m_bytesKept = 0, m_reencoded = 0, m_formatLosses = 0;

    FuzzHost &host() { return m_host; }

    void seedProgramFolder() {
        const QString folder = testenv::programFolder();
        QDirIterator shipped(QStringLiteral(TALVENDOK_SOURCE_DIR "/resources/program_folder"),
                             QDir::Files);
        while (shipped.hasNext()) {
            const QString source = shipped.next();
            QFile::copy(source, folder + QLatin1Char('/') + QFileInfo(source).fileName());
        }
        hostile::writeHostileProgramFiles(folder);
    }

    void removeSettingsFolderLeftovers() {
        const QString file = host().settingsFile();
        if (QFileInfo(file).isDir()) QDir(file).removeRecursively();
        const QDir folder = QFileInfo(file).absoluteDir();
        for (const QString &aside :
             folder.entryList({QFileInfo(file).fileName() + QStringLiteral(".*")}, QDir::Files))
            QFile::remove(folder.filePath(aside));
    }

    void placeCase(const hostile::Case &c) {
        const QString file = host().settingsFile();
        if (c.kind == hostile::Case::Folder) {
            QFile::remove(file);
            QDir().mkpath(file);
            QFile inside(file + QStringLiteral("/keep.txt"));
            if (inside.open(QIODevice::WriteOnly)) inside.write("kept\n");
            inside.close();
            host().reopenSettings();
        } else {
            host().writeSettingsFile(c.content);
        }
    }

    // --- The session ------------------------------------------------------------------

    Form9 *openMenu() {
        Forms::get<Form1>()->SSPanel2_Click();
        settle();
        Form9 *menu = Forms::find<Form9>();
        return menu && menu->Visible() ? menu : nullptr;
    }

    struct Session {
        QString storedPassword;  // as the program reads it before the session
        bool applied = false;
        bool applyExpected = false;
        QMap<QString, QString> applyValues;  // what Apply must have written
        QSet<int> slotsEdited;
        bool membraneTried = false;
        bool editButtons = true;  // type captions and choose programs and icons
    };

    void optionsSession(QRandomGenerator &rng, Session &s) {
        // Through the menu, as the user would: with a stored password, the access window.
        Form9 *menu = openMenu();
        QVERIFY2(menu, "the menu panel did not open the menu");
        menu->SSCommand1_Click();
        settle();
        if (Form13 *access = Forms::find<Form13>()) {
            const bool right = rng.bounded(4) != 0;
            access->Text1->setText(right ? s.storedPassword : s.storedPassword + QLatin1Char('x'));
            const bool matches = access->Text1->Text() == s.storedPassword;
            access->Command1_Click();
            settle();
            QVERIFY(!Forms::find<Form13>());
            if (matches) {
                QVERIFY2(Forms::find<Form7>() && Forms::find<Form7>()->Visible(),
                         "the right password did not open the options");
            }
        }
        Form7 *options = Forms::get<Form7>();
        QVERIFY(options);
        if (!options->Visible()) {
            options->Show();
            options->SetFocus();
        }
        settle();

        // Pages, the shadow preview, the colour setter and the centring.
        options->SSPanel13_Click();
        options->SSPanel14_Click();
        options->SSPanel17_Click();
        options->SSPanel12_Click();
        if (rng.bounded(2)) options->Check5->setValue(1 - options->Check5->Value());
        // The colour setter's "<" and ">" panels, held for a number of steps.
        const std::function<void()> downs[] = {[options] { options->SSPanel4_MouseDown(); },
                                               [options] { options->SSPanel5_MouseDown(); },
                                               [options] { options->SSPanel6_MouseDown(); },
                                               [options] { options->SSPanel7_MouseDown(); },
                                               [options] { options->SSPanel8_MouseDown(); },
                                               [options] { options->SSPanel9_MouseDown(); }};
        const std::function<void()> ups[] = {
            [options] { options->SSPanel4_MouseUp(); }, [options] { options->SSPanel5_MouseUp(); },
            [options] { options->SSPanel6_MouseUp(); }, [options] { options->SSPanel7_MouseUp(); },
            [options] { options->SSPanel8_MouseUp(); }, [options] { options->SSPanel9_MouseUp(); }};
        // The step timer each panel drives, in panel order.
        const std::function<void()> ticks[] = {
            [options] { options->Timer4_Timer(); }, [options] { options->Timer1_Timer(); },
            [options] { options->Timer5_Timer(); }, [options] { options->Timer2_Timer(); },
            [options] { options->Timer6_Timer(); }, [options] { options->Timer3_Timer(); }};
        for (int press = int(rng.bounded(3)); press > 0; --press) {
            const int which = int(rng.bounded(6));
            downs[which]();
            for (int tick = int(rng.bounded(60)); tick > 0; --tick) ticks[which]();
            ups[which]();
        }
        options->Timer7_Timer();
        if (rng.bounded(4) == 0) options->SSPanel10_Click();
        for (CheckBox *box : {options->Check1, options->Check2, options->Check3, options->Check4,
                              options->Check6, options->Check7, options->Check8, options->Check9})
            if (rng.bounded(5) == 0) box->setValue(1 - box->Value());

        // Old and new password; the right old one in most cases.
        const bool right = rng.bounded(4) != 0;
        options->Text3->setText(right ? s.storedPassword : QStringLiteral("not it"));
        switch (rng.bounded(4)) {
            case 0:
                options->Text4->setText(s.storedPassword);
                break;
            case 1:
                options->Text4->setText(QString());
                break;
            case 2:
                options->Text4->setText(QStringLiteral("n\u00e9w, \"pass\"; =word"));
                break;
            default:
                options->Text4->setText(QStringLiteral("@Variant(x)\\ \t"));
                break;
        }

        // The explanation hides the options and the bar; its return brings both back.
        const QString typedOld = options->Text3->Text();
        options->SSCommand3_Click();
        settle();
        Form12 *info = Forms::find<Form12>();
        QVERIFY2(info && info->Visible(), "More Information did not show its window");
        info->SSCommand1_Click();
        settle();
        options = Forms::find<Form7>();
        QVERIFY2(options && options->Visible(), "the options did not come back");
        QCOMPARE(options->Text3->Text(), typedOld);

        s.applyExpected = options->Text3->Text() == s.storedPassword;
        const auto flag = [](CheckBox *box) {
            return box->Value() == 1 ? QStringLiteral("1") : QStringLiteral("0");
        };
        s.applyValues = {
            {QStringLiteral("Options/Password"), options->Text4->Text()},
            {QStringLiteral("Options/TitleBar"), options->Text2->Text()},
            {QStringLiteral("Options/TextRed"), options->Label9->Caption()},
            {QStringLiteral("Options/TextGreen"), options->Label10->Caption()},
            {QStringLiteral("Options/TextBlue"), options->Label11->Caption()},
            {QStringLiteral("Options/TextShadow"), flag(options->Check5)},
            {QStringLiteral("Options/DisplayTime"), flag(options->Check9)},
            {QStringLiteral("Options/3Button"), flag(options->Check8)},
            {QStringLiteral("Options/MinimizeOnRun"), flag(options->Check4)},
            {QStringLiteral("Options/ConfirmExit"), flag(options->Check7)},
            {QStringLiteral("Options/ButtonBackground"), flag(options->Check1)},
            {QStringLiteral("Options/LargeBevel"), flag(options->Check3)},
            {QStringLiteral("Options/3DText"), flag(options->Check2)},
            {QStringLiteral("Options/SaveWinPos"), flag(options->Check6)},
        };
        options->SSCommand1_Click();
        settle();
        s.applied = !Forms::find<Form7>();
        QCOMPARE(s.applied, s.applyExpected);
        if (!s.applied) {
            Forms::find<Form7>()->SSCommand2_Click();
            settle();
            QVERIFY(!Forms::find<Form7>());
        }
        QVERIFY(Forms::get<Form1>()->Visible());
    }

    void aboutAndMembraneSession(QRandomGenerator &rng, Session &s) {
        Form9 *menu = openMenu();
        QVERIFY(menu);
        menu->SSCommand2_Click();
        settle();
        Form2 *about = Forms::find<Form2>();
        QVERIFY2(about && about->Visible(), "the about panel did not open");
        for (int tick = 0; tick < 30; ++tick) {
            about->Timer1_Timer();
            about->Timer2_Timer();
        }
        if (rng.bounded(2)) {
            about->SSCommand3_Click();  // straight on to the Membranes
        } else {
            about->SSCommand1_Click();
            settle();
            menu = openMenu();
            QVERIFY(menu);
            menu->SSCommand5_Click();
        }
        settle();
        QVERIFY(!Forms::find<Form2>());
        // Opening the chooser takes nothing: only a click on a Membrane does.
        QVERIFY2(!host().written.contains(QStringLiteral("Startup/Membrane")),
                 "opening the Membrane chooser took a Membrane without a click");
        Form8 *chooser = Forms::find<Form8>();
        QVERIFY2(chooser && chooser->Visible(), "the Membrane chooser did not open");
        if (chooser->File1->count() > 0 && rng.bounded(3) != 0) {
            s.membraneTried = true;
            const int row = int(rng.bounded(chooser->File1->count()));
            const qsizetype messagesBefore = host().messages.size();
            chooser->File1->setCurrentRow(row);
            settle();
            if (host().messages.size() == messagesBefore) {
                QVERIFY2(!Forms::find<Form8>(), "an accepted Membrane left the chooser open");
                ++m_membranes;
            }
        }
        if (Form8 *open = Forms::find<Form8>()) {
            open->SSCommand1_Click();
            settle();
        }
        QVERIFY(!Forms::find<Form8>());
    }

    void buttonsSession(QRandomGenerator &rng, Session &s) {
        Form9 *menu = openMenu();
        QVERIFY(menu);
        menu->SSCommand4_Click();
        settle();
        Form3 *definitions = Forms::find<Form3>();
        QVERIFY2(definitions && definitions->Visible(), "the button definitions did not open");
        TextBox *fields[] = {definitions->Text1, definitions->Text2, definitions->Text3,
                             definitions->Text4};
        const std::function<void()> chooseProgram[] = {
            [definitions] { definitions->SSCommand1_Click(); },
            [definitions] { definitions->SSCommand3_Click(); },
            [definitions] { definitions->SSCommand5_Click(); },
            [definitions] { definitions->SSCommand7_Click(); }};
        const std::function<void()> chooseIcon[] = {
            [definitions] { definitions->SSCommand2_Click(); },
            [definitions] { definitions->SSCommand4_Click(); },
            [definitions] { definitions->SSCommand6_Click(); },
            [definitions] { definitions->SSCommand8_Click(); }};
        const QString folder = testenv::programFolder();
        for (int row = 0; row < 4; ++row) {
            switch (s.editButtons ? rng.bounded(6) : 5) {
                case 0:
                    fields[row]->setText(QStringLiteral("Edited %1 & \u00e9").arg(row + 1));
                    s.slotsEdited.insert(row + 1);
                    break;
                case 1:
                    host().chooserAnswers = {rng.bounded(2) ? QString()
                                                            : folder + QStringLiteral("/x y.sh")};
                    chooseProgram[row]();
                    s.slotsEdited.insert(row + 1);
                    break;
                case 2: {
                    const QStringList answers = {QString(), folder + QStringLiteral("/DEFAULT.ICO"),
                                                 folder + QStringLiteral("/Broken.emb"),
                                                 folder + QStringLiteral("/Bomb.ico"),
                                                 folder + QStringLiteral("/Pipe.emb")};
                    host().chooserAnswers = {answers.at(int(rng.bounded(answers.size())))};
                    chooseIcon[row]();
                    s.slotsEdited.insert(row + 1);
                    break;
                }
                default:
                    break;
            }
            settle();
        }
        host().chooserAnswers.clear();
        definitions->SSCommand9_Click();
        settle();
        QVERIFY(!Forms::find<Form3>());
        QVERIFY(Forms::get<Form1>()->Visible());
    }

    void barSession() {
        Form1 *bar = Forms::get<Form1>();
        bar->Timer1_Timer();
        // Minimise and restore.
        bar->SSPanel3_Click();
        settle();
        Form10 *placeholder = Forms::find<Form10>();
        QVERIFY2(placeholder, "the minimise panel did not create the placeholder");
        QVERIFY(!bar->Visible());
        placeholder->Form_GotFocus();
        settle();
        QVERIFY(bar->Visible());
        QVERIFY(!Forms::find<Form10>());

        // Command lines that a shell would turn into a marker file are only ever programs
        // that do not exist.
        const QStringList injections = hostile::injectionCommandLines(m_marker);
        const std::function<void()> launch[] = {
            [bar] { bar->SSCommand6_Click(); }, [bar] { bar->SSCommand7_Click(); },
            [bar] { bar->SSCommand8_Click(); }, [bar] { bar->SSCommand9_Click(); }};
        for (int slot = 1; slot <= 4; ++slot) {
            const QString program = bar->programHolder(slot)->Caption();
            if (!injections.contains(program)) continue;
            const qsizetype messagesBefore = host().messages.size();
            launch[slot - 1]();
            settle();
            QVERIFY2(host().messages.size() > messagesBefore,
                     qPrintable(QStringLiteral("no failure reported for %1").arg(program)));
            if (Form10 *away = Forms::find<Form10>()) {
                away->Form_GotFocus();
                settle();
            }
        }
    }

    void exitSession() {
        Form1 *bar = Forms::get<Form1>();
        // The confirmation window, answered "No", when the exit will not ask by itself.
        if (!stored::isSet(host().getSetting(QStringLiteral("Options"),
                                             QStringLiteral("ConfirmExit"), QStringLiteral("0")))) {
            Form11 *question = Forms::get<Form11>();
            QVERIFY(question);
            question->Show();
            settle();
            question->SSCommand2_Click();
            settle();
            QVERIFY(!Forms::find<Form11>());
            QVERIFY(bar->Visible());
        }
        const int endsBefore = host().programEnds;
        bar->SSPanel1_Click();
        settle();
        if (Form11 *question = Forms::find<Form11>()) {
            QVERIFY(question->Visible());
            QVERIFY(!bar->Visible());
            question->SSCommand1_Click();
            settle();
        }
        QCOMPARE(host().programEnds, endsBefore + 1);
    }

    // --- The checks -------------------------------------------------------------------

    void checkStore(const hostile::Case &c, const Snapshot &before, const Session &s,
                    const QMap<QString, QString> &slotValuesBefore) {
        const QString file = host().settingsFile();
        if (c.kind == hostile::Case::Folder) {
            QVERIFY2(QFileInfo(file).isDir(), "the folder in place of the settings file is gone");
            QFile inside(file + QStringLiteral("/keep.txt"));
            QVERIFY(inside.open(QIODevice::ReadOnly));
            QCOMPARE(inside.readAll(), QByteArray("kept\n"));
            return;
        }
        const Snapshot after = snapshot(file);
        QVERIFY2(after.isFile, "no settings file after the session");
        // What QSettings alone makes of the file with the session's saves, twice over (the
        // store reads its own output again after a file with unreadable lines): whatever it
        // loses there is the INI format's loss, not the program's.
        QMap<QString, QVariant> saves;
        for (const QString &key : host().written) saves.insert(key, after.values.value(key));
        const Snapshot once = rewrittenByQSettings(before.bytes, saves);
        const Snapshot twice = rewrittenByQSettings(once.bytes, saves);
        // QSettings does not always read back what it writes for key names made of random
        // bytes; for every other file its own output must read cleanly.
        if (c.kind != hostile::Case::Binary && after.status != QSettings::NoError)
            QCOMPARE(after.status, twice.status);

        // A file QSettings could not fully read is kept aside, unchanged, before it is
        // rewritten without the lines it dropped.
        if (before.status == QSettings::FormatError) {
            ++m_formatErrors;
            const QDir folder = QFileInfo(file).absoluteDir();
            const QStringList asides = folder.entryList(
                {QFileInfo(file).fileName() + QStringLiteral(".unreadable-*")}, QDir::Files);
            QVERIFY2(asides.size() == 1, "a file with unreadable lines was not kept aside");
            QFile aside(folder.filePath(asides.first()));
            QVERIFY(aside.open(QIODevice::ReadOnly));
            QVERIFY2(aside.readAll() == before.bytes, "the copy aside differs from the file");
        }

        // What the session wrote: the exit's fourteen values, Apply's fourteen when it
        // passed, the Membrane when one was taken, and "SaveWinPos" at start-up.
        const QStringList exit = exitKeys();
        QSet<QString> allowed(exit.begin(), exit.end());
        allowed.insert(QStringLiteral("Options/SaveWinPos"));
        allowed.insert(QStringLiteral("Startup/Membrane"));
        if (s.applied)
            for (const QString &key : applyKeys()) allowed.insert(key);
        for (const QString &key : host().written)
            QVERIFY2(allowed.contains(key),
                     qPrintable(QStringLiteral("unexpected save of ") + key));
        for (const QString &key : exit)
            QVERIFY2(host().written.contains(key),
                     qPrintable(QStringLiteral("exit left out ") + key));
        if (!s.membraneTried) QVERIFY(!host().written.contains(QStringLiteral("Startup/Membrane")));

        if (s.applied) {
            ++m_applied;
            for (auto it = s.applyValues.cbegin(); it != s.applyValues.cend(); ++it) {
                const QString stored = storeText(after.values.value(it.key()));
                QVERIFY2(after.values.contains(it.key()), qPrintable(it.key()));
                QVERIFY2(stored == it.value() || stored == throughQSettings(it.value()),
                         qPrintable(QStringLiteral("%1 stored as '%2', Apply had '%3'")
                                        .arg(it.key(), stored.left(60), it.value().left(60))));
            }
        }

        // The slots went through the bar unchanged unless the session edited them.
        for (int slot = 1; slot <= 4; ++slot) {
            if (s.slotsEdited.contains(slot)) continue;
            for (const char *part : {"Caption", "EXE", "Icon"}) {
                const QString key =
                    QStringLiteral("Buttons/Button%1%2").arg(slot).arg(QLatin1String(part));
                const QString stored = storeText(after.values.value(key));
                const QString was = slotValuesBefore.value(key);
                QVERIFY2(stored == was || stored == throughQSettings(was),
                         qPrintable(QStringLiteral("%1 came back as '%2' (%3 characters), was "
                                                   "'%4' (%5 characters)")
                                        .arg(key, stored.left(40))
                                        .arg(stored.size())
                                        .arg(was.left(40))
                                        .arg(was.size())));
            }
        }

        // Every key the session did not write is still there as the program reads it,
        // unless QSettings alone loses it too (see above). QSettings rewrites the whole file
        // at each save, so raw bytes survive only where the original line is already in
        // the form QSettings writes: those lines must come back byte for byte. Other lines
        // (quotes, escapes, list spacing, a key given twice, a corrupt "@Variant" written
        // back as "@Invalid()") cannot keep their bytes; for them the value as the program
        // reads it is compared.
        for (auto it = before.values.cbegin(); it != before.values.cend(); ++it) {
            const QString &key = it.key();
            if (host().written.contains(key)) continue;
            ++m_untouchedKeys;
            const QString was = storeText(it.value());
            const QString now = storeText(after.values.value(key));
            const bool kept = after.values.contains(key) && now == was;
            if (!kept) {
                const bool formatLoses =
                    !once.values.contains(key) || storeText(once.values.value(key)) != was ||
                    !twice.values.contains(key) || storeText(twice.values.value(key)) != was;
                QVERIFY2(formatLoses,
                         qPrintable(QStringLiteral("key %1 %2")
                                        .arg(hostile::printable(key.toUtf8(), 60),
                                             after.values.contains(key)
                                                 ? QStringLiteral("changed from '%1' to '%2'")
                                                       .arg(was.left(60), now.left(60))
                                                 : QStringLiteral("disappeared"))));
                ++m_formatLosses;
                if (qEnvironmentVariableIsSet("TALVENDOK_FUZZ_VERBOSE"))
                    qInfo("format loses %s: '%s' -> '%s'",
                          qPrintable(hostile::printable(key.toUtf8(), 50)),
                          qPrintable(hostile::printable(was.toUtf8(), 40)),
                          qPrintable(hostile::printable(now.toUtf8(), 40)));
                continue;
            }
            if (!before.lines.contains(key)) continue;
            const QByteArray originalLine = before.lines.value(key);
            const QByteArray nowLine = after.lines.value(key);
            if (nowLine == originalLine) {
                ++m_bytesKept;
                continue;
            }
            ++m_reencoded;
            QVERIFY2(once.lines.value(key) != originalLine,
                     qPrintable(QStringLiteral("key %1: line '%2' became '%3'")
                                    .arg(key, hostile::printable(originalLine, 60),
                                         hostile::printable(nowLine, 60))));
        }
    }

  private slots:
    void initTestCase() {
        m_seed = envNumber("TALVENDOK_FUZZ_SEED", kDefaultSeed);
        m_cases = int(envNumber("TALVENDOK_FUZZ_CASES", kDefaultCases));
        m_first = int(envNumber("TALVENDOK_FUZZ_FIRST", 0));
        m_caseTimeout = int(envNumber("TALVENDOK_FUZZ_CASE_TIMEOUT", 120));
        m_dumpFolder = qEnvironmentVariable("TALVENDOK_FUZZ_DUMP");
        if (!m_dumpFolder.isEmpty()) QDir().mkpath(m_dumpFolder);
        m_marker = testenv::configHome() + QStringLiteral("/../shell-ran-it");
        m_marker = QDir::cleanPath(m_marker);
        m_environment.injectionMarker = m_marker;
        setHost(&m_host);
        g_previousHandler = qInstallMessageHandler(quietHandler);
        if (__asan_set_death_callback)
            __asan_set_death_callback(announceCurrentCase);
        else
            nameCaseOnFatalSignals();
        qInfo(
            "settings fuzz: seed %llu, cases %d to %d; one case again: "
            "TALVENDOK_FUZZ_SEED=%llu %s fuzz:case-<index>",
            static_cast<unsigned long long>(m_seed), m_first, m_first + m_cases - 1,
            static_cast<unsigned long long>(m_seed),
            qPrintable(QCoreApplication::applicationFilePath()));
    }

    void cleanupTestCase() {
        Forms::unloadAll();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        setHost(&testHost());
        qInfo(
            "settings fuzz: %d cases run (seed %llu); Apply passed in %d, a Membrane taken "
            "in %d, %d files with unreadable lines; %d untouched keys checked, %d byte for "
            "byte, %d rewritten by QSettings with the same value, %d lost by the INI format itself",
            m_run, static_cast<unsigned long long>(m_seed), m_applied, m_membranes, m_formatErrors,
            m_untouchedKeys, m_bytesKept, m_reencoded, m_formatLosses);
    }

    void init() {
        // A folder in the settings file's place would survive the store's reset.
        removeSettingsFolderLeftovers();
        host().freshStart();
        host().written.clear();
        QFile::remove(m_marker);
        seedProgramFolder();
    }

    // The generator is the replay: the same seed and index give the same file, and the
    // first few hundred cases reach every key with a hostile value.
    void generatorReplaysAndCoversEveryKey() {
        QSet<QString> hostileKeys;
        QSet<int> kinds;
        for (int index = 0; index < 300; ++index) {
            const hostile::Case c = hostile::makeCase(m_seed, index, m_environment);
            const hostile::Case again = hostile::makeCase(m_seed, index, m_environment);
            QCOMPARE(again.content, c.content);
            kinds.insert(c.kind);
            for (const QString &note : c.notes)
                for (const hostile::SchemaKey &key : hostile::schemaKeys())
                    if (note.startsWith(key.path() + QLatin1Char(':')))
                        hostileKeys.insert(key.path());
        }
        QCOMPARE(kinds.size(), 4);
        for (const hostile::SchemaKey &key : hostile::schemaKeys())
            QVERIFY2(hostileKeys.contains(key.path()), qPrintable(key.path()));
        QVERIFY(hostile::makeCase(m_seed, 1, m_environment).content !=
                hostile::makeCase(m_seed + 1, 1, m_environment).content);
    }

    // Files that once went wrong, kept as they were found.
    void knownCases_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("unreadable line in a section the bar never reads")
            << QByteArray("[Options]\nTitleBar=Mine\n[Extra]\nno equals sign here\n");
        QTest::newRow("caption longer than a text field holds")
            << QByteArray("[Buttons]\nButton1Caption=" + QByteArray(40000, 'c') + "\n");
        // Read cleanly, but QSettings writes the continued key back as "\=...", which it
        // then reads as a line without "=".
        QTest::newRow("key of a lone backslash continued onto the next line")
            << QByteArray("[Options]\r\nTitleBar=Mine\r\n\\\r\n=value without key\r\n");
    }

    void knownCases() {
        QFETCH(QByteArray, content);
        hostile::Case c;
        c.content = content;
        c.notes << QString::fromLatin1(QTest::currentDataTag());
        qstrncpy(g_currentCase, QTest::currentDataTag(), sizeof g_currentCase);
        m_watchdog.arm(m_caseTimeout, {});
        runCase(c, 0, false);
        m_watchdog.disarm();
    }

    void fuzz_data() {
        QTest::addColumn<int>("index");
        QList<int> indexes;
        for (int index = m_first; index < m_first + m_cases; ++index) indexes << index;
        // A case named on the command line ("fuzz:case-1447") runs whatever the range.
        static const QRegularExpression named(QStringLiteral("^fuzz:case-(\\d+)$"));
        for (const QString &argument : QCoreApplication::arguments()) {
            const QRegularExpressionMatch match = named.match(argument);
            const int index = match.hasMatch() ? match.captured(1).toInt() : -1;
            if (index >= 0 && !indexes.contains(index)) indexes << index;
        }
        for (int index : indexes)
            QTest::newRow(qPrintable(QStringLiteral("case-%1").arg(index, 4, 10, QLatin1Char('0'))))
                << index;
    }

    void fuzz() {
        QFETCH(int, index);
        const hostile::Case c = hostile::makeCase(m_seed, index, m_environment);
        const QString summary = c.summary();
        qstrncpy(g_currentCase,
                 qPrintable(QStringLiteral("%1 (replay: TALVENDOK_FUZZ_SEED=%2 fuzz:case-%3)")
                                .arg(summary.left(700))
                                .arg(m_seed)
                                .arg(index, 4, 10, QLatin1Char('0'))),
                 sizeof g_currentCase);
        QByteArray dumpPath;
        if (!m_dumpFolder.isEmpty()) {
            dumpPath = QFile::encodeName(QStringLiteral("%1/case-%2.conf")
                                             .arg(m_dumpFolder)
                                             .arg(index, 4, 10, QLatin1Char('0')));
            QFile dump(QFile::decodeName(dumpPath));
            if (dump.open(QIODevice::WriteOnly)) dump.write(c.content);
        }
        ++m_run;
        m_watchdog.arm(m_caseTimeout, dumpPath);
        QElapsedTimer clock;
        clock.start();
        runCase(c, index);
        if (qEnvironmentVariableIsSet("TALVENDOK_FUZZ_VERBOSE"))
            qInfo("%lld ms, %lld bytes, %s", clock.elapsed(), qint64(c.content.size()),
                  qPrintable(summary.left(200)));
        m_watchdog.disarm();
        if (!dumpPath.isEmpty()) {
            // The file as the session left it, next to the one it started from.
            QFile::remove(QFile::decodeName(dumpPath) + QStringLiteral(".after"));
            QFile::copy(host().settingsFile(),
                        QFile::decodeName(dumpPath) + QStringLiteral(".after"));
        }
        if (QTest::currentTestFailed()) qWarning("%s", qPrintable(summary));
    }

  private:
    void runCase(const hostile::Case &c, int index, bool editButtons = true) {
        placeCase(c);
        const Snapshot before = snapshot(host().settingsFile());

        Session s;
        s.editButtons = editButtons;
        s.storedPassword =
            host().getSetting(QStringLiteral("Options"), QStringLiteral("Password"), QString());
        QMap<QString, QString> slotValues;
        for (int slot = 1; slot <= 4; ++slot) {
            const QString number = QString::number(slot);
            slotValues.insert(QStringLiteral("Buttons/Button%1Caption").arg(number),
                              host().getSetting(QStringLiteral("Buttons"),
                                                QStringLiteral("Button%1Caption").arg(number),
                                                QStringLiteral("Undefined")));
            for (const char *part : {"EXE", "Icon"})
                slotValues.insert(
                    QStringLiteral("Buttons/Button%1%2").arg(number, QLatin1String(part)),
                    host().getSetting(QStringLiteral("Buttons"),
                                      QStringLiteral("Button%1%2").arg(number, QLatin1String(part)),
                                      QStringLiteral("UNDEFINED")));
        }

        // The session's own choices follow the case, so that a replay takes the same path.
        QRandomGenerator rng(quint32(m_seed ^ (m_seed >> 32)) ^ quint32(index * 2654435761u));

        Form1 *bar = Forms::get<Form1>();
        QVERIFY2(bar, "no bar");
        settle();
        QVERIFY2(bar->Visible(), "the bar did not come up");

        optionsSession(rng, s);
        if (QTest::currentTestFailed()) return;
        aboutAndMembraneSession(rng, s);
        if (QTest::currentTestFailed()) return;
        buttonsSession(rng, s);
        if (QTest::currentTestFailed()) return;
        barSession();
        if (QTest::currentTestFailed()) return;
        exitSession();
        if (QTest::currentTestFailed()) return;
        QVERIFY2(!QFileInfo::exists(m_marker), "a command line went through a shell");
        checkStore(c, before, s, slotValues);
    }
};

TALVENDOK_TEST_MAIN(SettingsFuzzTest)
#include "tst_settings_fuzz.moc"
