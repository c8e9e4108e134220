#pragma once

#include <QString>
#include <QStringList>

#include <vector>

namespace velmor {

class TForm1;
class TRegFiler;
class TRegManager;

// One settings item, kept in one place: where it lives in the settings file (section
// "Form1\<word>", key <ident>), the text read when the key is missing, and how the window takes
// its value at start-up and gives it at close.
struct SettingsItem {
    QString name;
    QString word;
    QString ident;
    QString defaultValue;
    void (*read)(TForm1& form, TRegFiler& filer);
    void (*write)(TForm1& form, TRegFiler& filer);
};

// Velmor's 37 settings items, in their defined order.
const std::vector<SettingsItem>& settingsItems();

// Replaces the manager's items with the settings items.
void fillSettingsItems(TRegManager& manager);

// The item names in the order the main window reads them at start-up and writes them
// at close: the defined order, except that fLastfile comes just before
// LastfileCheckChecked and fFontSize just before fPColor.
QStringList settingsAccessOrder();

} // namespace velmor
