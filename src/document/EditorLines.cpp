#include "document/EditorLines.h"

#include "document/SoftBreaks.h"

#include <QAbstractTextDocumentLayout>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

namespace velmor {

namespace {

// A block that has not been laid out yet counts as one display line, as the document's
// line index counts it; that keeps row numbers and line look-ups consistent. A block that
// holds several lines (joined by line separators) is laid out before its lines are counted.
bool isLaidOut(const QTextBlock& block)
{
    const QTextLayout* layout = block.layout();
    if (layout && layout->lineCount() == 0 && block.text().contains(QChar::LineSeparator))
        block.document()->documentLayout()->blockBoundingRect(block);
    return layout && layout->lineCount() > 0;
}

// A display line's text without the line separator that may end it.
QString withoutLineEnd(QString text)
{
    if (text.endsWith(QChar::LineSeparator))
        text.chop(1);
    return text;
}

QTextLine lineInBlock(const QTextBlock& block, int row)
{
    if (!isLaidOut(block))
        return {};
    return block.layout()->lineAt(row - block.firstLineNumber());
}

} // namespace

CaretPlace caretPlace(const QTextDocument& document, int position)
{
    const QTextBlock block = document.findBlock(position);
    if (!block.isValid())
        return {};
    const int inBlock = position - block.position();
    CaretPlace place{block.firstLineNumber(), inBlock};
    if (isLaidOut(block)) {
        const QTextLine line = block.layout()->lineForTextPosition(inBlock);
        if (line.isValid()) {
            place.row += line.lineNumber();
            place.column = inBlock - line.textStart();
        }
    }
    return place;
}

int displayLineCount(const QTextDocument& document)
{
    const QTextBlock last = document.lastBlock();
    isLaidOut(last);
    return last.firstLineNumber() + std::max(1, last.lineCount());
}

QString displayLineText(const QTextDocument& document, int row, int maxChars)
{
    const QTextBlock block = document.findBlockByLineNumber(row);
    if (!block.isValid() || row < 0)
        return {};
    const QString text = block.text();
    const QTextLine line = lineInBlock(block, row);
    if (!line.isValid())
        return text.left(maxChars);
    return withoutLineEnd(text.mid(line.textStart(), std::min(line.textLength(), maxChars)));
}

int displayLineStart(const QTextDocument& document, int row)
{
    const QTextBlock block = document.findBlockByLineNumber(row);
    if (!block.isValid() || row < 0)
        return row < 0 ? 0 : document.characterCount() - 1;
    const QTextLine line = lineInBlock(block, row);
    return block.position() + (line.isValid() ? line.textStart() : 0);
}

int endLineCaretPosition(const QTextDocument& document)
{
    const int lastRow = displayLineCount(document) - 1;
    int row = lastRow;
    while (row >= 0 && displayLineText(document, row, 1).isEmpty())
        --row;
    if (row < 0)
        return 0;
    return displayLineStart(document, row == lastRow ? lastRow : row + 1);
}

QString gatherWholeText(const QTextDocument& document) { return linesWithCrLf(wholeText(document)); }

QString linesWithCrLf(const QString& plain)
{
    if (plain.isEmpty())
        return {};
    QString whole = lineBreaksAsCrLf(plain);
    if (!plain.endsWith(u'\n'))
        whole += QStringLiteral("\r\n");
    return whole;
}

QString lineBreaksAsCrLf(QStringView text)
{
    QString converted;
    converted.reserve(text.size() + text.size() / 16 + 2);
    qsizetype from = 0;
    for (qsizetype lineEnd; (lineEnd = text.indexOf(u'\n', from)) >= 0; from = lineEnd + 1) {
        converted += text.sliced(from, lineEnd - from);
        converted += QStringView(u"\r\n");
    }
    converted += text.sliced(from);
    return converted;
}

QString lineColumnText(int row, int column)
{
    return QString::asprintf("Line: %-5d  Col: %-5d", row + 1, column);
}

} // namespace velmor
