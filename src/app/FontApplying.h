#pragma once

#include <QColor>
#include <QString>

namespace velmor {

class TRichEdit98;

// The look the text box gives its text: face, size in points, text and background colours.
struct FontLook {
    QString face;
    int pointSize = 11;
    QColor textColor;
    QColor background;
};

// Makes the look the text box's default, the look of text typed next, and gives every
// character in the box that size and text colour; faces and background colours that
// characters have of their own stay.
void ApplyFont(TRichEdit98& box, const FontLook& look);

// Gives every character the box's own face and size; colours, backgrounds and the marks
// over the text stay, and so does the text itself.
void ApplyBoxFace(TRichEdit98& box);

// ApplyBoxFace (called while the face is "ＭＳ Ｐ明朝"), then collapses the selection to its start.
void ApplyMincho(TRichEdit98& box);

} // namespace velmor
