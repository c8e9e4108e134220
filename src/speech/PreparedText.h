#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>
#include <vector>

namespace velmor {

// A range of positions (UTF-16 units) in the text the user gave, end exclusive.
struct SourceSpan {
    int begin = 0;
    int end = 0;
    bool operator==(const SourceSpan&) const = default;
};

// Text as the synthesiser is to read it, with, for each of its UTF-16 units, the span of the
// user's text it was made from (a whole word for a word's reading), so that positions the
// synthesiser reports point back at the user's text.
struct PreparedText {
    QString text;
    std::vector<SourceSpan> sources; // one per unit of text; none: text is the user's text itself

    void append(QStringView piece, SourceSpan from);
    // Each unit of piece stands for the unit of the user's text at firstSource plus its index.
    void appendVerbatim(QStringView piece, int firstSource);
    // The user's text behind text[begin, end): from the first unit's span to the last one's.
    SourceSpan sourceOf(int begin, int end) const;
};

// A stretch of prepared text with the voice that reads it.
struct SpeechPassage {
    QByteArray language; // espeak-ng language tag of the voice to use; empty: the selected voice
    PreparedText prepared;
};

} // namespace velmor
