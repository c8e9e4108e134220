#include "input/TypingEcho.h"

#include "core/FaceNames.h"
#include "core/FormState.h"
#include "core/SpeakingState.h"
#include "document/SoftBreaks.h"
#include "input/EchoWords.h"
#include "input/InputMethod.h"
#include "input/TextTrim.h"
#include "speech/SpeechEngine.h"
#include "widgets/Bgr.h"
#include "widgets/InfoLine.h"
#include "widgets/TRichEdit98.h"
#include "widgets/UPanel.h"

#include <QAbstractButton>
#include <QAction>
#include <QInputMethodEvent>

namespace velmor {

TypingEcho::TypingEcho(FormState& state, SpeakingState& speaking, SpeechEngine* engine, EchoControls controls,
                       EchoServices services, InputMethod& inputMethod)
    : m_state(state)
    , m_speaking(speaking)
    , m_engine(engine)
    , m_controls(controls)
    , m_services(std::move(services))
    , m_inputMethod(inputMethod)
{
}

void TypingEcho::WordReadCheckBoxClick()
{
    m_controls.joyfulItem.setChecked(m_controls.wordReadCheckBox.isChecked());
    m_controls.editor.setFocus();
}

// The item has already toggled its check mark when this runs.
void TypingEcho::Joyful1Click() { m_controls.wordReadCheckBox.setChecked(m_controls.joyfulItem.isChecked()); }

// The item has already toggled its check mark when this runs.
void TypingEcho::KeyInputClick()
{
    m_state.fImeLen = 0;
    m_state.fImeReadAll.clear();
}

bool TypingEcho::japaneseVoice() const
{
    const QString voice = m_services.currentVoice();
    return voice == QLatin1String("Naoko") || voice == QLatin1String("Kenji");
}

bool TypingEcho::koreanVoice() const
{
    const QString voice = m_services.currentVoice();
    return voice == QLatin1String("Shin-Ah") || voice == QLatin1String("Jun-Ho");
}

void TypingEcho::RichEdit98KeyPress(const QString& typed)
{
    if (!m_state.fEngineOK || m_controls.wordReadCheckBox.isChecked() || !m_controls.speechInfoCheckBox.isChecked())
        return;
    // Control characters (Backspace, Escape and the like) are keys, not something to show.
    if (typed.isEmpty() || typed[0].unicode() < 32 || typed[0].unicode() == 127)
        return;
    m_controls.infoLine.showText(typed, m_controls.editor.font().family());
    const char16_t c = typed[0].unicode();
    // Letters queue behind speech in progress.
    if ((c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'))
        m_engine->SpeakText(QString(QChar(c)).toLower());
    else if (c >= u'0' && c <= u'9')
        m_engine->SpeakText(QString(QChar(c)));
}

void TypingEcho::RichEdit98KeyUp(int key)
{
    m_services.caretMoved();
    if (!m_controls.wordReadCheckBox.isChecked())
        return;
    const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
    if (!enter && key != Qt::Key_Space)
        return;
    const InputMethodStatus ime = m_inputMethod.status();
    const bool direct = ime.conversionMode == kImeModeAlphanumeric || ime.conversionMode == kImeModeHangul;
    if (enter) {
        if (!ime.open)
            lineEndEcho();
        else if (!direct)
            inputMethodEcho();
        else if (!japaneseVoice())
            lineEndEcho();
    } else if (!ime.open || (direct && !japaneseVoice())) {
        wordEcho();
    }
}

// The info line in the text box's font; the Korean voices keep the info line's own look.
void TypingEcho::showInEditorFont(const QString& text, bool withBackground)
{
    InfoLine& infoLine = m_controls.infoLine;
    infoLine.showText(text);
    QFont font = infoLine.font();
    font.setFamily(m_state.fFontName);
    font.setPointSize(m_state.fFontSize);
    if (font != infoLine.font())
        infoLine.setFont(font);
    infoLine.setTextColor(colorFromBgr(m_state.fFontColor));
    if (withBackground)
        infoLine.setPanelColor(colorFromBgr(m_state.fPColor));
}

void TypingEcho::echoDisplay(const QString& text)
{
    if (koreanVoice())
        m_controls.infoLine.showText(text);
    else
        showInEditorFont(text, true);
    if (!m_engine)
        return;
    m_engine->ResetAudio();
    m_engine->SpeakText(text);
}

void TypingEcho::wordEcho()
{
    TRichEdit98& editor = m_controls.editor;
    if (m_state.fRow >= editor.lineCount())
        return;
    const std::optional<QString> word = wordEndedBySpace(editor.lineText(m_state.fRow), m_state.fCol);
    if (!word) {
        m_state.fArticleWait = false;
        return;
    }
    InfoLine& infoLine = m_controls.infoLine;
    if (m_state.fArticleWait && !isArticle(infoLine.text()))
        m_state.fArticleWait = false;
    if (word->isEmpty())
        return;
    if (m_state.fArticleWait) {
        echoDisplay(infoLine.text() + u' ' + *word);
        m_state.fArticleWait = false;
    } else if (isArticle(*word)) {
        m_state.fArticleWait = true;
        if (koreanVoice())
            infoLine.showText(*word);
        else
            showInEditorFont(*word, true);
    } else {
        echoDisplay(*word);
    }
}

void TypingEcho::lineEndEcho()
{
    m_services.caretMoved();
    if (m_state.fRow == 0)
        return;
    const QString line = m_controls.editor.lineText(m_state.fRow - 1);
    if (line.isEmpty())
        return;
    const std::optional<QString> word = lastWordOfLine(line);
    if (!word) {
        m_state.fArticleWait = false;
        return;
    }
    InfoLine& infoLine = m_controls.infoLine;
    if (m_state.fArticleWait && !isArticle(infoLine.text()))
        m_state.fArticleWait = false;
    if (m_state.fArticleWait) {
        if (word->isEmpty())
            return;
        echoDisplay(infoLine.text() + u' ' + *word);
        m_state.fArticleWait = false;
        return;
    }
    infoLine.clear();
    if (word->isEmpty())
        return;
    echoDisplay(*word);
    m_speaking.resume();
}

// A conversion the input method has finished is read back at the Enter that confirms it:
// the converted text is shown, and its reading is spoken when one is known and wanted.
void TypingEcho::inputMethodEcho()
{
    TRichEdit98& editor = m_controls.editor;
    const int caret = editor.selStart();
    if (m_state.fImeLen <= 0 || caret <= 0 || m_state.fCol <= 0)
        return;
    // fImeLen counts UTF-16 units, as the text does; a soft break that stands for nothing
    // takes a position but no character.
    const TextPositions positions(*editor.document());
    const qsizetype end = positions.indexOf(caret);
    const QString converted = editor.textBetween(positions.positionOf(std::max<qsizetype>(0, end - m_state.fImeLen)), caret);
    InfoLine& infoLine = m_controls.infoLine;
    infoLine.clear();
    m_state.fImeLen = 0;
    if (m_state.fFontName == kFaceUIGothic)
        infoLine.showText(converted);
    else
        showInEditorFont(converted, false);
    if (!m_engine)
        return;
    m_engine->ResetAudio();
    if (m_controls.keyInputItem.isChecked() && !koreanVoice() && !m_state.fImeReadAll.isEmpty()) {
        const QString caption = u' ' + hiraganaReading(m_state.fImeReadAll);
        m_controls.panel.setCaption(caption);
        m_engine->SpeakText(caption);
        m_state.fImeReadAll.clear();
        return;
    }
    m_engine->SpeakText(converted);
}

// A commit ends a composition: its text counts towards the next input-method echo, and its
// reading is the last preedit of kana seen before it was converted (or the commit itself
// when kana were committed as they are).
void TypingEcho::inputMethodSeen(const QInputMethodEvent& event)
{
    if (isKana(event.preeditString()))
        m_state.fImeReading = event.preeditString();
    const QString committed = event.commitString();
    if (committed.isEmpty())
        return;
    m_state.fImeLen += int(committed.size());
    m_state.fImeReadAll += isKana(committed) ? committed : m_state.fImeReading;
    m_state.fImeReading.clear();
}

} // namespace velmor
