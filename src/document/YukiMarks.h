#pragma once

#include <QColor>
#include <QString>

class QPlainTextEdit;

namespace velmor {

// The Yuki mark: "*" drawn in its own colour.
inline const QString kYukiMark = QStringLiteral("*");
inline const QColor kYukiColor{235, 168, 118};

// Colours every occurrence of mark in the box with markColor (text colour only) and leaves
// normalColor as the colour of text typed next. Nothing happens to an empty box.
void AddYukiColor(QPlainTextEdit& box, const QString& mark, const QColor& markColor, const QColor& normalColor);

} // namespace velmor
