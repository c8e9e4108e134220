#include "document/SoftBreaks.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <atomic>

namespace velmor {

namespace {

constexpr int kSoftBreakId = QTextFormat::UserProperty + 0x5B1;
constexpr int kStandsFor = QTextFormat::UserProperty + 0x5B2;
// Set on a document once it may hold soft breaks, so that plain documents are read without
// looking at every block.
constexpr char kHoldsSoftBreaks[] = "velmorHoldsSoftBreaks";

std::atomic<int> g_nextSoftBreakId{1};

constexpr char16_t kBlanks[] = {u' ', u'\t', u'\u3000'};

bool isBlank(QChar c) { return std::find(std::begin(kBlanks), std::end(kBlanks), c.unicode()) != std::end(kBlanks); }

QStringView blankText(char16_t blank)
{
    static const char16_t texts[][2] = {{u' ', 0}, {u'\t', 0}, {u'\u3000', 0}};
    for (const auto& text : texts)
        if (text[0] == blank)
            return QStringView(text, 1);
    return {};
}

int softBreakId(const QTextBlock& block) { return block.blockFormat().intProperty(kSoftBreakId); }

bool isCopiedMark(const QTextBlock& block, int id)
{
    const QTextBlock previous = block.previous();
    return previous.isValid() && softBreakId(previous) == id;
}

bool isSoftBreakBefore(const QTextBlock& block)
{
    const int id = softBreakId(block);
    return id != 0 && block.previous().isValid() && !isCopiedMark(block, id);
}

bool holdsSoftBreaks(const QTextDocument& document) { return document.property(kHoldsSoftBreaks).toBool(); }

QTextBlockFormat withoutMark(QTextBlockFormat format)
{
    format.clearProperty(kSoftBreakId);
    format.clearProperty(kStandsFor);
    return format;
}

QTextBlockFormat softBreakFormat(const QTextBlockFormat& base, char16_t standsFor)
{
    QTextBlockFormat format = withoutMark(base);
    format.setProperty(kSoftBreakId, g_nextSoftBreakId++);
    if (standsFor != 0)
        format.setProperty(kStandsFor, int(standsFor));
    return format;
}

struct Cut {
    qsizetype at;       // where the next piece starts, less the blank when there is one
    char16_t standsFor; // the blank at `at` that the break replaces, or 0
};

// Cuts that leave no piece longer than kLongestBlock: at the last blank of the second half of
// each stretch, else right at its end (never inside a surrogate pair).
std::vector<Cut> cutsOf(QStringView paragraph)
{
    std::vector<Cut> cuts;
    qsizetype start = 0;
    while (paragraph.size() - start > kLongestBlock) {
        const qsizetype end = start + kLongestBlock;
        // A blank at the very end would leave an empty last piece.
        qsizetype blank = std::min(end, paragraph.size() - 2);
        while (blank > start + kLongestBlock / 2 && !isBlank(paragraph[blank]))
            --blank;
        if (isBlank(paragraph[blank]) && blank > start + kLongestBlock / 2) {
            cuts.push_back({blank, paragraph[blank].unicode()});
            start = blank + 1;
            continue;
        }
        const qsizetype at = paragraph[end - 1].isHighSurrogate() ? end - 1 : end;
        cuts.push_back({at, 0});
        start = at;
    }
    return cuts;
}

// Calls onParagraph for each paragraph of text; "\r\n", "\r" and "\n" end one.
template <typename F>
void forEachParagraph(QStringView text, F onParagraph)
{
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c != u'\n' && c != u'\r' && c != QChar::ParagraphSeparator)
            continue;
        onParagraph(text.mid(start, i - start), false);
        if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    onParagraph(text.mid(start), true);
}

// Keeps positions beside their characters when a block boundary is inserted at `at` (which
// then counts as the start of the next block) or removed from `at`.
void shiftForInsertedBoundary(std::span<int> keep, int at, int& to)
{
    for (int& position : keep)
        if (position >= at)
            ++position;
    if (to >= at)
        ++to;
}

void shiftForRemovedBoundary(std::span<int> keep, int at, int& to)
{
    for (int& position : keep)
        if (position > at)
            --position;
    if (to > at)
        --to;
}

// Two pieces of a paragraph are joined when one of them is empty or both fit in half a block
// (not in a whole one: a block just split in two would be joined again).
bool isShortPair(const QTextBlock& first, const QTextBlock& second)
{
    const int firstLength = first.length() - 1;
    const int secondLength = second.length() - 1;
    return firstLength == 0 || secondLength == 0 || firstLength + secondLength <= kLongestBlock / 2;
}

// Splits a long block; returns its last piece.
QTextBlock splitBlock(QTextDocument& document, const QTextBlock& block, std::span<int> keep, int& to)
{
    const QString text = block.text();
    const std::vector<Cut> cuts = cutsOf(text);
    const QTextBlockFormat format = block.blockFormat();
    const int start = block.position();
    int end = start + int(text.size());
    QTextCursor cursor(&document);
    for (auto cut = cuts.rbegin(); cut != cuts.rend(); ++cut) {
        const int at = start + int(cut->at);
        cursor.setPosition(at);
        if (cut->standsFor != 0)
            cursor.setPosition(at + 1, QTextCursor::KeepAnchor);
        else {
            shiftForInsertedBoundary(keep, at, to);
            ++end;
        }
        cursor.insertBlock(softBreakFormat(format, cut->standsFor));
    }
    document.setProperty(kHoldsSoftBreaks, true);
    return document.findBlock(end);
}

// Joins a piece of a paragraph to the piece before it; returns the joined block.
QTextBlock joinToPrevious(QTextDocument& document, const QTextBlock& block, std::span<int> keep, int& to)
{
    const QString standsFor = breakBefore(block).toString();
    const int boundary = block.position() - 1;
    QTextCursor cursor(&document);
    cursor.setPosition(boundary);
    cursor.setPosition(boundary + 1, QTextCursor::KeepAnchor);
    if (standsFor.isEmpty()) {
        cursor.removeSelectedText();
        shiftForRemovedBoundary(keep, boundary, to);
    } else {
        cursor.insertText(standsFor);
    }
    return document.findBlock(boundary);
}

// Clears the copies of a mark that new blocks took from the block before them.
void clearCopiedMarks(QTextBlock block, int id)
{
    for (; block.isValid() && softBreakId(block) == id; block = block.next())
        QTextCursor(block).setBlockFormat(withoutMark(block.blockFormat()));
}

} // namespace

QStringView breakBefore(const QTextBlock& block)
{
    if (!block.previous().isValid())
        return {};
    if (!isSoftBreakBefore(block))
        return u"\n";
    const QVariant standsFor = block.blockFormat().property(kStandsFor);
    return standsFor.isValid() ? blankText(char16_t(standsFor.toInt())) : QStringView();
}

QString wholeText(const QTextDocument& document)
{
    QString text = document.toRawText();
    if (!holdsSoftBreaks(document)) {
        for (QChar& c : text)
            if (c == QChar::ParagraphSeparator)
                c = u'\n';
        return text;
    }
    std::vector<qsizetype> dropped;
    for (QTextBlock block = document.begin().next(); block.isValid(); block = block.next()) {
        const qsizetype boundary = block.position() - 1;
        const QStringView standsFor = breakBefore(block);
        if (standsFor.isEmpty())
            dropped.push_back(boundary);
        else
            text[boundary] = standsFor[0];
    }
    if (dropped.empty())
        return text;
    QString kept;
    kept.reserve(text.size() - qsizetype(dropped.size()));
    qsizetype from = 0;
    for (const qsizetype boundary : dropped) {
        kept += QStringView(text).mid(from, boundary - from);
        from = boundary + 1;
    }
    kept += QStringView(text).mid(from);
    return kept;
}

QString textBetween(const QTextDocument& document, int from, int to)
{
    const int end = document.characterCount() - 1;
    from = std::clamp(from, 0, end);
    to = std::clamp(to, from, end);
    QString text;
    for (QTextBlock block = document.findBlock(from); block.isValid() && block.position() <= to; block = block.next()) {
        if (block.position() > from)
            text += breakBefore(block);
        const int start = std::max(from, block.position());
        const int stop = std::min(to, block.position() + block.length() - 1);
        text += block.text().mid(start - block.position(), stop - start);
    }
    return text;
}

TextPositions::TextPositions(const QTextDocument& document)
{
    if (!holdsSoftBreaks(document))
        return;
    for (QTextBlock block = document.begin().next(); block.isValid(); block = block.next()) {
        if (breakBefore(block).isEmpty()) {
            m_breakKeys.push_back(block.position() - 1 - qsizetype(m_emptyBreaks.size()));
            m_emptyBreaks.push_back(block.position() - 1);
        }
    }
}

int TextPositions::positionOf(qsizetype index) const
{
    return int(index + (std::lower_bound(m_breakKeys.begin(), m_breakKeys.end(), index) - m_breakKeys.begin()));
}

qsizetype TextPositions::indexOf(int position) const
{
    return position - (std::lower_bound(m_emptyBreaks.begin(), m_emptyBreaks.end(), position) - m_emptyBreaks.begin());
}

qsizetype textIndexOfPosition(const QTextDocument& document, int position)
{
    return TextPositions(document).indexOf(position);
}

int positionOfTextIndex(const QTextDocument& document, qsizetype index)
{
    return TextPositions(document).positionOf(index);
}

SplitText splitParagraphs(QStringView text)
{
    SplitText split;
    split.text.reserve(text.size() + text.size() / kLongestBlock + 1);
    int blockNumber = 0;
    forEachParagraph(text, [&](QStringView paragraph, bool last) {
        qsizetype start = 0;
        for (const Cut& cut : cutsOf(paragraph)) {
            split.text += paragraph.mid(start, cut.at - start);
            split.text += u'\n';
            split.softBreaks.push_back({++blockNumber, cut.standsFor});
            start = cut.at + (cut.standsFor != 0 ? 1 : 0);
        }
        split.text += paragraph.mid(start);
        if (!last) {
            split.text += u'\n';
            ++blockNumber;
        }
    });
    return split;
}

void markSoftBreaks(QTextDocument& document, const std::vector<SplitText::SoftBreak>& softBreaks)
{
    document.setProperty(kHoldsSoftBreaks, !softBreaks.empty());
    if (softBreaks.empty())
        return;
    const bool undo = document.isUndoRedoEnabled();
    document.setUndoRedoEnabled(false);
    QTextCursor cursor(&document);
    cursor.beginEditBlock();
    for (const SplitText::SoftBreak& softBreak : softBreaks) {
        const QTextBlock block = document.findBlockByNumber(softBreak.blockNumber);
        QTextCursor(block).setBlockFormat(softBreakFormat(block.blockFormat(), softBreak.standsFor));
    }
    cursor.endEditBlock();
    document.setUndoRedoEnabled(undo);
}

void setSplitText(QTextDocument& document, QStringView text)
{
    const SplitText split = splitParagraphs(text);
    document.setPlainText(split.text);
    markSoftBreaks(document, split.softBreaks);
}

void insertSplitText(QTextCursor& cursor, QStringView text)
{
    cursor.beginEditBlock();
    cursor.removeSelectedText();
    const QTextBlockFormat paragraph = withoutMark(cursor.blockFormat());
    bool split = false;
    forEachParagraph(text, [&](QStringView line, bool last) {
        qsizetype start = 0;
        for (const Cut& cut : cutsOf(line)) {
            cursor.insertText(line.mid(start, cut.at - start).toString());
            cursor.insertBlock(softBreakFormat(paragraph, cut.standsFor));
            start = cut.at + (cut.standsFor != 0 ? 1 : 0);
            split = true;
        }
        cursor.insertText(line.mid(start).toString());
        if (!last)
            cursor.insertBlock(paragraph);
    });
    cursor.endEditBlock();
    if (split)
        cursor.document()->setProperty(kHoldsSoftBreaks, true);
}

void joinSoftBreaks(QTextDocument& document)
{
    QTextCursor cursor(&document);
    cursor.beginEditBlock();
    // From the end, so that joining a block never changes how the blocks before it read.
    for (QTextBlock block = document.lastBlock(); block.isValid();) {
        const QTextBlock previous = block.previous();
        if (isSoftBreakBefore(block)) {
            cursor.setPosition(block.position() - 1);
            cursor.setPosition(block.position(), QTextCursor::KeepAnchor);
            cursor.insertText(breakBefore(block).toString());
        }
        block = previous;
    }
    cursor.endEditBlock();
}

bool settleBlocks(QTextDocument& document, int from, int to, std::span<int> keep)
{
    QTextCursor group(&document);
    bool changed = false;
    const auto change = [&] {
        if (!changed)
            group.beginEditBlock();
        changed = true;
    };
    // Copied marks go first: joining pieces could leave a copy behind a block it does not repeat.
    bool pastRange = false;
    for (QTextBlock block = document.findBlock(std::max(0, from)); block.isValid() && !pastRange;
         block = block.next()) {
        pastRange = block.position() > to;
        const int id = softBreakId(block);
        if (id != 0 && isCopiedMark(block, id)) {
            change();
            clearCopiedMarks(block, id);
        }
    }
    pastRange = false;
    for (QTextBlock block = document.findBlock(std::max(0, from)); block.isValid() && !pastRange;
         block = block.next()) {
        pastRange = block.position() > to;
        if (block.length() - 1 > kLongestBlock) {
            change();
            block = splitBlock(document, block, keep, to);
        } else if (isSoftBreakBefore(block) && isShortPair(block.previous(), block)) {
            change();
            block = joinToPrevious(document, block, keep, to);
        }
    }
    if (changed)
        group.endEditBlock();
    return changed;
}

} // namespace velmor
