#pragma once

#include <functional>

namespace velmor {

class TRichEdit98;
class WordFollower;

// Steps by sentences through the text being spoken: on to the next sentence, back to the start
// of the one being heard (to the one before when it began less than a second ago), and speaking
// from the caret to the end. A step speaks anew from a sentence's start to where the text
// followed ends.
class SentenceSteps {
public:
    // Speaks the document's positions from..to anew, the caret put at from.
    using Speak = std::function<void(int from, int to)>;

    SentenceSteps(TRichEdit98& editor, const WordFollower& follower, Speak speak);

    // Do nothing while no text of the document is being spoken.
    void nextSentence();
    void sentenceBack();
    void speakFromCaret();

private:
    TRichEdit98& m_editor;
    const WordFollower& m_follower;
    Speak m_speak;
};

} // namespace velmor
