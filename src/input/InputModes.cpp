#include "input/InputModes.h"

#include "core/FaceNames.h"
#include "core/FormState.h"
#include "input/InputMethod.h"

namespace velmor {

InputModes::InputModes(FormState& state, InputMethod& inputMethod, Services services)
    : m_state(state), m_inputMethod(inputMethod), m_services(std::move(services))
{
}

// Each command does nothing, not even focusing the text box, without a Japanese keyboard.
void InputModes::IMEon1Click()
{
    if (m_inputMethod.japaneseLayout())
        m_inputMethod.setOpen(true);
}

void InputModes::ZenHiragana1Click()
{
    if (!m_inputMethod.japaneseLayout())
        return;
    m_inputMethod.setOpen(true);
    m_inputMethod.setConversionMode(kImeModeHiragana);
}

void InputModes::HanEisu1Click()
{
    if (!m_inputMethod.japaneseLayout())
        return;
    m_inputMethod.setOpen(true);
    m_inputMethod.setConversionMode(kImeModeAlphanumeric);
}

void InputModes::Straight1Click()
{
    if (m_inputMethod.japaneseLayout())
        m_inputMethod.setOpen(false);
}

void InputModes::Hangul1Click()
{
    m_state.fHangulMode = true;
    if (m_state.fFontName != kFaceUIGothic)
        m_services.useHangulFont();
    m_services.redrawText();
}

// The font stays "MS UI Gothic" until the user picks another.
void InputModes::ReleaseHangul1Click() { m_state.fHangulMode = false; }

} // namespace velmor
