#pragma once

#include <QByteArray>
#include <QString>

// Seeded generator of hostile settings files: every key of the store with values a hand
// edit, a disk fault or a malicious peer could leave there, wrapped in broken INI syntax.
// The same (seed, index) pair always gives the same case, so any case can be replayed alone.
namespace hostile {

QString keyPath(const char *section, const char *name);  // "Section/Key", as QSettings names it

struct Case {
    enum Kind { IniText, ZeroBytes, Folder, Binary };
    Kind kind = IniText;
    QByteArray content;  // the file's bytes (IniText, Binary)
};

// `marker` is the file that a command line run through a shell would create.
Case makeCase(quint64 seed, int index, const QString &marker);

// Files of the program folder (its Aurora.emb already there) that hostile paths point at:
// not pictures, a truncated one, a picture header claiming an enormous size, a named pipe.
void writeHostileProgramFiles(const QString &programFolder);

}  // namespace hostile
