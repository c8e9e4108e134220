#include "speech/SpeakingCommands.h"

#include "core/FormState.h"
#include "speech/SpeechEngine.h"
#include "speech/TextFeed.h"
#include "speech/WordFollower.h"
#include "widgets/Bgr.h"
#include "widgets/FlatButton.h"
#include "widgets/InfoLine.h"
#include "widgets/TRichEdit98.h"

#include <QTextDocument>
#include <QTimer>

namespace velmor {

SpeakingCommands::SpeakingCommands(FormState& state, SpeechEngine* engine, SpeakingControls controls,
                                   ColorChooser chooseColor, std::function<void()> caretMoved)
    : m_state(state)
    , m_engine(engine)
    , m_controls(controls)
    , m_chooseColor(std::move(chooseColor))
    , m_caretMoved(std::move(caretMoved))
{
    if (m_engine)
        m_feed = std::make_unique<TextFeed>(*m_engine, m_controls.editor);
    FlatButton& pauseButton = m_controls.pauseButton;
    QObject::connect(&m_speakingState, &SpeakingState::changed, &pauseButton, [this, &pauseButton] {
        pauseButton.setText(m_speakingState.fPaused() ? QStringLiteral("Resume") : QStringLiteral("Pause"));
    });
}

SpeakingCommands::~SpeakingCommands() = default;

void SpeakingCommands::setFollower(WordFollower* follower)
{
    m_follower = follower;
    if (m_feed)
        m_feed->setFollower(follower);
}

void SpeakingCommands::restart()
{
    m_feed->stop();
    m_engine->ResetAudio();
    setPaused(false);
}

void SpeakingCommands::setPaused(bool paused)
{
    if (paused)
        m_speakingState.pause();
    else
        m_speakingState.resume();
    if (m_follower)
        m_follower->setPaused(paused);
}

void SpeakingCommands::announce(const QString& sentence)
{
    if (!m_engine)
        return;
    restart();
    m_engine->SpeakText(sentence);
}

void SpeakingCommands::SpeechButtonClick()
{
    if (!m_state.fEngineOK)
        return;
    restart();
    m_feed->speakLines(TextFeed::Queued::AfterReset, 0, m_controls.editor.document()->characterCount() - 1);
    m_speakingState.start(SpeechKind::WholeText);
}

void SpeakingCommands::BandButtonClick()
{
    if (!m_state.fEngineOK)
        return;
    restart();
    const QString line = m_controls.editor.lineText(m_state.fRow);
    m_feed->speakLine(TextFeed::Queued::AfterReset, line, m_controls.editor.lineStart(m_state.fRow));
    m_controls.infoLine.showText(line, m_controls.editor.font().family());
    m_speakingState.start(SpeechKind::CaretLine);
}

void SpeakingCommands::highlightSelection()
{
    TRichEdit98& editor = m_controls.editor;
    const int start = editor.selStart();
    const int length = editor.selLength();
    if (!m_state.fMarkCheck)
        editor.clearHighlights();
    editor.addHighlight(start, length, colorFromBgr(m_state.fSelBgColor));
    // A selection made forwards has the caret at its end already: no caret move is signalled.
    editor.setSelection(start + length, 0);
    m_caretMoved();
}

void SpeakingCommands::SelTextButtonClick()
{
    if (!m_state.fEngineOK)
        return;
    TRichEdit98& editor = m_controls.editor;
    if (editor.selLength() > 0 || !m_state.fSelText.isEmpty()) {
        // The highlight lives beside the document, so it neither marks the text modified
        // nor clears a modified state that unsaved edits had set.
        if (editor.selLength() > 0) {
            const int start = editor.selStart();
            const int end = start + editor.selLength();
            highlightSelection();
            restart();
            // A long selection is kept for speaking again once it is all gathered.
            m_feed->speakSelection(TextFeed::Queued::AfterReset, start, end,
                                   [this](const QString& text) { m_state.fSelText = text; });
            const int shownEnd = std::min(end, start + 2 * InfoLine::kShownLength);
            m_controls.infoLine.showText(editor.textBetween(start, shownEnd), editor.font().family());
        } else {
            restart();
            m_feed->speakSelectionAgain(TextFeed::Queued::AfterReset, m_state.fSelText);
            m_controls.infoLine.showText(m_state.fSelText, editor.font().family());
        }
        m_speakingState.start(SpeechKind::Selection);
        return;
    }
    if (const std::optional<QColor> chosen = m_chooseColor(colorFromBgr(m_state.fSelBgColor))) {
        m_state.fSelBgColor = bgrFromColor(*chosen);
        m_controls.selTextButton.setActiveFontColor(*chosen);
    }
}

void SpeakingCommands::speakPassage(int from, int to)
{
    if (!m_state.fEngineOK)
        return;
    TRichEdit98& editor = m_controls.editor;
    restart();
    m_feed->speakLines(TextFeed::Queued::AfterReset, from, to);
    editor.setSelection(from, 0);
    m_caretMoved();
}

void SpeakingCommands::PauseButtonClick()
{
    if (!m_state.fEngineOK)
        return;
    const bool paused = m_speakingState.fPaused();
    if (paused)
        m_engine->ResumeAudio();
    else
        m_engine->PauseAudio();
    setPaused(!paused);
}

void SpeakingCommands::ResetButtonClick()
{
    if (!m_state.fEngineOK)
        return;
    restart();
    m_speakingState.reset();
    m_controls.repeatTimer.stop();
}

} // namespace velmor
