#pragma once

#include <QColor>
#include <QString>
#include <QStringView>

#include <span>
#include <vector>

class QPlainTextEdit;

namespace velmor {

// The Yuki mark: "*" drawn in its own colour.
inline const QString kYukiMark = QStringLiteral("*");
inline const QColor kYukiColor{235, 168, 118};

// Colours every occurrence of mark in the box with markColor (text colour only) and leaves
// normalColor as the colour of text typed next. Nothing happens to an empty box.
void AddYukiColor(QPlainTextEdit& box, const QString& mark, const QColor& markColor, const QColor& normalColor);

// Where AddYukiColor would colour mark in text, one occurrence after the other. On a text split
// for loading (SoftBreaks.h), whose indexes are the positions it gets in the box, this can run
// on any thread before the text is in.
std::vector<int> findMarks(QStringView text, QStringView mark);
// AddYukiColor with the marks already found, for a box holding that text.
void colourMarks(QPlainTextEdit& box, std::span<const int> positions, int markLength, const QColor& markColor,
                 const QColor& normalColor);

} // namespace velmor
