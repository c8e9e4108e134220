#pragma once

#include "input/ClipboardSpeech.h"

#include <memory>

namespace velmor {

// What the window listens to besides its buttons: the clipboard.
struct InputConcerns {
    std::unique_ptr<ClipboardSpeech> clipboard;
};

} // namespace velmor
