#pragma once

#include "widgets/TRichEdit98.h"

#include <QColor>
#include <QString>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>
#include <algorithm>

namespace textprobes {

// A text of exactly size characters, made of the sentence repeated.
inline QString words(qsizetype size,
                     const QString& sentence = QStringLiteral("Lorem ipsum dolor sit amet, consectetur adipiscing elit. "))
{
    return sentence.repeated(size / sentence.size() + 1).left(size);
}

// The length of the document's longest block, its break not counted.
inline int longestBlock(const QTextDocument& document)
{
    int longest = 0;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        longest = std::max(longest, block.length() - 1);
    return longest;
}

// The background the text box shows at a position: the last highlight over it wins.
inline QColor markAt(const velmor::TRichEdit98& editor, int position)
{
    QColor shown;
    for (const QTextEdit::ExtraSelection& highlight : editor.highlights())
        if (highlight.cursor.selectionStart() <= position && position < highlight.cursor.selectionEnd())
            shown = highlight.format.background().color();
    return shown;
}

} // namespace textprobes
