#pragma once

#include <QString>

// The program folder C:\TALVENDOK\ is created once, at the first start, from the read-only
// template that is installed with the program. What the user has is never touched: an
// existing program folder, even an empty one, is left exactly as it is.
namespace programfolder {

enum class Seeding {
    Created,       // the folder did not exist and now holds the template's files
    AlreadyThere,  // something of that name exists (in any letter case): nothing was done
    NoTemplate,    // no template with files to copy: nothing was done
    Failed,        // the copy could not be completed: nothing was left behind
};

// The template of the running binary: <bin>/../share/talvendok when installed, or
// share/talvendok next to the binary in the build folder. Empty when there is none.
QString installedTemplate();

// Copies the files of `templateFolder` into a new program folder. The copy is made in a
// staging folder next to it and renamed into place, so that a broken copy never passes
// for a complete program folder.
Seeding createFromTemplate(const QString &templateFolder);

// Start-up: creates the program folder from the installed template when it does not exist.
Seeding createAtFirstStart();

}  // namespace programfolder
