#include "app/FontApplying.h"

#include "widgets/TRichEdit98.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <initializer_list>
#include <vector>

namespace velmor {

namespace {

using Properties = std::initializer_list<QTextFormat::Property>;

bool hasAny(const QTextFormat& format, Properties properties)
{
    for (QTextFormat::Property property : properties) {
        if (format.hasProperty(property))
            return true;
    }
    return false;
}

// Takes the properties out of every character format that has them, so that those
// characters show the box's own font and colour again.
void clearCharProperties(TRichEdit98& box, Properties properties)
{
    QTextCharFormat typing = box.currentCharFormat();
    for (QTextFormat::Property property : properties)
        typing.clearProperty(property);

    QTextDocument& document = *box.document();
    bool used = false;
    // The formats ever used are few; walking the text is only worth it when one has them.
    for (const QTextFormat& format : document.allFormats())
        used = used || (format.isCharFormat() && hasAny(format, properties));
    if (used) {
        struct Run {
            int position;
            int length;
            QTextCharFormat format;
        };
        std::vector<Run> runs;
        for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
            for (auto it = block.begin(); !it.atEnd(); ++it) {
                const QTextFragment fragment = it.fragment();
                QTextCharFormat format = fragment.charFormat();
                if (!hasAny(format, properties))
                    continue;
                for (QTextFormat::Property property : properties)
                    format.clearProperty(property);
                runs.push_back({fragment.position(), fragment.length(), format});
            }
        }
        QTextCursor cursor(&document);
        cursor.beginEditBlock();
        for (const Run& run : runs) {
            cursor.setPosition(run.position);
            cursor.setPosition(run.position + run.length, QTextCursor::KeepAnchor);
            cursor.setCharFormat(run.format);
        }
        cursor.endEditBlock();
    }
    // With a selection this would format the selected text; its characters were done above.
    if (!box.textCursor().hasSelection())
        box.setCurrentCharFormat(typing);
}

} // namespace

void ApplyFont(TRichEdit98& box, const FontLook& look)
{
    box.setBackgroundColor(look.background);
    box.setTextColor(look.textColor);
    box.setDefaultFont(look.face, look.pointSize);
    clearCharProperties(box, {QTextFormat::FontPointSize, QTextFormat::FontPixelSize, QTextFormat::ForegroundBrush});
}

void ApplyBoxFace(TRichEdit98& box)
{
    clearCharProperties(box, {QTextFormat::FontPointSize, QTextFormat::FontPixelSize, QTextFormat::FontFamilies,
                              QTextFormat::FontFamily});
}

void ApplyMincho(TRichEdit98& box)
{
    const int caret = box.selStart();
    ApplyBoxFace(box);
    box.setSelection(caret, 0);
}

} // namespace velmor
