#pragma once

#include <functional>

namespace velmor {

struct FormState;
class InputMethod;

// The Edit menu's four commands that put a Japanese input method into a mode, and the File
// menu's Hangul mode for Korean documents.
class InputModes {
public:
    struct Services {
        std::function<void()> useHangulFont; // MSUIGothic1Click
        std::function<void()> redrawText;    // Hangul: the whole text drawn anew in the font
    };

    InputModes(FormState& state, InputMethod& inputMethod, Services services);

    void IMEon1Click();
    void ZenHiragana1Click();
    void HanEisu1Click();
    void Straight1Click();
    void Hangul1Click();
    void ReleaseHangul1Click();

private:
    FormState& m_state;
    InputMethod& m_inputMethod;
    Services m_services;
};

} // namespace velmor
