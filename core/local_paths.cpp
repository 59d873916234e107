#include "core/local_paths.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace localpaths {

bool isDrivePath(const QString &path) {
    return path.size() >= 2 && path[0].isLetter() && path[0].unicode() < 128 &&
           path[1] == QLatin1Char(':');
}

QString driveRoot(QChar letter) {
    QString dataHome = qEnvironmentVariable("XDG_DATA_HOME");
    if (dataHome.isEmpty()) dataHome = QDir::homePath() + QStringLiteral("/.local/share");
    return dataHome + QStringLiteral("/TALVENDOK/drive_") + letter.toLower();
}

QString map(const QString &path) {
    if (!isDrivePath(path)) return path;
    QString result = driveRoot(path[0]);
    QString rest = path.mid(2);
    rest.replace(QLatin1Char('\\'), QLatin1Char('/'));
    const QStringList parts = rest.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    for (const QString &part : parts) {
        if (part == QLatin1String(".")) continue;
        QString next = result + QLatin1Char('/') + part;
        if (!QFileInfo::exists(next)) {
            // The original platform ignores letter case: find the entry as it is on disk.
            const QStringList entries = QDir(result).entryList(QDir::AllEntries | QDir::Hidden |
                                                               QDir::System | QDir::NoDotAndDotDot);
            for (const QString &entry : entries) {
                if (entry.compare(part, Qt::CaseInsensitive) == 0) {
                    next = result + QLatin1Char('/') + entry;
                    break;
                }
            }
        }
        result = next;
    }
    if (parts.isEmpty() || path.endsWith(QLatin1Char('\\')) || path.endsWith(QLatin1Char('/')))
        result += QLatin1Char('/');
    return result;
}

namespace {

bool isFile(const QString &path) {
    return QFileInfo(map(path)).isFile();
}

QStringList splitArguments(const QString &text) {
    QStringList args = QProcess::splitCommand(text);
    for (QString &arg : args) {
        if (isDrivePath(arg) && arg.size() > 2 && (arg[2] == QLatin1Char('\\'))) arg = map(arg);
    }
    return args;
}

}  // namespace

bool splitCommandLine(const QString &commandLine, Command *out) {
    const QString line = commandLine.trimmed();
    if (line.isEmpty()) return false;

    if (line.startsWith(QLatin1Char('"'))) {
        const int close = line.indexOf(QLatin1Char('"'), 1);
        const QString program = close < 0 ? line.mid(1) : line.mid(1, close - 1);
        out->program = map(program);
        if (!program.contains(QLatin1Char('/')) && !program.contains(QLatin1Char('\\'))) {
            const QString found = QStandardPaths::findExecutable(program);
            if (!found.isEmpty()) out->program = found;
        }
        out->arguments = close < 0 ? QStringList() : splitArguments(line.mid(close + 1));
        return !program.isEmpty();
    }

    // A path with blanks and no quotes, as a file chooser returns it: the longest prefix
    // ending before a blank that names a file is the program.
    if (line.contains(QLatin1Char('/')) || line.contains(QLatin1Char('\\')) || isDrivePath(line)) {
        for (int end = line.size(); end > 0; end = line.lastIndexOf(QLatin1Char(' '), end - 1)) {
            const QString candidate = line.left(end);
            if (isFile(candidate)) {
                out->program = map(candidate);
                out->arguments = splitArguments(line.mid(end));
                return true;
            }
            if (end == 0) break;
        }
    }

    const int blank = line.indexOf(QLatin1Char(' '));
    const QString first = blank < 0 ? line : line.left(blank);
    QString program = map(first);
    if (!first.contains(QLatin1Char('/')) && !first.contains(QLatin1Char('\\'))) {
        const QString found = QStandardPaths::findExecutable(first);
        if (!found.isEmpty()) program = found;
    }
    out->program = program;
    out->arguments = blank < 0 ? QStringList() : splitArguments(line.mid(blank + 1));
    return true;
}

}  // namespace localpaths
