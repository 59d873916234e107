#pragma once

#include <QList>
#include <QString>

// Every key of the settings store: its section, its name, the default its readers pass
// and the kind of text it holds. Readers and writers name keys only through this table.
// clang-format off
enum class Setting {
    Button1Caption, Button2Caption, Button3Caption, Button4Caption,
    Button1EXE, Button2EXE, Button3EXE, Button4EXE,
    Button1Icon, Button2Icon, Button3Icon, Button4Icon,
    Membrane, Left, Top, Plugin,
    TitleBar, ButtonBackground, LargeBevel, MinimizeOnRun, Text3D, TextShadow, SaveWinPos,
    ConfirmExit, ThreeButtons, DisplayTime, TextRed, TextGreen, TextBlue, Password,
};
// clang-format on

enum class SettingKind {
    Text,     // any text
    Flag,     // "1" or "0"; set when numerically 1
    Number,   // decimal text of a position in twips
    Channel,  // a colour component, 0 to 255
    Path,     // a file path, drive-letter or not
    Command,  // a command line, as a program path
};

struct SettingKey {
    Setting id;
    const char *section;
    const char *name;
    const char *fallback;  // what a reader gets when the key was never written
    SettingKind kind;
};

// What an unset program or icon path holds, and an unset caption.
inline constexpr char kUnsetPath[] = "UNDEFINED";
inline constexpr char kUnsetCaption[] = "Undefined";

const SettingKey &settingKey(Setting id);
// The whole table, in the order the start-up reads it.
const QList<SettingKey> &settingKeys();

// Slot 1 to 4's caption, program path and icon path.
Setting buttonCaption(int slot);
Setting buttonProgram(int slot);
Setting buttonIcon(int slot);

// The store through the host services, with the table's section, name and default.
QString getSetting(Setting id);
bool saveSetting(Setting id, const QString &value);
