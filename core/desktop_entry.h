#pragma once

#include <QString>

// Desktop entries (*.desktop) as slot programs, read and started through GIO's
// GDesktopAppInfo. GIO is touched only when a slot names an entry, never at start-up
// otherwise.
namespace desktopentry {

// The entry file a program path names (quotes around it dropped), or an empty string when
// the path is no desktop entry. Such a path is only ever read, never run as a program.
QString entryFile(const QString &programPath);

// A usable application entry (Type=Application, not hidden, its TryExec found): its
// localized Name and its Icon (a path or an icon theme name). False for anything else.
bool read(const QString &file, QString *name, QString *icon);

// Starts the entry's application as the desktop does, detached, in a session of its own
// and without our output; false when it cannot start.
bool launch(const QString &file);

}  // namespace desktopentry
