#pragma once

#include "document/ListeningPlaces.h"

#include <QString>
#include <functional>
#include <optional>

namespace velmor {

class TRichEdit98;
class WordFollower;

// Keeps the place where listening to a file stopped (the word heard last, not the caret) and
// takes the caret back there: on a reset to the start of the sentence being heard, on opening
// the file again to the word, so that speaking from the caret carries on.
class ListeningResume {
public:
    using Clock = std::function<QDateTime()>;
    ListeningResume(TRichEdit98& editor, const WordFollower& follower, std::unique_ptr<ListeningPlaces> places,
                    Clock now = [] { return QDateTime::currentDateTime(); });

    // The document position of the word heard last; none while none has been heard.
    std::optional<int> heardPosition() const;
    // Keeps that place for the file at path (nothing without a file or a word heard).
    void keepPlace(const QString& path);
    // Keeps the place heard before a reset (taken before the reset forgot it) and, with
    // moveCaret, puts the caret at the start of its sentence.
    void afterReset(const QString& path, std::optional<int> heard, bool moveCaret);
    // Puts the caret where listening to the file at path stopped, when its words are still in
    // the text; false when there is no such place.
    bool resume(const QString& path);

private:
    void keep(const QString& path, int heard);

    TRichEdit98& m_editor;
    const WordFollower& m_follower;
    std::unique_ptr<ListeningPlaces> m_places;
    Clock m_now;
};

} // namespace velmor
