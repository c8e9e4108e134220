#pragma once

#include "core/Dialogs.h"

class QWidget;

namespace velmor {

// The standard dialogs over the window: message boxes, the colour, file and print dialogs.
Dialogs standardDialogs(QWidget* parent);

} // namespace velmor
