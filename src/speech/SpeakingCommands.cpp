#include "speech/SpeakingCommands.h"

#include "app/FormState.h"
#include "document/EditorLines.h"
#include "speech/SpeechEngine.h"
#include "speech/WordFollower.h"
#include "widgets/Bgr.h"
#include "widgets/FlatButton.h"
#include "widgets/InfoLine.h"
#include "widgets/TRichEdit98.h"

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
}

void SpeakingCommands::restart()
{
    m_engine->ResetAudio();
    m_state.fPaused = false;
    m_controls.pauseButton.setText(QStringLiteral("Pause"));
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
    speakFollowed(gatherWholeText(*m_controls.editor.document()), 0);
    m_state.fSpeechKind = 1;
    m_state.fRepCount = 1;
}

void SpeakingCommands::BandButtonClick()
{
    if (!m_state.fEngineOK)
        return;
    restart();
    const QString line = m_controls.editor.lineText(m_state.fRow);
    speakFollowed(line, m_controls.editor.lineStart(m_state.fRow));
    m_controls.infoLine.showText(line, m_controls.editor.font().family());
    m_state.fSpeechKind = 2;
    m_state.fRepCount = 1;
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
    std::optional<int> selectionStart;
    if (editor.selLength() > 0) {
        selectionStart = editor.selStart();
        m_state.fSelText = editor.selText();
        highlightSelection();
    }
    if (!m_state.fSelText.isEmpty()) {
        // The highlight lives beside the document, so it neither marks the text modified
        // nor clears a modified state that unsaved edits had set.
        restart();
        m_engine->SpeakText(m_state.fSelText);
        if (m_follower)
            m_follower->followSelection(WordFollower::Queued::AfterReset, m_state.fSelText, selectionStart);
        m_controls.infoLine.showText(m_state.fSelText, editor.font().family());
        m_state.fSpeechKind = 3;
        m_state.fRepCount = 1;
        return;
    }
    if (const std::optional<QColor> chosen = m_chooseColor(colorFromBgr(m_state.fSelBgColor))) {
        m_state.fSelBgColor = bgrFromColor(*chosen);
        m_controls.selTextButton.setActiveFontColor(*chosen);
    }
}

void SpeakingCommands::speakFollowed(const QString& text, int start)
{
    m_engine->SpeakText(text);
    if (m_follower)
        m_follower->follow(WordFollower::Queued::AfterReset, text, start);
}

void SpeakingCommands::speakPassage(int from, int to)
{
    if (!m_state.fEngineOK)
        return;
    TRichEdit98& editor = m_controls.editor;
    restart();
    speakFollowed(linesWithCrLf(editor.textBetween(from, to)), from);
    editor.setSelection(from, 0);
    m_caretMoved();
}

void SpeakingCommands::PauseButtonClick()
{
    if (!m_state.fEngineOK)
        return;
    if (m_state.fPaused) {
        m_engine->ResumeAudio();
        m_state.fPaused = false;
        m_controls.pauseButton.setText(QStringLiteral("Pause"));
    } else {
        m_engine->PauseAudio();
        m_state.fPaused = true;
        m_controls.pauseButton.setText(QStringLiteral("Resume"));
    }
}

void SpeakingCommands::ResetButtonClick()
{
    if (!m_state.fEngineOK)
        return;
    restart();
    m_state.fSpeechKind = 0;
    m_state.fRepCount = 1;
    m_controls.repeatTimer.stop();
}

} // namespace velmor
