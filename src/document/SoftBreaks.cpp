#include "document/SoftBreaks.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <atomic>
#include <optional>

namespace velmor {

namespace {

constexpr int kSoftBreakId = QTextFormat::UserProperty + 0x5B1;
constexpr int kStandsFor = QTextFormat::UserProperty + 0x5B2;
// Set on a document once it may hold soft breaks, so that plain documents are read without
// looking at every block.
constexpr char kHoldsSoftBreaks[] = "velmorHoldsSoftBreaks";
// Set on a document whose line separators stand for paragraph breaks.
constexpr char kGroupsLines[] = "velmorGroupsLines";

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
bool groupsLines(const QTextDocument& document) { return document.property(kGroupsLines).toBool(); }

// Marks a line separator that a user typed or pasted into a document whose own separators
// join grouped lines: it stays a character of the text.
constexpr int kOwnLineSeparator = QTextFormat::UserProperty + 0x5B3;

bool holdsOwnLineSeparators(const QTextDocument& document)
{
    const QList<QTextFormat> formats = document.allFormats();
    return std::ranges::any_of(formats, [](const QTextFormat& format) { return format.hasProperty(kOwnLineSeparator); });
}

// How the line separators of a document read: as themselves, as "\n" (they join grouped lines),
// or as "\n" except those a user typed or pasted.
enum class LineSeparators { Kept, JoinLines, JoinLinesAndKept };

LineSeparators lineSeparatorsOf(const QTextDocument& document)
{
    if (!groupsLines(document))
        return LineSeparators::Kept;
    return holdsOwnLineSeparators(document) ? LineSeparators::JoinLinesAndKept : LineSeparators::JoinLines;
}

// Turns the line separators that join grouped lines into "\n" in text, the document's text from
// position `from` on (block boundaries counted as one character each).
QString readGroupedLines(const QTextDocument& document, QString text, int from, LineSeparators separators)
{
    if (separators == LineSeparators::Kept)
        return text;
    for (QChar& c : text)
        if (c == QChar::LineSeparator)
            c = u'\n';
    if (separators == LineSeparators::JoinLines)
        return text;
    const qsizetype to = from + text.size();
    for (QTextBlock block = document.findBlock(from); block.isValid() && block.position() < to; block = block.next()) {
        for (auto fragments = block.begin(); !fragments.atEnd(); ++fragments) {
            const QTextFragment fragment = fragments.fragment();
            if (!fragment.charFormat().hasProperty(kOwnLineSeparator))
                continue;
            const QString fragmentText = fragment.text();
            for (qsizetype i = 0; i < fragmentText.size(); ++i) {
                const qsizetype at = fragment.position() + i - from;
                if (fragmentText[i] == QChar::LineSeparator && at >= 0 && at < text.size())
                    text[at] = QChar::LineSeparator;
            }
        }
    }
    return text;
}

QTextBlockFormat withoutMark(QTextBlockFormat format)
{
    format.clearProperty(kSoftBreakId);
    format.clearProperty(kStandsFor);
    return format;
}

QTextBlockFormat softBreakFormat(const QTextBlockFormat& base, char16_t standsFor)
{
    QTextBlockFormat format = withoutMark(base);
    // A cut at a line break of grouped lines is a paragraph break.
    if (standsFor == u'\n')
        return format;
    format.setProperty(kSoftBreakId, g_nextSoftBreakId++);
    if (standsFor != 0)
        format.setProperty(kStandsFor, int(standsFor));
    return format;
}

struct Cut {
    qsizetype at;       // where the next piece starts, less the blank when there is one
    char16_t standsFor; // the blank (or line break of grouped lines) at `at` that the break replaces, or 0
};

// Cuts that leave no piece longer than kLongestBlock: at the last line break of grouped lines
// (read as "\n") or else the last blank of the second half of each stretch, else right at its
// end (never inside a surrogate pair). A piece grown just past kLongestBlock by typing, with
// no blank to cut at, is cut in its middle instead (roomToGrow): cut at its end, every further
// key typed in it would cut it again, laying out the whole piece twice and leaving a piece of
// one character behind each time.
std::vector<Cut> cutsOf(QStringView paragraph, bool roomToGrow = false)
{
    std::vector<Cut> cuts;
    qsizetype start = 0;
    const auto lastInSecondHalf = [&](auto matches) -> qsizetype {
        // A cut at the very end would leave an empty last piece.
        qsizetype at = std::min(start + kLongestBlock, paragraph.size() - 2);
        while (at > start + kLongestBlock / 2 && !matches(paragraph[at]))
            --at;
        return matches(paragraph[at]) && at > start + kLongestBlock / 2 ? at : -1;
    };
    while (paragraph.size() - start > kLongestBlock) {
        qsizetype at = lastInSecondHalf([](QChar c) { return c == u'\n'; });
        if (at < 0)
            at = lastInSecondHalf(isBlank);
        if (at >= 0) {
            cuts.push_back({at, paragraph[at].unicode()});
            start = at + 1;
            continue;
        }
        const qsizetype left = paragraph.size() - start;
        const qsizetype end = start + (roomToGrow && left <= 2 * kLongestBlock ? left / 2 : kLongestBlock);
        at = paragraph[end - 1].isHighSurrogate() ? end - 1 : end;
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
    const std::vector<Cut> cuts =
        cutsOf(readGroupedLines(document, block.text(), block.position(), lineSeparatorsOf(document)), true);
    const QTextBlockFormat format = block.blockFormat();
    const int start = block.position();
    int end = start + block.length() - 1;
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
    QString text = readGroupedLines(document, document.toRawText(), 0, lineSeparatorsOf(document));
    for (QChar& c : text)
        if (c == QChar::ParagraphSeparator)
            c = u'\n';
    if (!holdsSoftBreaks(document))
        return text;
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
    // Looked up once: it goes through every format of the document, and a long paragraph has
    // one per piece.
    const LineSeparators separators = lineSeparatorsOf(document);
    QString text;
    for (QTextBlock block = document.findBlock(from); block.isValid() && block.position() <= to; block = block.next()) {
        if (block.position() > from)
            text += breakBefore(block);
        const int start = std::max(from, block.position());
        const int stop = std::min(to, block.position() + block.length() - 1);
        text += readGroupedLines(document, block.text().mid(start - block.position(), stop - start), start, separators);
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

SplitText splitParagraphs(QStringView text, bool groupLines)
{
    SplitText split;
    split.text.reserve(text.size() + text.size() / kLongestBlock + 1);
    groupLines = groupLines && !text.contains(QChar::LineSeparator);
    int blockNumber = 0;
    int lines = 0; // lines in the block being filled
    qsizetype blockStart = 0;
    const auto endBlock = [&](std::optional<char16_t> softBreak) {
        split.text += u'\n';
        ++blockNumber;
        if (softBreak)
            split.softBreaks.push_back({blockNumber, *softBreak});
        if (groupLines)
            split.groupedLines.push_back(lines);
        lines = 0;
        blockStart = split.text.size();
    };
    forEachParagraph(text, [&](QStringView paragraph, bool last) {
        const std::vector<Cut> cuts = cutsOf(paragraph);
        if (lines > 0) {
            // A short line joins the group before it while both fit in a block.
            if (groupLines && cuts.empty() && split.text.size() - blockStart + 1 + paragraph.size() <= kLongestBlock)
                split.text += QChar::LineSeparator;
            else
                endBlock(std::nullopt);
        }
        qsizetype start = 0;
        for (const Cut& cut : cuts) {
            split.text += paragraph.mid(start, cut.at - start);
            lines = 1;
            endBlock(cut.standsFor);
            start = cut.at + (cut.standsFor != 0 ? 1 : 0);
        }
        split.text += paragraph.mid(start);
        ++lines;
        if (last && groupLines)
            split.groupedLines.push_back(lines);
    });
    return split;
}

SplitText splitForLoading(QStringView text) { return splitParagraphs(text, text.size() >= kGroupLinesFrom); }

void markSoftBreaks(QTextDocument& document, const SplitText& split)
{
    document.setProperty(kHoldsSoftBreaks, !split.softBreaks.empty());
    document.setProperty(kGroupsLines, !split.groupedLines.empty());
    // A block of grouped lines counts its lines before it is laid out, so that line numbers and
    // the scroll bar are right from the start.
    QTextBlock block = document.begin();
    for (const int lines : split.groupedLines) {
        if (lines > 1)
            block.setLineCount(lines);
        block = block.next();
    }
    if (split.softBreaks.empty())
        return;
    const bool undo = document.isUndoRedoEnabled();
    document.setUndoRedoEnabled(false);
    QTextCursor cursor(&document);
    cursor.beginEditBlock();
    for (const SplitText::SoftBreak& softBreak : split.softBreaks) {
        const QTextBlock block = document.findBlockByNumber(softBreak.blockNumber);
        QTextCursor(block).setBlockFormat(softBreakFormat(block.blockFormat(), softBreak.standsFor));
    }
    cursor.endEditBlock();
    document.setUndoRedoEnabled(undo);
}

void setSplitText(QTextDocument& document, QStringView text, bool groupLines)
{
    const SplitText split = splitParagraphs(text, groupLines);
    document.setPlainText(split.text);
    markSoftBreaks(document, split);
}

void insertSplitText(QTextCursor& cursor, QStringView text)
{
    cursor.beginEditBlock();
    cursor.removeSelectedText();
    const QTextBlockFormat paragraph = withoutMark(cursor.blockFormat());
    const QTextCharFormat characters = cursor.charFormat();
    const bool grouped = groupsLines(*cursor.document());
    const auto insert = [&](QStringView piece) {
        if (!grouped)
            return cursor.insertText(piece.toString());
        QTextCharFormat own = characters;
        own.setProperty(kOwnLineSeparator, true);
        qsizetype start = 0;
        for (qsizetype at = piece.indexOf(QChar::LineSeparator); at >= 0; at = piece.indexOf(QChar::LineSeparator, start)) {
            cursor.insertText(piece.mid(start, at - start).toString(), characters);
            cursor.insertText(QString(QChar::LineSeparator), own);
            start = at + 1;
        }
        cursor.insertText(piece.mid(start).toString(), characters);
    };
    bool split = false;
    forEachParagraph(text, [&](QStringView line, bool last) {
        qsizetype start = 0;
        for (const Cut& cut : cutsOf(line)) {
            insert(line.mid(start, cut.at - start));
            cursor.insertBlock(softBreakFormat(paragraph, cut.standsFor));
            start = cut.at + (cut.standsFor != 0 ? 1 : 0);
            split = true;
        }
        insert(line.mid(start));
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
