#include "speech/SentenceSteps.h"

#include "document/Sentences.h"
#include "document/SoftBreaks.h"
#include "speech/WordFollower.h"
#include "widgets/TRichEdit98.h"

namespace velmor {

namespace {

// Back within this long of a sentence's first word goes to the sentence before it.
constexpr qint64 kBackToPreviousMs = 1000;

} // namespace

SentenceSteps::SentenceSteps(TRichEdit98& editor, const WordFollower& follower, Speak speak)
    : m_editor(editor)
    , m_follower(follower)
    , m_speak(std::move(speak))
{
}

// Sentences are looked for in the whole text, whose indexes are not positions after a soft break
// that stands for nothing.
void SentenceSteps::nextSentence()
{
    const std::optional<WordFollower::Place> place = m_follower.place();
    if (!place)
        return;
    const QTextDocument& document = *m_editor.document();
    const std::optional<qsizetype> next =
        nextSentenceStart(m_editor.wholeText(), textIndexOfPosition(document, place->heard));
    if (!next)
        return;
    const int from = positionOfTextIndex(document, *next);
    if (from < place->end)
        m_speak(from, place->end);
}

void SentenceSteps::sentenceBack()
{
    const std::optional<WordFollower::Place> place = m_follower.place();
    if (!place)
        return;
    const QTextDocument& document = *m_editor.document();
    const QString text = m_editor.wholeText();
    const qsizetype heard = textIndexOfPosition(document, place->heard);
    const qsizetype current = sentenceStartAt(text, heard).value_or(heard);
    const std::optional<qint64> heardFor = m_follower.heardFor(positionOfTextIndex(document, current));
    qsizetype target = current;
    if (!heardFor || *heardFor < kBackToPreviousMs)
        target = previousSentenceStart(text, current).value_or(current);
    m_speak(positionOfTextIndex(document, target), place->end);
}

void SentenceSteps::speakFromCaret()
{
    m_speak(m_editor.selStart(), m_editor.document()->characterCount() - 1);
}

} // namespace velmor
