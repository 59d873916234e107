#include "core/program_folder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "core/local_paths.h"

#ifdef Q_OS_LINUX
#include <fcntl.h>

#include <cerrno>
#include <cstdio>
#endif

#ifndef TALVENDOK_TEMPLATE_FROM_BIN
#define TALVENDOK_TEMPLATE_FROM_BIN "../share/talvendok"
#endif

namespace programfolder {

namespace {

// Moves the finished copy into place, failing when anything appeared there meanwhile (a
// second instance, or the user): a plain rename would silently replace an empty folder.
bool renameNoReplace(const QString &from, const QString &to) {
    const QByteArray source = QFile::encodeName(from);
    const QByteArray target = QFile::encodeName(to);
#ifdef Q_OS_LINUX
    if (::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE) ==
        0)
        return true;
    if (errno != EINVAL && errno != ENOSYS) return false;
#endif
    // Without an atomic test the window is the few instructions between these two lines.
    const QFileInfo existing(to);
    if (existing.exists() || existing.isSymLink()) return false;
    return std::rename(source.constData(), target.constData()) == 0;
}

}  // namespace

QString installedTemplate() {
    const QString bin = QCoreApplication::applicationDirPath();
    const QString candidates[] = {bin + QStringLiteral("/" TALVENDOK_TEMPLATE_FROM_BIN),
                                  bin + QStringLiteral("/share/talvendok")};
    for (const QString &candidate : candidates) {
        if (QFileInfo(candidate).isDir()) return QDir::cleanPath(candidate);
    }
    return {};
}

Seeding createFromTemplate(const QString &templateFolder) {
    // Letter case does not count: a drive_c/talvendok made by hand is the program folder.
    const QString target = localpaths::map(QStringLiteral("C:\\TALVENDOK"));
    const QFileInfo targetInfo(target);
    if (targetInfo.exists() || targetInfo.isSymLink()) return Seeding::AlreadyThere;

    if (templateFolder.isEmpty()) return Seeding::NoTemplate;
    const QFileInfoList files =
        QDir(templateFolder).entryInfoList(QDir::Files | QDir::NoDotAndDotDot, QDir::Name);
    if (files.isEmpty()) return Seeding::NoTemplate;

    const QString parent = targetInfo.absolutePath();
    if (!QDir().mkpath(parent)) return Seeding::Failed;
    // Removed with whatever it holds unless the rename below succeeds.
    QTemporaryDir staging(parent + QStringLiteral("/.TALVENDOK-XXXXXX"));
    if (!staging.isValid()) return Seeding::Failed;

    const auto fileMode = QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                          QFileDevice::ReadGroup | QFileDevice::ReadOther;
    for (const QFileInfo &file : files) {
        const QString copy = staging.filePath(file.fileName());
        // The template is read-only; the user's copies are theirs to change.
        if (!QFile::copy(file.filePath(), copy) || !QFile::setPermissions(copy, fileMode))
            return Seeding::Failed;
    }
    const auto folderMode =
        fileMode | QFileDevice::ExeOwner | QFileDevice::ExeGroup | QFileDevice::ExeOther;
    if (!QFile::setPermissions(staging.path(), folderMode)) return Seeding::Failed;
    if (!renameNoReplace(staging.path(), target)) return Seeding::Failed;
    staging.setAutoRemove(false);
    return Seeding::Created;
}

Seeding createAtFirstStart() {
    return createFromTemplate(installedTemplate());
}

}  // namespace programfolder
