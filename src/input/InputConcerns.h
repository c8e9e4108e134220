#pragma once

#include "input/ClipboardSpeech.h"
#include "input/InputMethod.h"
#include "input/InputModes.h"
#include "input/ScreenReader.h"
#include "input/TypingEcho.h"

#include <memory>

namespace velmor {

// What the window listens to besides its buttons: the clipboard, typing, the input method and
// a screen reader beside it.
struct InputConcerns {
    std::unique_ptr<ClipboardSpeech> clipboard;
    std::unique_ptr<InputMethod> inputMethod;
    std::unique_ptr<TypingEcho> echo;
    std::unique_ptr<InputModes> modes;
    std::unique_ptr<ScreenReaderWatch> screenReader;
    std::unique_ptr<ScreenReaderOffer> screenReaderOffer;
};

} // namespace velmor
