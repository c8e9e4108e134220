#include "speech/Repetition.h"

#include "app/FormState.h"
#include "document/EditorLines.h"
#include "speech/SpeechEngine.h"
#include "widgets/FlatButton.h"
#include "widgets/IndicatorLabel.h"
#include "widgets/TRichEdit98.h"

#include <QSpinBox>
#include <QTimer>

namespace velmor {

Repetition::Repetition(FormState& state, SpeechEngine* engine, RepetitionControls controls)
    : m_state(state), m_engine(engine), m_controls(controls)
{
}

void Repetition::DirectSS1TextDataStarted() { m_controls.speakingMark.setOpaque(true); }

void Repetition::DirectSS1TextDataDone()
{
    m_controls.speakingMark.setOpaque(false);
    // Any text's completion counts, whoever queued it: the engine does not say which text ended.
    if (!m_state.fPaused && m_state.fSpeechKind != 0 && m_state.fRepCount < m_state.fRepNum)
        m_controls.repeatTimer.start();
}

// Repetitions are queued behind whatever is still queued, without a reset.
void Repetition::speakAgain(const QString& text)
{
    m_state.fPaused = false;
    m_controls.pauseButton.setText(QStringLiteral("Pause"));
    m_engine->SpeakText(text);
}

void Repetition::Timer1Timer()
{
    switch (m_state.fSpeechKind) {
    case 1:
        speakAgain(gatherWholeText(*m_controls.editor.document()));
        break;
    case 2:
        speakAgain(m_controls.editor.lineText(m_state.fRow));
        break;
    case 3:
        speakAgain(m_state.fSelText);
        break;
    case 4:
        m_state.fPaused = false;
        m_controls.pauseButton.setText(QStringLiteral("Pause"));
        if (m_controls.clipSpeechCheckBox.isChecked())
            m_engine->SpeakText(m_state.fClipText);
        break;
    default:
        break;
    }
    m_controls.repeatTimer.stop();
    if (m_state.fRepCount < m_state.fRepNum)
        ++m_state.fRepCount;
}

void Repetition::RepUpDownChange() { m_state.fRepNum = m_controls.repetitionSpinner.value(); }

void Repetition::OffRepButtonClick() { m_controls.repetitionSpinner.setValue(1); }

} // namespace velmor
