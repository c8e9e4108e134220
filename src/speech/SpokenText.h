#pragma once

#include <QString>
#include <optional>
#include <vector>

namespace velmor {

// A range of characters: where it starts and how many.
struct TextRange {
    qsizetype start = 0;
    qsizetype length = 0;
};

// A text handed to the engine and where it came from in the document's whole text (the text of
// TRichEdit98::wholeText, "\n" between paragraphs). The engine reports words by their place in
// the text it was given; line breaks were handed over as CR LF, so every CR right before an LF
// is an added character with no place in the document.
class SpokenText {
public:
    SpokenText(QString text, qsizetype start);

    const QString& text() const { return m_text; }
    // The whole-text range of the characters offset .. offset + length of the text, without
    // the added characters at its ends; none when the range holds nothing else.
    std::optional<TextRange> sourceRange(qsizetype offset, qsizetype length) const;
    qsizetype sourceStart() const { return m_start; }
    // The whole-text index just after the last character that came from the document.
    qsizetype sourceEnd() const;

private:
    qsizetype sourceIndex(qsizetype offset) const;
    bool isAdded(qsizetype offset) const;

    QString m_text;
    qsizetype m_start;
    std::vector<qsizetype> m_added; // offsets of the added characters, ascending
};

// Edits made to a document since a moment: brings positions of that moment up to date.
class EditLog {
public:
    // The characters from..from + removed were replaced by `added` new ones.
    void note(int from, int removed, int added);
    // Where a character that was at `position` is now; none when an edit took it away.
    std::optional<int> positionNow(int position) const;

private:
    struct Edit {
        int from;
        int removed;
        int added;
    };
    std::vector<Edit> m_edits;
};

} // namespace velmor
