#include "core/settings_store.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QSaveFile>
#include <QSettings>
#include <QTemporaryFile>
#include <QThread>
#include <cmath>
#include <limits>
#include <utility>

namespace {

// A writer killed between creating the store's lock file and filling it in leaves it empty,
// and QSettings waits half a minute before it takes such a lock as stale, at every write
// (a start after a crash showed no window for that long). A live writer fills its lock file
// at once, so one still empty after a moment was left by a writer that is gone.
void clearDeadWritersLock(const QString &settingsFile) {
    const QString lock = settingsFile + QStringLiteral(".lock");
    constexpr qint64 kFillMs = 100;
    const QFileInfo info(lock);
    if (!info.isFile() || info.size() > 0) return;
    const qint64 age = info.lastModified().msecsTo(QDateTime::currentDateTime());
    if (age >= 0 && age < kFillMs) QThread::msleep(kFillMs - age);
    if (QFileInfo(lock).isFile() && QFileInfo(lock).size() == 0) QFile::remove(lock);
}

// Parses `file` afresh under a name of its own: QSettings keeps what it parsed by file name
// for the whole process and would not read its own output again. True when every line was
// readable; otherwise `rewritten` is the file as QSettings writes it from that parse, with
// `path` set to `value`: what the next start would make of it.
bool readsCleanly(const QString &file, const QString &path, const QString &value,
                  QByteArray *rewritten) {
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly)) return true;
    const QByteArray bytes = in.readAll();
    // Next to the file and private to the user like it: it holds the password.
    QTemporaryFile copy(file + QStringLiteral(".check-XXXXXX"));
    if (!copy.open() || copy.write(bytes) != bytes.size() || !copy.flush()) return true;
    copy.close();
    QSettings parsed(copy.fileName(), QSettings::IniFormat);
    parsed.allKeys();  // every section: QSettings parses them as they are first used
    if (parsed.status() == QSettings::NoError) return true;
    parsed.setValue(path, value);
    parsed.sync();
    QFile out(copy.fileName());
    if (!out.open(QIODevice::ReadOnly)) return true;
    *rewritten = out.readAll();
    return false;
}

}  // namespace

SettingsStore::SettingsStore() {
    reopen();
}

void SettingsStore::reopen() {
    // The old instance goes first, so that the new one reads a file changed on disk.
    m_settings.reset();
    m_settings = std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                             kApplication, kApplication);
    m_settings->setFallbacksEnabled(false);
}

SettingsStore::~SettingsStore() = default;

QString SettingsStore::fileName() const {
    return m_settings->fileName();
}

QString SettingsStore::get(const QString &section, const QString &key,
                           const QString &defaultValue) const {
    for (auto it = m_pending.crbegin(); it != m_pending.crend(); ++it)
        if (it->at(0) == section && it->at(1) == key) return it->at(2);
    const QString path = section + QLatin1Char('/') + key;
    QVariant value = m_settings->value(path);
    if (!value.isValid()) return defaultValue;
    // A comma outside quotes in a hand-written value makes it a list: give it back joined at
    // the same commas. QSettings has already dropped the blanks next to them.
    if (value.typeId() == QMetaType::QStringList || value.typeId() == QMetaType::QVariantList)
        return value.toStringList().join(QLatin1Char(','));
    return value.toString();
}

void SettingsStore::prepareFirstWrite() {
    if (m_prepared) return;
    m_prepared = true;
    // QSettings drops the lines it cannot parse when it writes, and finds some of them only
    // then: keep the file as it was until the first write has shown whether it was whole.
    QFile file(fileName());
    if (file.open(QIODevice::ReadOnly)) m_original = file.readAll();
}

void SettingsStore::finishFirstWrite(const QString &path, const QString &value) {
    if (m_original.isNull()) return;
    bool keepAside = m_settings->status() == QSettings::FormatError;
    // QSettings does not read back everything it writes (a key of a lone backslash continued
    // onto the next line comes out as "\=...", a line without "="): where its output has
    // unreadable lines, write the file again as the next start would read it, so that what
    // the user sees at that start is what this run left.
    QByteArray rewritten;
    for (int round = 0; round < 3 && !readsCleanly(fileName(), path, value, &rewritten); ++round) {
        keepAside = true;
        QSaveFile out(fileName());
        if (!out.open(QIODevice::WriteOnly) || out.write(rewritten) != rewritten.size() ||
            !out.commit())
            break;
        reopen();
    }
    if (keepAside) {
        const QString stem =
            fileName() + QStringLiteral(".unreadable-") +
            QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-hhmmss"));
        // Never over an earlier copy: a second one in the same second gets a number.
        for (int n = 1; n <= 100; ++n) {
            QFile aside(n == 1 ? stem : stem + QLatin1Char('-') + QString::number(n));
            if (!aside.open(QIODevice::WriteOnly | QIODevice::NewOnly)) continue;
            aside.write(m_original);
            aside.close();
            aside.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
            break;
        }
    }
    m_original = QByteArray();
}

bool SettingsStore::save(const QString &section, const QString &key, const QString &value) {
    if (m_held) {
        m_pending.append({section, key, value});
        return true;
    }
    const QString file = fileName();
    const bool existed = QFileInfo::exists(file);
    // A value stored already is not written again: the start-up saves one at every start,
    // and each write waits for the disk. Stored already in the file as it is now: with
    // nothing of ours pending, sync() only reads what another bar wrote since.
    if (existed && m_settings->status() == QSettings::NoError) {
        m_settings->sync();
        const QVariant stored = m_settings->value(section + QLatin1Char('/') + key);
        if (stored.typeId() == QMetaType::QString && stored.toString() == value) return true;
    }
    prepareFirstWrite();
    if (!existed) QDir().mkpath(QFileInfo(file).absolutePath());
    const QString path = section + QLatin1Char('/') + key;
    m_settings->setValue(path, value);
    clearDeadWritersLock(file);
    m_settings->sync();
    finishFirstWrite(path, value);
    if (!existed && QFileInfo(file).isFile()) {
        QFile::setPermissions(file, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    }
    bool ok = m_settings->status() == QSettings::NoError;
    if (m_settings->status() == QSettings::FormatError) {
        // The status sticks at the read error and would hide a failed write: reopen the
        // file just written and look for the value there.
        reopen();
        ok = get(section, key, QString()) == value && m_settings->status() == QSettings::NoError;
    }
    return ok && QFileInfo(file).isFile();
}

void SettingsStore::hold() {
    m_held = true;
}

void SettingsStore::release() {
    m_held = false;
    const QList<QStringList> pending = std::exchange(m_pending, {});
    for (const QStringList &save : pending) this->save(save[0], save[1], save[2]);
}

namespace stored {

bool toNumber(const QString &text, double *out) {
    const QString t = text.trimmed();
    if (t.isEmpty()) return false;
    bool ok = false;
    double v = QLocale::system().toDouble(t, &ok);
    if (!ok) v = QLocale::c().toDouble(t, &ok);
    if (!ok || !std::isfinite(v)) return false;
    *out = v;
    return true;
}

bool isSet(const QString &text) {
    double v = 0;
    return toNumber(text, &v) && v == 1.0;
}

bool toWhole(const QString &text, int *out) {
    double v = 0;
    if (!toNumber(text, &v)) return false;
    v = std::nearbyint(v);  // banker's rounding, as the original integer conversion
    if (v < std::numeric_limits<int>::min() || v > std::numeric_limits<int>::max()) return false;
    *out = static_cast<int>(v);
    return true;
}

bool toSingle(const QString &text, float *out) {
    double v = 0;
    if (!toNumber(text, &v)) return false;
    if (std::fabs(v) > std::numeric_limits<float>::max()) return false;
    *out = static_cast<float>(v);
    return true;
}

QString fromNumber(double value) {
    QLocale locale = QLocale::system();
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale.toString(value, 'g', 9);
}

}  // namespace stored
