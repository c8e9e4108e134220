#pragma once

#include "input/ClipboardSpeech.h"
#include "input/InputMethod.h"
#include "input/InputModes.h"
#include "input/TypingEcho.h"

#include <memory>

namespace velmor {

// What the window listens to besides its buttons: the clipboard, typing and the input method.
struct InputConcerns {
    std::unique_ptr<ClipboardSpeech> clipboard;
    std::unique_ptr<InputMethod> inputMethod;
    std::unique_ptr<TypingEcho> echo;
    std::unique_ptr<InputModes> modes;
};

} // namespace velmor
