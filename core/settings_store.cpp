#include "core/settings_store.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QSettings>
#include <cmath>
#include <limits>

SettingsStore::SettingsStore()
    : m_settings(std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                             kApplication, kApplication)) {
    m_settings->setFallbacksEnabled(false);
}

SettingsStore::~SettingsStore() = default;

QString SettingsStore::fileName() const {
    return m_settings->fileName();
}

QString SettingsStore::get(const QString &section, const QString &key,
                           const QString &defaultValue) const {
    const QString path = section + QLatin1Char('/') + key;
    QVariant value = m_settings->value(path);
    if (!value.isValid()) return defaultValue;
    // A hand-edited file may turn a value into a list ("a, b"); keep it as the text it was.
    if (value.typeId() == QMetaType::QStringList) return value.toStringList().join(", ");
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

void SettingsStore::keepAsideIfUnreadable() {
    if (m_original.isNull()) return;
    if (m_settings->status() == QSettings::FormatError) {
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
    prepareFirstWrite();
    const QString file = fileName();
    const bool existed = QFileInfo::exists(file);
    if (!existed) QDir().mkpath(QFileInfo(file).absolutePath());
    m_settings->setValue(section + QLatin1Char('/') + key, value);
    m_settings->sync();
    keepAsideIfUnreadable();
    if (!existed && QFileInfo(file).isFile()) {
        QFile::setPermissions(file, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    }
    bool ok = m_settings->status() == QSettings::NoError;
    if (m_settings->status() == QSettings::FormatError) {
        // The status sticks at the read error and would hide a failed write: reopen the
        // file just written and look for the value there.
        m_settings = std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                                 kApplication, kApplication);
        m_settings->setFallbacksEnabled(false);
        ok = get(section, key, QString()) == value && m_settings->status() == QSettings::NoError;
    }
    return ok && QFileInfo(file).isFile();
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
