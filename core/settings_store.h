#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <memory>

class QSettings;

// The per-user store of text values, addressed by section and key under the one
// application name. Reads never create a key; every save is on disk before it returns.
class SettingsStore {
  public:
    static constexpr const char *kApplication = "TALVENDOK";

    SettingsStore();
    ~SettingsStore();

    // A value written by hand comes back as QSettings parses it: an unquoted comma splits it
    // (given back joined with ","); blanks at its ends and next to such commas, the double
    // quotes and everything from an unquoted ";" are lost; backslash escapes are decoded and
    // an unknown one ("\,") is dropped with its character. Saved values come back whole.
    QString get(const QString &section, const QString &key, const QString &defaultValue) const;
    // False when the value did not reach the disk. A value the file holds already leaves
    // the file untouched.
    bool save(const QString &section, const QString &key, const QString &value);

    QString fileName() const;

    // From hold() until release(), saves are kept in memory, read back by get() and written
    // at release() in their order: the start-up's save need not wait for the disk before the
    // bar is on screen. A save that fails at release() goes unreported, as the start-up's do.
    void hold();
    void release();

  private:
    void reopen();
    void prepareFirstWrite();
    // Keeps the file as it was aside when QSettings could not carry every line of it.
    void finishFirstWrite(const QString &path, const QString &value);

    std::unique_ptr<QSettings> m_settings;
    bool m_prepared = false;
    QByteArray m_original;  // the file before the first write of the run
    bool m_held = false;
    QList<QStringList> m_pending;  // section, key, value of each held save
};

// Readers of stored text shared by every window.
namespace stored {

// A number in the user's locale, falling back to plain C notation; blanks around it are
// ignored. Returns false for text that is not a number.
bool toNumber(const QString &text, double *out);

// A flag is set when its text is numerically equal to 1.
bool isSet(const QString &text);

// Whole number (rounded like the original platform's integer conversion); false when
// the text is not a number or does not fit in an int.
bool toWhole(const QString &text, int *out);

// Single-precision number; false when the text is not a finite number.
bool toSingle(const QString &text, float *out);

// Decimal text of a number the way the user's locale writes it, without grouping.
QString fromNumber(double value);

}  // namespace stored
