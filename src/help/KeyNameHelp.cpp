#include "help/KeyNameHelp.h"

#include "core/FormState.h"
#include "core/SpeakingState.h"
#include "help/KeyNameText.h"
#include "help/TForm2.h"
#include "speech/SpeechEngine.h"

#include <QAbstractButton>
#include <QLabel>

namespace velmor {

KeyNameHelp::KeyNameHelp(FormState& state, SpeakingState& speaking, SpeechEngine* engine,
                         KeyNameHelpControls controls)
    : m_state(state), m_speaking(speaking), m_engine(engine), m_controls(controls)
{
}

KeyNameHelp::~KeyNameHelp() { delete m_form2.data(); }

TForm2* KeyNameHelp::window() const { return m_form2; }

void KeyNameHelp::HelpButtonClick()
{
    if (!m_state.fEngineOK)
        return;
    if (m_form2) {
        m_speaking.endRun();
        return;
    }
    m_form2 = new TForm2([this] { FormCloseQuery(); });
    m_form2->show();
    m_form2->activateWindow();
    m_form2->HelpLabel->setText(keyNameText());
    if (!m_controls.speechInfo.isChecked())
        return;

    m_engine->ResetAudio();
    m_speaking.reset();
    for (const QString& text : keyNameSpeech())
        m_engine->SpeakText(text);
}

// Closing the window silences its reading at once and cancels a pending repetition.
void KeyNameHelp::FormCloseQuery()
{
    m_speaking.reset();
    m_engine->ResetAudio();
}

} // namespace velmor
