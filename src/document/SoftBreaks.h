#pragma once

#include <QString>
#include <QStringView>

#include <span>
#include <vector>

class QTextBlock;
class QTextCursor;
class QTextDocument;

namespace velmor {

// Qt lays out a block of a document as a whole on every edit, and a block without a break
// opportunity even takes quadratic time. So a paragraph longer than kLongestBlock characters
// is held as several blocks joined by soft breaks. A soft break is a block boundary that stands
// for the blank it replaced (a space, a tab or an ideographic space), which keeps every position
// as it was, or, where no blank is near, for nothing. Every reader of the text that goes through
// the functions here sees each paragraph whole.
//
// A soft break is marked in the block format of the block after it, with an id of its own. A
// block that Qt creates inside a marked block copies the mark; a block whose mark repeats the
// one before it is therefore a paragraph break, and settleBlocks() clears such copies.
//
// The other way round, a long text of short lines is loaded with its lines grouped into blocks
// of up to kLongestBlock characters, joined by line separators (U+2028) that stand for
// paragraph breaks: Qt fills a document ten times faster with a tenth of the blocks. Only a
// text without line separators of its own is grouped, and the document remembers it; a line
// separator typed or pasted later (insertSplitText) carries a mark that keeps it a character.
inline constexpr int kLongestBlock = 2048;
inline constexpr qsizetype kGroupLinesFrom = 1'000'000;

// What the boundary before the block stands for: "\n" for a paragraph break, the blank a soft
// break replaced, or "" for a soft break that stands for nothing (and for the first block).
QStringView breakBefore(const QTextBlock& block);

// The text with "\n" between paragraphs, every other character as it is.
QString wholeText(const QTextDocument& document);
// The text of the positions from..to, read as wholeText reads it.
QString textBetween(const QTextDocument& document, int from, int to);

// Maps indexes into wholeText to document positions and back. They differ only after soft
// breaks that stand for nothing; where one does, an index has two positions (the end of one
// piece and the start of the next) and positionOf gives the first. Built once for many look-ups.
class TextPositions {
public:
    explicit TextPositions(const QTextDocument& document);
    int positionOf(qsizetype index) const;
    qsizetype indexOf(int position) const;

private:
    std::vector<int> m_emptyBreaks;     // positions of the boundaries that stand for nothing
    std::vector<qsizetype> m_breakKeys; // each of them less the number before it
};

qsizetype textIndexOfPosition(const QTextDocument& document, int position);
int positionOfTextIndex(const QTextDocument& document, qsizetype index);

// A text prepared for loading, in any thread: "\n" at every block boundary, the soft ones
// among them, and the lines of each block when lines are grouped.
struct SplitText {
    struct SoftBreak {
        int blockNumber;  // the block after the break
        char16_t standsFor; // the blank it replaced, or 0
    };
    QString text;
    std::vector<SoftBreak> softBreaks;
    std::vector<int> groupedLines; // lines in each block, or empty when not grouped
};
// "\n", "\r\n" and "\r" all end a paragraph. Short lines are grouped when asked and the text
// has no line separator of its own.
SplitText splitParagraphs(QStringView text, bool groupLines = false);
// A whole text as a box that holds pieces loads it: short lines grouped when the text is long.
SplitText splitForLoading(QStringView text);
// Marks the soft breaks and line groups of a document just filled with a SplitText's text,
// outside the undo history (which must be empty).
void markSoftBreaks(QTextDocument& document, const SplitText& split);

// Replaces the whole text, long paragraphs split (and short lines grouped when asked); the
// undo history is left empty.
void setSplitText(QTextDocument& document, QStringView text, bool groupLines = false);

// Inserts text at the cursor in place of its selection, as one undoable step; long paragraphs
// of the text arrive already split and every line break is a paragraph break.
void insertSplitText(QTextCursor& cursor, QStringView text);

// Turns every soft break back into the text it stands for: for a copy of the document that is
// laid out as a whole, such as one being printed.
void joinSoftBreaks(QTextDocument& document);

// Brings the blocks that hold positions from..to (and the block after them) back into shape
// after an edit: soft-break marks copied onto new blocks are cleared, blocks grown past
// kLongestBlock are split, and neighbouring pieces of a paragraph that shrank to half of it
// are joined. The positions in keep (caret, anchors) are moved so that they stay beside the
// same characters. Returns whether the document changed; the changes form one undo step.
bool settleBlocks(QTextDocument& document, int from, int to, std::span<int> keep = {});

} // namespace velmor
