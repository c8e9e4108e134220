#include "document/YukiMarks.h"

#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTextDocument>

namespace velmor {

void AddYukiColor(QPlainTextEdit& box, const QString& mark, const QColor& markColor, const QColor& normalColor)
{
    QTextDocument& document = *box.document();
    if (document.isEmpty() || mark.isEmpty())
        return;
    // Searching a copy of the text is far cheaper than the document's own search on big texts.
    colourMarks(box, findMarks(document.toPlainText(), mark), int(mark.size()), markColor, normalColor);
}

std::vector<int> findMarks(QStringView text, QStringView mark)
{
    std::vector<int> positions;
    if (mark.isEmpty())
        return positions;
    for (qsizetype at = text.indexOf(mark); at >= 0; at = text.indexOf(mark, at + mark.size()))
        positions.push_back(int(at));
    return positions;
}

void colourMarks(QPlainTextEdit& box, std::span<const int> positions, int markLength, const QColor& markColor,
                 const QColor& normalColor)
{
    QTextCharFormat marked;
    marked.setForeground(markColor);
    QTextCursor cursor(box.document());
    cursor.beginEditBlock();
    for (const int at : positions) {
        cursor.setPosition(at);
        cursor.setPosition(at + markLength, QTextCursor::KeepAnchor);
        cursor.mergeCharFormat(marked);
    }
    cursor.endEditBlock();
    QTextCharFormat normal = box.currentCharFormat();
    normal.setForeground(normalColor);
    box.setCurrentCharFormat(normal);
}

} // namespace velmor
