#include "speech/ListeningResume.h"

#include "document/Sentences.h"
#include "document/SoftBreaks.h"
#include "speech/WordFollower.h"
#include "widgets/TRichEdit98.h"

#include <algorithm>

namespace velmor {

ListeningResume::ListeningResume(TRichEdit98& editor, const WordFollower& follower,
                                 std::unique_ptr<ListeningPlaces> places, Clock now)
    : m_editor(editor)
    , m_follower(follower)
    , m_places(std::move(places))
    , m_now(std::move(now))
{
}

std::optional<int> ListeningResume::heardPosition() const
{
    const std::optional<WordFollower::Place> place = m_follower.place();
    // Before its first word the follower points at the text's start: nothing was heard of it.
    if (!place || !m_follower.heardFor(place->heard))
        return std::nullopt;
    return place->heard;
}

void ListeningResume::keepPlace(const QString& path)
{
    if (const std::optional<int> heard = heardPosition())
        keep(path, *heard);
}

// Only the text around the word is read: keeping a place costs the same in any length of text.
void ListeningResume::keep(const QString& path, int heard)
{
    if (path.isEmpty())
        return;
    const QTextDocument& document = *m_editor.document();
    const int from = std::max(0, heard - int(2 * kWordsBefore));
    const int to = std::min(document.characterCount() - 1, heard + int(2 * kWordsAfter));
    const qsizetype fromIndex = textIndexOfPosition(document, from);
    const QString stretch = m_editor.textBetween(from, to);
    const ListeningPlace place = placeIn(stretch, textIndexOfPosition(document, heard) - fromIndex, fromIndex);
    if (!m_places->remember(path, place, m_now()))
        qWarning("Velmor: where listening stopped could not be kept");
}

void ListeningResume::afterReset(const QString& path, std::optional<int> heard, bool moveCaret)
{
    if (!heard)
        return;
    keep(path, *heard);
    if (!moveCaret)
        return;
    const QTextDocument& document = *m_editor.document();
    const QString text = m_editor.wholeText();
    const qsizetype index = textIndexOfPosition(document, *heard);
    m_editor.setSelection(positionOfTextIndex(document, sentenceStartAt(text, index).value_or(index)), 0);
    m_editor.ensureCursorVisible();
}

bool ListeningResume::resume(const QString& path)
{
    if (path.isEmpty())
        return false;
    const std::optional<ListeningPlace> place = m_places->placeOf(path);
    if (!place)
        return false;
    const std::optional<qsizetype> index = resumePositionIn(m_editor.wholeText(), *place);
    if (!index)
        return false;
    m_editor.setSelection(positionOfTextIndex(*m_editor.document(), *index), 0);
    m_editor.ensureCursorVisible();
    return true;
}

} // namespace velmor
