#pragma once

#include <QStringView>
#include <optional>

namespace velmor {

// Sentences of a text with "\n" between paragraphs, found by Unicode's rules (Qt's
// QTextBoundaryFinder), so that "。" and the rules of other languages hold. A sentence begins at
// its first character that is not white space; a paragraph break always ends one. Only the
// paragraphs around the index are read, so a look-up costs no more than its paragraphs do.

// Where the sentence holding the index begins; in the white space before a paragraph's first
// sentence, that sentence; none when the paragraph holds only white space.
std::optional<qsizetype> sentenceStartAt(QStringView text, qsizetype index);
// The start of the first sentence after the index; none when no sentence follows.
std::optional<qsizetype> nextSentenceStart(QStringView text, qsizetype index);
// The start of the last sentence before the index; none when none begins before it.
std::optional<qsizetype> previousSentenceStart(QStringView text, qsizetype index);

} // namespace velmor
