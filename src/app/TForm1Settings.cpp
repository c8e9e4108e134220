// The main window reads every settings item at start-up and writes them all at close, in one
// reading and one replacement of the file.
#include "app/IniFile.h"
#include "app/RegManager.h"
#include "app/SettingsItems.h"
#include "app/TForm1.h"

#include <algorithm>

namespace velmor {

// The hot-key item is looked up as "HotkeyCheckBoxChecked"; look-up ignores case.
static QString lookupName(const QString& itemName)
{
    return itemName.compare(QStringLiteral("HotKeyCheckBoxChecked"), Qt::CaseInsensitive) == 0
        ? QStringLiteral("HotkeyCheckBoxChecked")
        : itemName;
}

static const SettingsItem& itemNamed(const QString& name)
{
    const auto& items = settingsItems();
    return *std::find_if(items.begin(), items.end(), [&name](const SettingsItem& item) { return item.name == name; });
}

void TForm1::ReadSettings()
{
    RegManager1->readTogether([this] {
        for (const QString& name : settingsAccessOrder())
            itemNamed(name).read(*this, RegManager1->ItemByName(lookupName(name)));
    });
}

void TForm1::WriteSettings()
{
    RegManager1->writeTogether([this] {
        for (const QString& name : settingsAccessOrder())
            itemNamed(name).write(*this, RegManager1->ItemByName(lookupName(name)));
    });
}

// A settings file that cannot be written must not hold the window open for good.
bool TForm1::WriteSettingsOrLetGo()
{
    try {
        WriteSettings();
        return true;
    } catch (const SettingsWriteError& error) {
        return m_dialogs.askYesNo(error.message() + QStringLiteral("\nClose without saving the settings?"));
    }
}

} // namespace velmor
