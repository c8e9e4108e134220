#pragma once

#include <QString>
#include <QStringList>

namespace velmor {

// The list of shortcut keys and the tab order shown in the key-name window: 30 lines joined by
// a carriage return alone; every key row is 26 characters long so that the keys line up in a
// fixed-pitch font.
QString keyNameText();

// The same list as the 39 texts read aloud, in order.
QStringList keyNameSpeech();

} // namespace velmor
