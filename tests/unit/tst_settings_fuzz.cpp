// Known and generated hostile settings files against a session of the program: start the
// bar, apply the options, launch every slot, exit through the close panel. Nothing may
// crash, run a shell or write a key it has no business with, and every key the session
// does not write comes out of it as it went in, unless the INI format itself loses it.
//
// TALVENDOK_FUZZ_SEED, TALVENDOK_FUZZ_FIRST and TALVENDOK_FUZZ_CASES (default 30) choose
// the generated cases; bench/soak/fuzz_long.sh runs long searches.
#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QSet>
#include <QSettings>
#include <QTest>

#include "bar/bar_window.h"
#include "bar/exit_confirm_window.h"
#include "bar/placeholder_window.h"
#include "config/menu_window.h"
#include "config/options_window.h"
#include "config/password_access_window.h"
#include "core/settings_schema.h"
#include "core/window_registry.h"
#include "tests/support/test_host.h"

// A stored "@Variant(...)" may claim gigabytes; the sanitizer's allocator must refuse such a
// request the way the system's does, which Qt copes with, instead of ending the process.
extern "C" const char *__asan_default_options() {
    return "allocator_may_return_null=1";
}

// Seeded generator of hostile settings files: every key of the store with values a hand
// edit, a disk fault or a malicious peer could leave there, wrapped in broken INI syntax.
// The same (seed, index) pair always gives the same case, so any case can be replayed alone.
namespace hostile {

struct Case {
    enum Kind { IniText, ZeroBytes, Folder, Binary };
    Kind kind = IniText;
    QByteArray content;  // the file's bytes (IniText, Binary)
};

namespace {

// splitmix64: the same stream on every platform and Qt version, so a seed replays anywhere.
class Rng {
  public:
    explicit Rng(quint64 seed) : m_state(seed) {}
    quint64 next() {
        quint64 z = (m_state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    int below(int n) { return n <= 1 ? 0 : int(next() % quint64(n)); }
    bool chance(int percent) { return below(100) < percent; }
    QByteArray pick(const QList<QByteArray> &list) { return list.at(below(list.size())); }

  private:
    quint64 m_state;
};

// clang-format off
const QList<QByteArray> kNumbers = {
    "2", "256", "-1", "-0", "0.5", "1.0", "2.5", "1,5", ".5", "1e30", "1e400", "-1e30",
    "2147483648", "9223372036854775808", "NaN", "inf", "abc", "0x10", " 1 ", "1 2",
    "\xd9\xa1", "\xef\xbc\x91", "true", "", " ", "\"\""};
const QList<QByteArray> kPaths = {
    "/dev/zero", "/dev/urandom", "/proc/self/mem", "/", "C:\\", "C:\\TALVENDOK\\",
    "C:\\TALVENDOK\\Broken.emb", "C:\\TALVENDOK\\Bomb.emb", "C:\\TALVENDOK\\Truncated.emb",
    "C:\\TALVENDOK\\Empty.emb", "C:\\TALVENDOK\\Pipe.emb", "C:\\..\\..\\..\\etc\\passwd",
    "Z:\\nowhere\\x.ico", "\\\\server\\share\\x.ico", "C:", "~/x.ico", "file:///etc/passwd",
    "C:\\TALVENDOK\\" + QByteArray(300, 'n') + ".ico"};
// Control bytes, broken UTF-8, INI syntax, typed QSettings values, markup, odd text.
const QList<QByteArray> kTexts = {
    "a\x01\x1b[2Jb", QByteArray("a\0b", 3), "\\n\\r\\t\\0\\x7", "\xff\xfe", "\xc0\x80",
    "\xed\xa0\x80", "\xef\xbb\xbf", "\\x{d800}", "\"unterminated", "a, b", ";comment", "=",
    "[Options]", "abc\\", "%41%42", "@Variant(\\0\\0\\0\\v\\x7f\\xff\\xff\\xff)",
    "@Variant(\\0\\0\\0\\t\\xff\\xff\\xff\\xf0\\0\\0\\0\\n)", "@ByteArray(", "@Invalid()",
    "@Rect(99999999999 1 1 1)", "@Variant(", "@@x", "<b>bold</b>", "<img src=\"/dev/zero\">",
    "&&&", "%s%n", "\xe2\x80\xae" "desrever", "e\xcc\x81\xcc\x81", QByteArray(40000, 'c'),
    "\\n\\t\\n\\t\\n"};
const QList<QByteArray> kJunkLines = {
    "garbage without equals sign", "[Options", "[]", "=value without key", "\\",
    "Options/TitleBar=Via a slash", "%General", "[General]", "\"quoted key\"=1",
    QByteArray("\0\0\0", 3), "\xff\xfe\xfd", "   \t   "};
// Command lines that would create the marker if a shell ran them.
const QList<QByteArray> kShellForms = {
    "talvendok-no-such-program; touch %1", "$(touch %1)", "`touch %1`",
    "talvendok-no-such-program && touch %1", "talvendok-no-such-program | touch %1",
    "talvendok-no-such-program > %1"};
// clang-format on

QByteArray hostileValue(Rng &rng, SettingKind kind, const QString &marker) {
    const int roll = rng.below(100);
    const bool number =
        kind != SettingKind::Text && kind != SettingKind::Path && kind != SettingKind::Command;
    const bool path = kind == SettingKind::Path || kind == SettingKind::Command;
    if (roll < 2) return QByteArray(1 << 20, '9');
    if (roll < (number ? 60 : 20)) return rng.pick(kNumbers);
    if (kind == SettingKind::Command && roll < 60)
        return rng.pick(kShellForms).replace("%1", QFile::encodeName(marker));
    return rng.pick(path && roll < 70 ? kPaths : kTexts);
}

QByteArray iniText(Rng &rng, const QString &marker) {
    const int hostility = rng.pick({"0", "25", "50", "80", "100"}).toInt();
    const QByteArray eol = rng.chance(12) ? "\r\n" : rng.chance(4) ? "\r" : "\n";
    QByteArray out = rng.chance(5) ? "\xef\xbb\xbf" : "";
    QList<QByteArray> sections = {"Buttons", "Startup", "Options"};
    if (rng.chance(hostility / 10)) sections.insert(rng.below(3), "Extra");
    if (rng.chance(hostility / 12)) sections.append(rng.pick({"Buttons", "Options"}));
    for (const QByteArray &section : sections) {
        if (rng.chance(hostility / 6)) out += rng.pick(kJunkLines) + eol;
        out += "[" + section + "]" + eol;
        // Keys the system does not know stay the user's.
        if (section == "Extra" || rng.chance(hostility / 10))
            out += "Unknown" + QByteArray::number(rng.below(1000)) + "=kept" + eol;
        for (const SettingKey &key : settingKeys()) {
            if (section != key.section || rng.chance(15)) continue;
            QByteArray value = rng.pick({"1", "0", "UNDEFINED", "C:\\TALVENDOK\\DEFAULT.ICO", "x"});
            if (rng.chance(hostility)) value = hostileValue(rng, key.kind, marker);
            QByteArray name = key.name;
            if (rng.chance(hostility / 15))
                name = rng.chance(50) ? name.toLower() : " " + name + "\t";
            out += name + "=" + value + eol;
            if (rng.chance(hostility / 12)) out += name + "=" + rng.pick(kNumbers) + eol;
        }
    }
    if (rng.chance(10)) out.chop(eol.size());
    return out;
}

}  // namespace

QString keyPath(const char *section, const char *name) {
    return QString::fromLatin1(section) + QLatin1Char('/') + QString::fromLatin1(name);
}

Case makeCase(quint64 seed, int index, const QString &marker) {
    Rng rng(seed ^ (quint64(index) * 0xD1B54A32D192ED03ull));
    rng.next();
    const int roll = rng.below(100);
    if (roll >= 12) return {Case::IniText, iniText(rng, marker)};
    Case c;
    c.kind = roll < 4 ? Case::ZeroBytes : roll < 8 ? Case::Folder : Case::Binary;
    if (c.kind != Case::Binary) return c;
    for (int i = rng.below(65536) + 1; i > 0; --i) c.content += char(rng.below(256));
    if (rng.chance(50)) c.content.insert(rng.below(c.content.size()), "\n[Options]\nTextRed=7\n");
    return c;
}

void writeHostileProgramFiles(const QString &folder) {
    const auto write = [&](const char *name, const QByteArray &bytes) {
        testenv::writeFile(folder + QLatin1Char('/') + QLatin1String(name), bytes);
    };
    write("Broken.emb", "this is not a picture\n");
    write("Empty.emb", QByteArray());
    const QByteArray picture = testenv::readFile(folder + QStringLiteral("/Aurora.emb"));
    write("Truncated.emb", picture.left(picture.size() / 3));
    // A bitmap header that claims 50000 x 50000 pixels at 32 bits over a few bytes.
    QByteArray bmp("BM");
    for (quint32 v : {70u, 0u, 54u, 40u, 50000u, 50000u, 0x200001u, 0u, 0u, 0u, 0u, 0u, 0u})
        for (int i = 0; i < 4; ++i) bmp.append(char((v >> (8 * i)) & 0xff));
    write("Bomb.emb", bmp + QByteArray(16, '\x7f'));
    // A named pipe: opening it for reading would wait for a writer for ever.
    ::mkfifo(QFile::encodeName(folder + QStringLiteral("/Pipe.emb")).constData(), 0600);
}

}  // namespace hostile

namespace {

// The values of a settings file as QSettings reads it, from a copy under a name of its own
// (QSettings shares parsed files by name within a process), after `saves` if any.
QMap<QString, QString> readCopy(const QByteArray &bytes, const QMap<QString, QString> &saves = {},
                                QByteArray *rewritten = nullptr,
                                QSettings::Status *status = nullptr) {
    static int count = 0;
    const QString copy = testenv::dataHome() + QStringLiteral("/../copy-%1.conf").arg(++count);
    testenv::writeFile(copy, bytes);
    QMap<QString, QString> values;
    {  // closed before the file is read back
        QSettings settings(copy, QSettings::IniFormat);
        if (status) *status = settings.status();
        // Read in the order the bar's start-up reads: a key given twice is won by the
        // section QSettings parses last.
        for (const SettingKey &key : settingKeys())
            settings.value(hostile::keyPath(key.section, key.name));
        for (auto it = saves.cbegin(); it != saves.cend(); ++it)
            settings.setValue(it.key(), it.value());
        for (const QString &key : settings.allKeys()) {
            const QVariant value = settings.value(key);
            // The store joins a split value back at its commas.
            const bool list = value.typeId() == QMetaType::QStringList ||
                              value.typeId() == QMetaType::QVariantList;
            values.insert(key,
                          list ? value.toStringList().join(QLatin1Char(',')) : value.toString());
        }
    }
    if (rewritten) *rewritten = testenv::readFile(copy);
    QFile::remove(copy);
    return values;
}

}  // namespace

class SettingsFuzzTest : public QObject {
    Q_OBJECT

    TestHost &m_host = testHost();
    QString m_marker;

    void runCase(const hostile::Case &c, quint64 choices);

  private slots:
    void initTestCase() { m_marker = testenv::dataHome() + QStringLiteral("/../shell-ran-it"); }

    void init() {
        // The settings folder goes with what a case left there: copies aside, a folder.
        QDir(QFileInfo(m_host.settingsFile()).absolutePath()).removeRecursively();
        m_host.freshStart();
        QFile::remove(m_marker);
        const QString folder = testenv::programFolder();
        for (const char *name : {"Aurora.emb", "Ember.emb", "DEFAULT.ICO"})
            QFile::copy(QStringLiteral(TALVENDOK_SOURCE_DIR "/resources/program_folder/") + name,
                        folder + QLatin1Char('/') + name);
        hostile::writeHostileProgramFiles(folder);
    }

    // Files that once went wrong, kept as they were found, then the generated cases.
    // clang-format off
    void fuzz_data() {
        QTest::addColumn<int>("index");  // -1: a known case
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("unreadable line in a section the bar never reads")
            << -1 << QByteArray("[Options]\nTitleBar=Mine\n[Extra]\nno equals sign here\n");
        QTest::newRow("caption longer than a text field holds")
            << -1 << QByteArray("[Buttons]\nButton1Caption=" + QByteArray(40000, 'c') + "\n");
        // Read cleanly, but QSettings writes the continued key back as "\=...", which it
        // then reads as a line without "=".
        QTest::newRow("key of a lone backslash continued onto the next line")
            << -1 << QByteArray("[Options]\r\nTitleBar=Mine\r\n\\\r\n=value without key\r\n");
        const int first = qEnvironmentVariableIntValue("TALVENDOK_FUZZ_FIRST");
        bool ok = false;
        int cases = qEnvironmentVariableIntValue("TALVENDOK_FUZZ_CASES", &ok);
        for (int index = first; index < first + (ok ? cases : 30); ++index)
            QTest::newRow(qPrintable(QStringLiteral("case-%1").arg(index))) << index << QByteArray();
    }
    // clang-format on

    void fuzz() {
        QFETCH(int, index);
        QFETCH(QByteArray, content);
        const quint64 seed = qEnvironmentVariable("TALVENDOK_FUZZ_SEED", "7").toULongLong();
        hostile::Case c = hostile::makeCase(seed, index, m_marker);
        if (index < 0) c = {hostile::Case::IniText, content};
        runCase(c, seed ^ quint64(index));
        if (QTest::currentTestFailed())
            qWarning(
                "replay: TALVENDOK_FUZZ_SEED=%llu TALVENDOK_FUZZ_FIRST=%d TALVENDOK_FUZZ_CASES=1",
                seed, index);
    }
};

void SettingsFuzzTest::runCase(const hostile::Case &c, quint64 choices) {
    const QString file = m_host.settingsFile();
    if (c.kind == hostile::Case::Folder) {
        QFile::remove(file);  // what the last case's store wrote as it was dropped
        QDir().mkpath(file);
        QVERIFY(testenv::writeFile(file + QStringLiteral("/keep.txt"), "kept"));
        m_host.reopenSettings();
    } else {
        m_host.writeSettingsFile(c.content);
    }
    QSettings::Status status = QSettings::NoError;
    const QMap<QString, QString> before = readCopy(c.content, {}, nullptr, &status);
    const QString password = m_host.getSetting("Options", "Password", QString());
    m_host.recording = true;
    QRandomGenerator rng(quint32(choices ^ (choices >> 32)));
    const auto pick = [&rng](int n) { return int(rng.bounded(n)); };

    // Options through the menu, with the right password in most cases.
    Form1 *bar = Forms::get<Form1>();
    QVERIFY2(bar && bar->Visible(), "the bar did not come up");
    bar->SSPanel2_Click();
    Forms::get<Form9>()->SSCommand1_Click();
    if (Form13 *access = Forms::find<Form13>()) {
        access->Text1->setText(password);
        access->Command1_Click();
    }
    Form7 *options = Forms::find<Form7>();
    QVERIFY2(options && options->Visible(), "the options did not open");
    for (CheckBox *box : options->findChildren<CheckBox *>())
        if (pick(4) == 0) box->setValue(1 - box->Value());
    for (int step = pick(40); step > 0; --step) options->Timer4_Timer();
    options->Text3->setText(pick(4) ? password : QStringLiteral("not it"));
    options->Text4->setText(pick(2) ? QStringLiteral("n\u00e9w, \"pass\"; =word") : QString());
    const bool applies = options->Text3->Text() == password;
    options->SSCommand1_Click();
    QCOMPARE(!Forms::find<Form7>(), applies);
    if (!applies) Forms::find<Form7>()->SSCommand2_Click();

    // Every slot launched; "MinimizeOnRun" may put the bar away each time.
    for (int slot = 1; slot <= 4; ++slot) {
        bar->launchButton(slot)->click();
        if (Form10 *away = Forms::find<Form10>()) away->Form_GotFocus();
    }
    QVERIFY(bar->Visible());

    const int ends = m_host.programEnds;
    bar->SSPanel1_Click();
    if (Form11 *question = Forms::find<Form11>()) question->SSCommand1_Click();
    QCOMPARE(m_host.programEnds, ends + 1);
    Forms::unloadAll();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    QVERIFY2(!QFile::exists(m_marker), "a command line went through a shell");
    if (c.kind == hostile::Case::Folder) {
        QVERIFY2(QFile::exists(file + QStringLiteral("/keep.txt")),
                 "the folder in the settings file's place is gone");
        return;
    }
    // The exit saves the place and every slot; Apply may save the options; nothing else.
    QSet<QString> saved;
    for (const QString &call : m_host.calls)
        if (call.startsWith("save ")) saved.insert(call.mid(5).section('=', 0, 0));
    QSet<QString> allowed = {"Options/SaveWinPos"};
    for (const SettingKey &key : settingKeys()) {
        const QString path = hostile::keyPath(key.section, key.name);
        if (qstrcmp(key.section, "Buttons") == 0 || path == "Startup/Top" ||
            path == "Startup/Left") {
            QVERIFY2(saved.contains(path), qPrintable("the exit left out " + path));
            allowed << path;
        }
        if (applies && qstrcmp(key.section, "Options") == 0) allowed << path;
    }
    QVERIFY2((saved - allowed).isEmpty(),
             qPrintable("unexpected saves " + QStringList((saved - allowed).values()).join(", ")));

    // A file QSettings could not fully read is kept aside, unchanged.
    const QByteArray afterBytes = m_host.settingsFileContent();
    if (status == QSettings::FormatError) {
        const QFileInfo info(file);
        const QStringList asides = info.dir().entryList({info.fileName() + ".unreadable-*"});
        QCOMPARE(asides.size(), 1);
        QCOMPARE(testenv::readFile(info.dir().filePath(asides.first())), c.content);
    }

    // What QSettings alone makes of the file with the same saves, twice over (the store
    // reads its own output again after a file with unreadable lines): its losses are the
    // INI format's, not the program's.
    const QMap<QString, QString> now = readCopy(afterBytes);
    QMap<QString, QString> saves;
    for (const QString &key : saved) saves.insert(key, now.value(key));
    QByteArray once;
    const QMap<QString, QString> onceValues = readCopy(c.content, saves, &once);
    const QMap<QString, QString> twiceValues = readCopy(once, saves);
    for (auto it = before.cbegin(); it != before.cend(); ++it) {
        if (saved.contains(it.key()) || now.value(it.key()) == it.value()) continue;
        const bool formatLoses =
            onceValues.value(it.key()) != it.value() || twiceValues.value(it.key()) != it.value();
        QVERIFY2(formatLoses, qPrintable(QStringLiteral("key %1 changed from '%2' to '%3'")
                                             .arg(it.key(), it.value().left(60),
                                                  now.value(it.key(), "<gone>").left(60))));
    }
}

TALVENDOK_TEST_MAIN(SettingsFuzzTest)
#include "tst_settings_fuzz.moc"
