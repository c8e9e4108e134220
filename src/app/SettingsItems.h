#pragma once

#include <QStringList>

namespace velmor {

class TRegManager;

// Replaces the manager's items with Velmor's 37 settings items, in their defined order.
void fillSettingsItems(TRegManager& manager);

// The item names in the order the main window reads them at start-up and writes them
// at close: the defined order, except that fLastfile comes just before
// LastfileCheckChecked and fFontSize just before fPColor.
QStringList settingsAccessOrder();

} // namespace velmor
