#include "core/settings_schema.h"

#include "core/host_services.h"
#include "core/settings_store.h"

namespace {

using K = SettingKind;
using S = Setting;

const QList<SettingKey> kTable = {
    {S::Button1Caption, "Buttons", "Button1Caption", kUnsetCaption, K::Text},
    {S::Button2Caption, "Buttons", "Button2Caption", kUnsetCaption, K::Text},
    {S::Button3Caption, "Buttons", "Button3Caption", kUnsetCaption, K::Text},
    {S::Button4Caption, "Buttons", "Button4Caption", kUnsetCaption, K::Text},
    {S::Button1EXE, "Buttons", "Button1EXE", kUnsetPath, K::Command},
    {S::Button2EXE, "Buttons", "Button2EXE", kUnsetPath, K::Command},
    {S::Button3EXE, "Buttons", "Button3EXE", kUnsetPath, K::Command},
    {S::Button4EXE, "Buttons", "Button4EXE", kUnsetPath, K::Command},
    {S::Button1Icon, "Buttons", "Button1Icon", kUnsetPath, K::Path},
    {S::Button2Icon, "Buttons", "Button2Icon", kUnsetPath, K::Path},
    {S::Button3Icon, "Buttons", "Button3Icon", kUnsetPath, K::Path},
    {S::Button4Icon, "Buttons", "Button4Icon", kUnsetPath, K::Path},
    {S::Membrane, "Startup", "Membrane", "form1.picture", K::Path},
    {S::Left, "Startup", "Left", "0", K::Number},
    {S::Top, "Startup", "Top", "0", K::Number},
    // Written as a marker for the utility panel; nothing here reads it.
    {S::Plugin, "Startup", "Plugin", "", K::Text},
    {S::TitleBar, "Options", "TitleBar", SettingsStore::kApplication, K::Text},
    {S::ButtonBackground, "Options", "ButtonBackground", "1", K::Flag},
    {S::LargeBevel, "Options", "LargeBevel", "1", K::Flag},
    {S::MinimizeOnRun, "Options", "MinimizeOnRun", "0", K::Flag},
    {S::Text3D, "Options", "3DText", "1", K::Flag},
    {S::TextShadow, "Options", "TextShadow", "1", K::Flag},
    {S::SaveWinPos, "Options", "SaveWinPos", "1", K::Flag},
    {S::ConfirmExit, "Options", "ConfirmExit", "0", K::Flag},
    {S::ThreeButtons, "Options", "3Button", "0", K::Flag},
    {S::DisplayTime, "Options", "DisplayTime", "1", K::Flag},
    {S::TextRed, "Options", "TextRed", "255", K::Channel},
    {S::TextGreen, "Options", "TextGreen", "255", K::Channel},
    {S::TextBlue, "Options", "TextBlue", "255", K::Channel},
    {S::Password, "Options", "Password", "", K::Text},
};

Setting slotKey(Setting first, int slot) {
    Q_ASSERT(slot >= 1 && slot <= 4);
    return Setting(int(first) + slot - 1);
}

}  // namespace

const SettingKey &settingKey(Setting id) {
    const SettingKey &key = kTable.at(int(id));
    Q_ASSERT(key.id == id);  // the table lists the keys in the enumeration's order
    return key;
}

const QList<SettingKey> &settingKeys() {
    return kTable;
}

Setting buttonCaption(int slot) {
    return slotKey(Setting::Button1Caption, slot);
}
Setting buttonProgram(int slot) {
    return slotKey(Setting::Button1EXE, slot);
}
Setting buttonIcon(int slot) {
    return slotKey(Setting::Button1Icon, slot);
}

QString getSetting(Setting id) {
    const SettingKey &key = settingKey(id);
    return host().getSetting(QLatin1String(key.section), QLatin1String(key.name),
                             QLatin1String(key.fallback));
}

bool saveSetting(Setting id, const QString &value) {
    const SettingKey &key = settingKey(id);
    return host().saveSetting(QLatin1String(key.section), QLatin1String(key.name), value);
}
