#include "help/KeyNameHelp.h"

#include "core/FormState.h"
#include "help/KeyNameText.h"
#include "help/TForm2.h"
#include "speech/SpeechEngine.h"
#include "widgets/FlatButton.h"

#include <QLabel>

namespace velmor {

KeyNameHelp::KeyNameHelp(FormState& state, SpeechEngine* engine, KeyNameHelpControls controls)
    : m_state(state), m_engine(engine), m_controls(controls)
{
}

KeyNameHelp::~KeyNameHelp() { delete m_form2.data(); }

TForm2* KeyNameHelp::window() const { return m_form2; }

void KeyNameHelp::HelpButtonClick()
{
    if (!m_state.fEngineOK)
        return;
    if (m_form2) {
        m_state.fSpeechKind = 0;
        m_state.fRepCount = 1;
        return;
    }
    m_form2 = new TForm2([this] { FormCloseQuery(); });
    m_form2->show();
    m_form2->activateWindow();
    m_form2->HelpLabel->setText(keyNameText());
    if (!m_controls.speechInfo.isChecked())
        return;

    m_state.fSpeechKind = 0;
    m_engine->ResetAudio();
    m_state.fPaused = false;
    m_controls.pauseButton.setText(QStringLiteral("Pause"));
    for (const QString& text : keyNameSpeech())
        m_engine->SpeakText(text);
}

// Closing the window silences its reading at once and cancels a pending repetition.
void KeyNameHelp::FormCloseQuery()
{
    m_state.fSpeechKind = 0;
    m_state.fRepCount = 1;
    m_engine->ResetAudio();
    m_state.fPaused = false;
    m_controls.pauseButton.setText(QStringLiteral("Pause"));
}

} // namespace velmor
