#pragma once

#include <QString>
#include <QStringList>

// Drive-letter paths ("C:\TALVENDOK\Help.txt") name files below
// $XDG_DATA_HOME/TALVENDOK/drive_<letter>/, matched without regard to letter case.
namespace localpaths {

bool isDrivePath(const QString &path);
// The folder that stands for drive letter `letter` (lower case).
QString driveRoot(QChar letter);
// Maps a drive-letter path; any other path comes back unchanged.
QString map(const QString &path);

struct Command {
    QString program;  // resolved executable path (or the bare name when not found)
    QStringList arguments;
};

// Splits a command line the way a user expects, without a shell: a quoted program, a full
// path that contains blanks (the longest prefix naming a file wins), a drive-letter path,
// or a bare name looked up on PATH; the rest are arguments. False for an empty line.
bool splitCommandLine(const QString &commandLine, Command *out);

}  // namespace localpaths
