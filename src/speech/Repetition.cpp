#include "speech/Repetition.h"

#include "core/FormState.h"
#include "core/SpeakingState.h"
#include "speech/SpeechEngine.h"
#include "speech/TextFeed.h"
#include "widgets/IndicatorLabel.h"
#include "widgets/TRichEdit98.h"

#include <QAbstractButton>
#include <QSpinBox>
#include <QTextDocument>
#include <QTimer>

namespace velmor {

Repetition::Repetition(FormState& state, SpeakingState& speaking, SpeechEngine* engine, TextFeed* feed,
                       RepetitionControls controls)
    : m_state(state), m_speaking(speaking), m_engine(engine), m_feed(feed), m_controls(controls)
{
}

void Repetition::DirectSS1TextDataStarted() { m_controls.speakingMark.setOpaque(true); }

// A reset cut the text off: nothing is being spoken now, and nothing is to be repeated for it.
void Repetition::DirectSS1TextDataDiscarded() { m_controls.speakingMark.setOpaque(false); }

void Repetition::DirectSS1TextDataDone()
{
    m_controls.speakingMark.setOpaque(false);
    // Any text's completion counts, whoever queued it: the engine does not say which text ended.
    if (m_speaking.repetitionDue(m_state.fRepNum))
        m_controls.repeatTimer.start();
}

// A repetition is queued behind whatever is still queued, without a reset, and leaves a pause
// alone: paused while waiting for it, the engine holds it until the one press that resumes.
void Repetition::Timer1Timer()
{
    using Queued = TextFeed::Queued;
    switch (m_speaking.fSpeechKind()) {
    case SpeechKind::WholeText:
        m_feed->speakLines(Queued::Behind, 0, m_controls.editor.document()->characterCount() - 1);
        break;
    case SpeechKind::CaretLine:
        m_feed->speakLine(Queued::Behind, m_controls.editor.lineText(m_state.fRow), m_controls.editor.lineStart(m_state.fRow));
        break;
    case SpeechKind::Selection:
        m_feed->speakSelectionAgain(Queued::Behind, m_state.fSelText);
        break;
    case SpeechKind::ClipboardText:
        if (m_controls.clipSpeechCheckBox.isChecked())
            m_engine->SpeakText(m_state.fClipText);
        break;
    case SpeechKind::None:
        break;
    }
    m_controls.repeatTimer.stop();
    m_speaking.nextRepetition(m_state.fRepNum);
}

void Repetition::RepUpDownChange() { m_state.fRepNum = m_controls.repetitionSpinner.value(); }

void Repetition::OffRepButtonClick() { m_controls.repetitionSpinner.setValue(1); }

} // namespace velmor
