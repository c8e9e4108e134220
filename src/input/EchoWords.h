#pragma once

#include <QString>
#include <optional>

namespace velmor {

// The word that a typed space has just ended, read from the caret's line: `column` is the
// number of characters before the caret, the space included. Only the character 32 divides
// words. Nothing when no character lies between this space and the one before it (a second
// space in a row) or the caret is at the line's start; an empty text when what lies between
// is blank.
std::optional<QString> wordEndedBySpace(const QString& line, int column);

// The last word of a line that Enter has just ended: from its last space on, the whole line
// when it holds none, trimmed. Nothing when the line ends with a space.
std::optional<QString> lastWordOfLine(const QString& line);

// "a", "the" and their capitalised and quoted forms, which wait to be spoken with the next word.
bool isArticle(const QString& word);

// The reading an input method gave, as hiragana: half-width katakana widened, katakana made
// hiragana, other characters made full-width where they have such a form.
QString hiraganaReading(const QString& reading);

// Only hiragana, katakana and the marks that go with them: the text is a reading.
bool isKana(const QString& text);

} // namespace velmor
