#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// Seeded generator of hostile settings files: every key of the store with values a hand
// edit, a disk fault or a malicious peer could leave there, wrapped in broken INI syntax.
// The same (seed, index) pair always gives the same case, so any case can be replayed alone.
namespace hostile {

struct SchemaKey {
    const char *section;
    const char *key;
    QString path() const;  // "Section/Key", as QSettings names it
};

// Every key the system reads or writes.
const QList<SchemaKey> &schemaKeys();

struct Case {
    enum Kind {
        IniText,    // an INI-like text, mostly hostile
        ZeroBytes,  // an empty file
        Folder,     // a folder where the settings file should be
        Binary,     // random bytes
    };
    quint64 seed = 0;
    int index = 0;
    Kind kind = IniText;
    QByteArray content;  // the file's bytes (IniText, Binary)
    QStringList notes;   // what is hostile in it, one short line each
    QString summary(int maxNotes = 12) const;
};

struct Environment {
    // A command line interpreted by a shell would create this file.
    QString injectionMarker;
};

Case makeCase(quint64 seed, int index, const Environment &environment);

// Files of the program folder that hostile paths point at (not pictures, truncated
// pictures, a picture header claiming an enormous size, an empty file).
void writeHostileProgramFiles(const QString &programFolder);

// Value texts that look like command lines and would create `marker` if a shell ran them.
QStringList injectionCommandLines(const QString &marker);

// Printable form of a value for reports: control and non-ASCII bytes escaped, cut short.
QString printable(const QByteArray &bytes, int maxLength = 48);

}  // namespace hostile
