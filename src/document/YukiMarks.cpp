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
    const QString text = document.toPlainText();
    QTextCharFormat marked;
    marked.setForeground(markColor);
    QTextCursor cursor(&document);
    cursor.beginEditBlock();
    for (qsizetype at = text.indexOf(mark); at >= 0; at = text.indexOf(mark, at + mark.size())) {
        cursor.setPosition(int(at));
        cursor.setPosition(int(at + mark.size()), QTextCursor::KeepAnchor);
        cursor.mergeCharFormat(marked);
    }
    cursor.endEditBlock();
    QTextCharFormat normal = box.currentCharFormat();
    normal.setForeground(normalColor);
    box.setCurrentCharFormat(normal);
}

} // namespace velmor
