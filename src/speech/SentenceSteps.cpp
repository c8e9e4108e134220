#include "speech/SentenceSteps.h"

#include "document/Sentences.h"
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

void SentenceSteps::nextSentence()
{
    const std::optional<WordFollower::Place> place = m_follower.place();
    if (!place)
        return;
    const std::optional<qsizetype> next = nextSentenceStart(m_editor.wholeText(), place->heard);
    if (next && *next < place->end)
        m_speak(int(*next), place->end);
}

void SentenceSteps::sentenceBack()
{
    const std::optional<WordFollower::Place> place = m_follower.place();
    if (!place)
        return;
    const QString text = m_editor.wholeText();
    const qsizetype current = sentenceStartAt(text, place->heard).value_or(place->heard);
    const std::optional<qint64> heardFor = m_follower.heardFor(int(current));
    qsizetype target = current;
    if (!heardFor || *heardFor < kBackToPreviousMs)
        target = previousSentenceStart(text, current).value_or(current);
    m_speak(int(target), place->end);
}

void SentenceSteps::speakFromCaret()
{
    m_speak(m_editor.selStart(), m_editor.document()->characterCount() - 1);
}

} // namespace velmor
