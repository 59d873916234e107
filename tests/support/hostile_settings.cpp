#include "tests/support/hostile_settings.h"

#include <sys/stat.h>

#include <QBuffer>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QtEndian>

#include "core/settings_schema.h"

namespace hostile {

namespace {

// splitmix64: the same stream on every platform and Qt version, unlike the standard
// library's distributions, so that a printed seed replays everywhere.
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
    int between(int low, int high) { return low + below(high - low + 1); }
    bool chance(double p) { return double(next() >> 11) * (1.0 / 9007199254740992.0) < p; }
    template <class T>
    const T &pick(const QList<T> &list) {
        return list.at(below(list.size()));
    }

  private:
    quint64 m_state;
};

using Category = SettingKind;
constexpr Category Flag = SettingKind::Flag, Channel = SettingKind::Channel,
                   Position = SettingKind::Number, Text = SettingKind::Text,
                   Path = SettingKind::Path, Command = SettingKind::Command;

struct KeyInfo {
    SchemaKey key;
    Category category;
};

const QList<KeyInfo> &keyInfos() {
    static const QList<KeyInfo> infos = [] {
        QList<KeyInfo> list;
        for (const SettingKey &key : settingKeys())
            list.append({{key.section, key.name}, key.kind});
        return list;
    }();
    return infos;
}

constexpr int kMegabyte = 1 << 20;

QByteArray randomPrintable(Rng &rng, int length) {
    static const QByteArray alphabet =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 .-_/:()!?+*~";
    QByteArray out;
    out.reserve(length);
    for (int i = 0; i < length; ++i) out.append(alphabet.at(rng.below(alphabet.size())));
    return out;
}

// Text a user could plausibly type, in any script, with the characters that trip up
// text handling: mnemonics, markup, direction overrides, surrogate pairs.
QByteArray oddText(Rng &rng) {
    static const QList<QByteArray> pieces = {
        "Mail",
        "&Edit",
        "&&",
        "&",
        "caf\xc3\xa9",
        "\xe6\xbc\xa2\xe5\xad\x97",
        "\xf0\x9f\x98\x80",
        "\xe2\x80\xae"
        "desrever",
        "\xe2\x80\x8b",
        "e\xcc\x81\xcc\x81\xcc\x81",
        "<b>bold</b>",
        "<img src=\"/dev/zero\">",
        "<img src=\"C:\\TALVENDOK\\Bomb.emb\">",
        "<font size=99999>x</font>",
        "%s%s%n%x",
        "{0}",
        "\\\\server\\share",
        "..",
        "     ",
    };
    QByteArray out;
    const int count = rng.between(1, 4);
    for (int i = 0; i < count; ++i) out += rng.pick(pieces);
    return out;
}

QByteArray validValue(Rng &rng, Category category) {
    switch (category) {
        case Flag:
            return rng.chance(0.5) ? "1" : "0";
        case Channel:
            return QByteArray::number(rng.chance(0.5) ? 5 * rng.below(52) : rng.below(256));
        case Position:
            return QByteArray::number(rng.below(20000));
        case Text:
            return rng.chance(0.7) ? randomPrintable(rng, rng.between(1, 24)) : oddText(rng);
        case Path:
            return rng.pick(QList<QByteArray>{"C:\\TALVENDOK\\DEFAULT.ICO",
                                              "c:\\TALVENDOK\\Aurora.emb",
                                              "C:\\talvendok\\ember.EMB", "UNDEFINED"});
        case Command:
            return rng.pick(QList<QByteArray>{"UNDEFINED", "C:\\TALVENDOK\\Missing Program.exe"});
    }
    return {};
}

// A QVariant as QSettings stores it after "@Variant(": a Qt 4 stream of a type id and its
// data, every byte escaped so that the INI reader hands the bytes over unchanged.
QByteArray variantLiteral(const QByteArray &stream) {
    QByteArray out = "@Variant(";
    for (char c : stream) out += "\\x" + QByteArray::number(uchar(c), 16).rightJustified(2, '0');
    return out + ")";
}

QByteArray be32(quint32 value) {
    QByteArray out(4, '\0');
    qToBigEndian(value, out.data());
    return out;
}

QByteArray typedValue(Rng &rng) {
    // Type ids of the Qt 4 stream format QSettings uses: 8 map, 9 list, 10 string,
    // 11 string list, 12 byte array, 65 pixmap, 69 image, 127 user type (by name).
    switch (rng.below(14)) {
        case 0:
            return variantLiteral(be32(11) + be32(0x7fffffff));
        case 1:
            return variantLiteral(be32(9) + be32(0xfffffff0) + be32(10));
        case 2:
            return variantLiteral(be32(8) + be32(0x7fffffff) + be32(0x10));
        case 3:
            return variantLiteral(be32(10) + be32(0x7ffffffe) + "ab");
        case 4:
            return variantLiteral(be32(12) + be32(0xfffffff0));
        case 5:
            return variantLiteral(be32(127) + be32(9) + QByteArray("QWidget*", 9));
        case 6:
            return variantLiteral(be32(69) + be32(0xffffffff) + randomPrintable(rng, 16));
        case 7:
            return variantLiteral(be32(65) + QByteArray("\x89PNG\r\n\x1a\n", 8) +
                                  randomPrintable(rng, 32));
        case 8: {
            QByteArray junk;
            for (int i = rng.between(0, 40); i > 0; --i) junk += char(rng.below(256));
            return variantLiteral(junk);
        }
        case 9:
            return rng.pick(QList<QByteArray>{"@Rect(1 2 3 4)", "@Size(-1 -1)", "@Point(a b)",
                                              "@Rect(99999999999 1 1 1)", "@Size(1e300 2)"});
        case 10:
            return rng.pick(QList<QByteArray>{"@ByteArray(\\0\\xff)", "@ByteArray(", "@Invalid()",
                                              "@Variant()", "@Variant("});
        case 11:
            return "@DateTime(" + QByteArray("\\0\\0\\0\\x10\\xff\\xff\\xff\\xff") + ")";
        case 12:
            return "@String(" + randomPrintable(rng, 8) + ")";
        default:
            return "@@" + randomPrintable(rng, 6);
    }
}

QByteArray hugeValue(Rng &rng) {
    switch (rng.below(5)) {
        case 0:
            return QByteArray(kMegabyte, 'A');
        case 1:
            return QByteArray(kMegabyte, '9');
        case 2:
            return "1." + QByteArray(kMegabyte, '0');
        case 3:
            return randomPrintable(rng, kMegabyte);
        default: {
            // Escapes that the INI reader expands: a megabyte of line breaks and tabs.
            QByteArray out;
            out.reserve(kMegabyte);
            while (out.size() < kMegabyte) out += rng.chance(0.5) ? "\\n" : "\\t";
            return out;
        }
    }
}

QByteArray controlValue(Rng &rng) {
    QByteArray out = randomPrintable(rng, rng.between(0, 6));
    const int count = rng.between(1, 5);
    for (int i = 0; i < count; ++i) {
        switch (rng.below(4)) {
            case 0:
                out += char(rng.between(1, 31));  // raw control byte (a raw CR ends the line)
                break;
            case 1:
                out += '\x7f';
                break;
            case 2:
                out += rng.pick(QList<QByteArray>{"\\n", "\\r", "\\t", "\\0", "\\a", "\\x7",
                                                  "\\x1b[2J", "\\x{0}"});
                break;
            default:
                out += QByteArray(1, '\0');  // a raw NUL byte in the file
                break;
        }
        out += randomPrintable(rng, rng.between(0, 4));
    }
    return out;
}

QByteArray invalidUtf8Value(Rng &rng) {
    static const QList<QByteArray> broken = {
        "\xff\xfe",         "\xc0\x80",    "\x80",         "\xe2\x82",  "\xed\xa0\x80",
        "\xf4\x90\x80\x80", "\xfe\xff",    "\xc3",         "\\x{d800}", "\\x{dfff}",
        "\\x{fffe}",        "\\x{10ffff}", "\xef\xbb\xbf",
    };
    QByteArray out;
    const int count = rng.between(1, 4);
    for (int i = 0; i < count; ++i) out += randomPrintable(rng, rng.below(4)) + rng.pick(broken);
    return out;
}

QByteArray iniSyntaxValue(Rng &rng) {
    static const QList<QByteArray> values = {
        "\"unterminated", "\"quoted\"",  "a,b,c", "a, b",     ",",
        ";comment",       "x;y",         "#x",    "=",        "a=b",
        "[Options]",      "\\",          "abc\\", "\"\"\"\"", "%41%42",
        "\" padded \"",   "\"a\",\"b\"", "\\\"",
    };
    return rng.pick(values);
}

QByteArray hostilePath(Rng &rng) {
    static const QList<QByteArray> paths = {
        "/dev/zero",
        "/dev/null",
        "/dev/urandom",
        "/proc/self/mem",
        "/",
        "C:\\",
        "C:\\TALVENDOK\\",
        "C:\\TALVENDOK\\Help.txt",
        "C:\\TALVENDOK\\Broken.emb",
        "C:\\TALVENDOK\\Bomb.emb",
        "C:\\TALVENDOK\\Bomb.ico",
        "C:\\TALVENDOK\\Truncated.emb",
        "C:\\TALVENDOK\\Empty.emb",
        "C:\\TALVENDOK\\Pipe.emb",
        "C:\\..\\..\\..\\..\\etc\\passwd",
        "Z:\\nowhere\\x.ico",
        "\\\\server\\share\\x.ico",
        "C:",
        ":",
        "C:\\TALVENDOK\\DEFAULT.ICO\\x",
        "~/x.ico",
        "file:///etc/passwd",
        "http://example.invalid/x.ico",
    };
    switch (rng.below(3)) {
        case 0:
            return "C:\\TALVENDOK\\" + QByteArray(300, 'n') + ".ico";  // name too long
        case 1: {
            QByteArray deep = "C:\\TALVENDOK";
            while (deep.size() < 5000) deep += "\\a";
            return deep;  // longer than any path the system takes
        }
        default:
            return rng.pick(paths);
    }
}

// Values of the wrong form, by family; the numbers cover every numeric reader's edges.
struct Family {
    const char *name;
    QList<QByteArray> values;
};

const QList<Family> &numericFamilies() {
    static const QList<Family> families = {
        {"out of range",
         {"2", "256", "99999", "65536", "32768", "2147483648", "-2147483649", "1e30", "1e39",
          "3.4028236e38", "1.7976931348623157e308", "1e400", "9223372036854775808", "4294967296"}},
        {"negative", {"-1", "-5", "-255", "-0", "-32768", "-2147483648", "-1e30", "-0.5"}},
        {"fractional",
         {"0.5", "1.0", "1.5", "0.9999999", "254.6", "2.5", "3.5", "1,5", "1e0", "0.1e1", ".5",
          "5.", "127.49999", "1.00000000000000000001"}},
        {"not a number", {"abc", "one", "NaN", "nan",   "inf",   "-inf",     "Infinity",     "0x10",
                          "1e",  "+",   "--1", " 1 ",   "1 2",   "\xd9\xa1", "\xef\xbc\x91", "true",
                          "yes", "on",  "#FF", "1_000", "1'000", "1.000,5",  "\xe2\x88\x9e"}},
        {"empty", {"", " ", "\t", "\"\""}},
    };
    return families;
}

QByteArray hostileValue(Rng &rng, Category category, bool hugeAllowed, const Environment &env,
                        QString *family) {
    // Weights: numbers matter most to numeric keys, paths to path keys, commands to commands.
    const bool numeric = category == Flag || category == Channel || category == Position;
    const int roll = rng.below(100);
    if (hugeAllowed && roll < 3) {
        *family = QStringLiteral("1 MB");
        return hugeValue(rng);
    }
    if (numeric ? roll < 60 : roll < 25) {
        const Family &f = rng.pick(numericFamilies());
        *family = QString::fromLatin1(f.name);
        return rng.pick(f.values);
    }
    if ((category == Path || category == Command) && roll < 55) {
        if (category == Command && !env.injectionMarker.isEmpty() && rng.chance(0.5)) {
            *family = QStringLiteral("shell syntax");
            return rng.pick(injectionCommandLines(env.injectionMarker)).toUtf8();
        }
        *family = QStringLiteral("hostile path");
        return hostilePath(rng);
    }
    switch (rng.below(6)) {
        case 0:
            *family = QStringLiteral("control characters");
            return controlValue(rng);
        case 1:
            *family = QStringLiteral("invalid UTF-8");
            return invalidUtf8Value(rng);
        case 2:
            *family = QStringLiteral("INI syntax");
            return iniSyntaxValue(rng);
        case 3:
            *family = QStringLiteral("typed value");
            return typedValue(rng);
        case 4:
            *family = QStringLiteral("odd text");
            return oddText(rng);
        default:
            *family = QStringLiteral("long");
            // Mostly a few hundred characters; now and then more than a text field's usual
            // 32767.
            return randomPrintable(
                rng, rng.chance(0.05) ? rng.between(32768, 70000) : rng.between(200, 2000));
    }
}

QByteArray junkLine(Rng &rng, bool hugeAllowed) {
    static const QList<QByteArray> lines = {
        "garbage without equals sign",
        "[Options",
        "[Buttons]]",
        "[]",
        "[[Startup]]",
        "=value without key",
        "==",
        ";a comment",
        "# a hash comment",
        "\\",
        "key\\",
        "[Options]x=1",
        "Options/TitleBar=Via a slash",
        "Buttons\\Button1Caption=via a backslash",
        "%General",
        "[%General]",
        "[General]",
        "\"quoted key\"=1",
        "\x01\x02\x03",
        QByteArray("\0\0\0", 3),
        "\xff\xfe\xfd",
        "   \t   ",
    };
    if (hugeAllowed && rng.chance(0.3))
        return rng.chance(0.5) ? QByteArray(kMegabyte, 'k') + "=1"
                               : "[" + QByteArray(kMegabyte, 's') + "]";
    return rng.pick(lines);
}

QByteArray keyVariant(Rng &rng, const QByteArray &key, QString *how) {
    switch (rng.below(4)) {
        case 0:
            *how = QStringLiteral("lower-case key");
            return key.toLower();
        case 1:
            *how = QStringLiteral("blanks around key");
            return "  " + key + " \t";
        case 2:
            *how = QStringLiteral("upper-case key");
            return key.toUpper();
        default:
            *how = QStringLiteral("escaped key");
            return "%" + QByteArray::number(uchar(key.at(0)), 16).toUpper() + key.mid(1);
    }
}

quint64 caseSeed(quint64 seed, int index) {
    Rng mixer(seed ^ (quint64(index) * 0xD1B54A32D192ED03ull));
    mixer.next();
    return mixer.next();
}

Case iniCase(Rng &rng, Case c, const Environment &env) {
    c.kind = Case::IniText;
    bool hugeLeft = rng.chance(0.07);
    // How hostile this file is: some cases are entirely valid, most a mix.
    const double hostility = rng.pick(QList<double>{0.0, 0.25, 0.5, 0.8, 1.0});
    c.notes << QStringLiteral("hostility %1").arg(hostility);

    QByteArray eol = "\n";
    const int eolRoll = rng.below(100);
    if (eolRoll < 12) {
        eol = "\r\n";
        c.notes << QStringLiteral("CRLF line ends");
    } else if (eolRoll < 16) {
        eol = "\r";
        c.notes << QStringLiteral("CR line ends");
    }

    QByteArray out;
    if (rng.chance(0.05)) {
        out += "\xef\xbb\xbf";
        c.notes << QStringLiteral("byte order mark");
    }

    auto junk = [&](double p) {
        if (!rng.chance(p * hostility)) return;
        const bool huge = hugeLeft && rng.chance(0.1);
        if (huge) hugeLeft = false;
        const QByteArray line = junkLine(rng, huge);
        c.notes << QStringLiteral("junk line: %1").arg(printable(line, 24));
        out += line + eol;
    };

    if (rng.chance(0.05 * hostility)) {
        out += "Loose=before any section" + eol;
        c.notes << QStringLiteral("key before any section");
    }

    QList<QByteArray> sections = {"Buttons", "Startup", "Options"};
    for (int i = sections.size() - 1; i > 0; --i) sections.swapItemsAt(i, rng.below(i + 1));
    if (rng.chance(0.1 * hostility)) {
        sections.insert(rng.below(sections.size() + 1), "Extra");
        c.notes << QStringLiteral("unknown section");
    }
    if (rng.chance(0.08 * hostility)) {
        sections.append(rng.pick(QList<QByteArray>{"Buttons", "Startup", "Options"}));
        c.notes << QStringLiteral("section %1 twice").arg(QString::fromLatin1(sections.last()));
    }

    QList<QByteArray> strayLines;  // keys put into the wrong section
    for (const QByteArray &section : sections) {
        junk(0.15);
        out += "[" + section + "]" + eol;
        QList<KeyInfo> keys;
        for (const KeyInfo &info : keyInfos())
            if (section == info.key.section && rng.chance(0.85)) keys.append(info);
        for (int i = keys.size() - 1; i > 0; --i) keys.swapItemsAt(i, rng.below(i + 1));
        if (section == "Extra" || rng.chance(0.1 * hostility)) {
            // Keys the system does not know stay the user's: they must survive every run.
            for (int i = rng.between(1, 3); i > 0; --i)
                out += "Unknown" + QByteArray::number(rng.below(1000)) + "=" +
                       randomPrintable(rng, rng.between(0, 20)) + eol;
        }
        for (const KeyInfo &info : keys) {
            junk(0.05);
            const QByteArray name = info.key.key;
            QByteArray value;
            if (rng.chance(hostility)) {
                QString family;
                const bool hugeNow = hugeLeft;
                value = hostileValue(rng, info.category, hugeLeft, env, &family);
                if (hugeNow && value.size() >= kMegabyte) hugeLeft = false;
                c.notes << QStringLiteral("%1: %2 '%3'")
                               .arg(info.key.path(), family, printable(value, 24));
            } else {
                value = validValue(rng, info.category);
            }
            QByteArray line = name + "=" + value;
            if (rng.chance(0.06 * hostility)) {
                QString how;
                line = keyVariant(rng, name, &how) + "=" + value;
                c.notes << QStringLiteral("%1: %2").arg(info.key.path(), how);
            }
            if (rng.chance(0.04 * hostility)) {
                strayLines.append(line);
                c.notes << QStringLiteral("%1: in another section").arg(info.key.path());
                continue;
            }
            out += line + eol;
            if (rng.chance(0.08 * hostility)) {
                QString family;
                const QByteArray second = hostileValue(rng, info.category, false, env, &family);
                out += name + "=" + second + eol;
                c.notes << QStringLiteral("%1: twice, then %2 '%3'")
                               .arg(info.key.path(), family, printable(second, 24));
            }
        }
    }
    if (!strayLines.isEmpty()) {
        out += "[Stray]" + eol;
        for (const QByteArray &line : strayLines) out += line + eol;
    }
    junk(0.2);
    if (rng.chance(0.1)) {
        out.chop(eol.size());
        c.notes << QStringLiteral("no line end at the end");
    }
    c.content = out;
    return c;
}

}  // namespace

QString SchemaKey::path() const {
    return QString::fromLatin1(section) + QLatin1Char('/') + QString::fromLatin1(key);
}

const QList<SchemaKey> &schemaKeys() {
    static const QList<SchemaKey> keys = [] {
        QList<SchemaKey> list;
        for (const KeyInfo &info : keyInfos()) list.append(info.key);
        return list;
    }();
    return keys;
}

QString Case::summary(int maxNotes) const {
    static const char *const kinds[] = {"INI text", "zero-byte file", "folder", "random bytes"};
    QString text = QStringLiteral("case %1 of seed %2: %3, %4 bytes")
                       .arg(index)
                       .arg(seed)
                       .arg(QString::fromLatin1(kinds[kind]))
                       .arg(content.size());
    for (int i = 0; i < notes.size() && i < maxNotes; ++i) text += QStringLiteral("; ") + notes[i];
    if (notes.size() > maxNotes)
        text += QStringLiteral("; ... %1 more").arg(notes.size() - maxNotes);
    return text;
}

Case makeCase(quint64 seed, int index, const Environment &environment) {
    Rng rng(caseSeed(seed, index));
    Case c;
    c.seed = seed;
    c.index = index;
    const int roll = rng.below(100);
    if (roll < 4) {
        c.kind = Case::ZeroBytes;
    } else if (roll < 8) {
        c.kind = Case::Folder;
    } else if (roll < 12) {
        c.kind = Case::Binary;
        const int size = rng.between(1, 65536);
        c.content.reserve(size);
        for (int i = 0; i < size; ++i) c.content += char(rng.below(256));
        // Some valid lines among the noise, so that the reader finds keys in it.
        if (rng.chance(0.5))
            c.content.insert(rng.below(c.content.size()),
                             "\n[Options]\nTitleBar=among noise\nTextRed=7\n");
    } else {
        c = iniCase(rng, c, environment);
    }
    return c;
}

void writeHostileProgramFiles(const QString &folder) {
    QDir().mkpath(folder);
    auto write = [&](const QString &name, const QByteArray &bytes) {
        QFile file(folder + QLatin1Char('/') + name);
        if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) file.write(bytes);
    };
    write(QStringLiteral("Broken.emb"), "this is not a picture\n");
    write(QStringLiteral("Empty.emb"), QByteArray());

    QImage image(64, 64, QImage::Format_RGB32);
    image.fill(Qt::darkGreen);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    write(QStringLiteral("Truncated.emb"), png.left(png.size() / 3));

    // A bitmap header that claims 50000 x 50000 pixels at 32 bits over a few bytes of data.
    QByteArray bmp;
    QDataStream bmpOut(&bmp, QIODevice::WriteOnly);
    bmpOut.setByteOrder(QDataStream::LittleEndian);
    bmpOut.writeRawData("BM", 2);
    bmpOut << quint32(70) << quint32(0) << quint32(54);
    bmpOut << quint32(40) << qint32(50000) << qint32(50000) << quint16(1) << quint16(32)
           << quint32(0) << quint32(0) << qint32(2835) << qint32(2835) << quint32(0) << quint32(0);
    bmp += QByteArray(16, '\x7f');
    write(QStringLiteral("Bomb.emb"), bmp);

    // An icon directory of 255 entries, all pointing beyond the end of the file.
    QByteArray ico;
    QDataStream icoOut(&ico, QIODevice::WriteOnly);
    icoOut.setByteOrder(QDataStream::LittleEndian);
    icoOut << quint16(0) << quint16(1) << quint16(255);
    for (int i = 0; i < 255; ++i)
        icoOut << quint8(0) << quint8(0) << quint8(0) << quint8(0) << quint16(1) << quint16(32)
               << quint32(0x7fffffff) << quint32(0x7ffffff0);
    write(QStringLiteral("Bomb.ico"), ico);

    // A named pipe: opening it for reading would wait for a writer for ever.
    const QByteArray pipe = QFile::encodeName(folder + QStringLiteral("/Pipe.emb"));
    ::mkfifo(pipe.constData(), 0600);
}

QStringList injectionCommandLines(const QString &marker) {
    const QString m = marker;
    return {
        QStringLiteral("talvendok-no-such-program; touch %1").arg(m),
        QStringLiteral("talvendok-no-such-program && touch %1").arg(m),
        QStringLiteral("talvendok-no-such-program || touch %1").arg(m),
        QStringLiteral("talvendok-no-such-program | touch %1").arg(m),
        QStringLiteral("$(touch %1)").arg(m),
        QStringLiteral("`touch %1`").arg(m),
        QStringLiteral("talvendok-no-such-program\\ntouch %1").arg(m),
        QStringLiteral("talvendok-no-such-program > %1").arg(m),
        QStringLiteral("\"talvendok-no-such-program\" & touch %1 &").arg(m),
    };
}

QString printable(const QByteArray &bytes, int maxLength) {
    QString out;
    for (int i = 0; i < bytes.size() && out.size() < maxLength; ++i) {
        const uchar c = uchar(bytes.at(i));
        if (c < 0x20 || c >= 0x7f || c == '\\')
            out += QStringLiteral("\\x%1").arg(c, 2, 16, QLatin1Char('0'));
        else
            out += QLatin1Char(char(c));
    }
    if (out.size() >= maxLength && bytes.size() > maxLength)
        out += QStringLiteral("...(%1 bytes)").arg(bytes.size());
    return out;
}

}  // namespace hostile
