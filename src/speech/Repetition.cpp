#include "speech/Repetition.h"

#include "core/FormState.h"
#include "speech/SpeechEngine.h"
#include "speech/TextFeed.h"
#include "widgets/IndicatorLabel.h"
#include "widgets/TRichEdit98.h"

#include <QAbstractButton>
#include <QSpinBox>
#include <QTextDocument>
#include <QTimer>

namespace velmor {

Repetition::Repetition(FormState& state, SpeechEngine* engine, TextFeed* feed, RepetitionControls controls)
    : m_state(state), m_engine(engine), m_feed(feed), m_controls(controls)
{
}

void Repetition::DirectSS1TextDataStarted() { m_controls.speakingMark.setOpaque(true); }

// A reset cut the text off: nothing is being spoken now, and nothing is to be repeated for it.
void Repetition::DirectSS1TextDataDiscarded() { m_controls.speakingMark.setOpaque(false); }

void Repetition::DirectSS1TextDataDone()
{
    m_controls.speakingMark.setOpaque(false);
    // Any text's completion counts, whoever queued it: the engine does not say which text ended.
    if (!m_state.fPaused && m_state.fSpeechKind != 0 && m_state.fRepCount < m_state.fRepNum)
        m_controls.repeatTimer.start();
}

// A repetition is queued behind whatever is still queued, without a reset, and leaves a pause
// alone: paused while waiting for it, the engine holds it until the one press that resumes.
void Repetition::Timer1Timer()
{
    using Queued = TextFeed::Queued;
    switch (m_state.fSpeechKind) {
    case 1:
        m_feed->speakLines(Queued::Behind, 0, m_controls.editor.document()->characterCount() - 1);
        break;
    case 2:
        m_feed->speakLine(Queued::Behind, m_controls.editor.lineText(m_state.fRow), m_controls.editor.lineStart(m_state.fRow));
        break;
    case 3:
        m_feed->speakSelectionAgain(Queued::Behind, m_state.fSelText);
        break;
    case 4:
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
