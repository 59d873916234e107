#include "tests/support/hostile_settings.h"

#include <sys/stat.h>

#include <QFile>

#include "core/settings_schema.h"
#include "tests/support/test_host.h"

namespace hostile {

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
