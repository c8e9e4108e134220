#pragma once

#include <QString>

namespace velmor {

// Trimming removes characters whose code is below 33 (spaces, tabs, line ends and the other
// control characters), not only spaces.
inline bool isBlank(QChar c) { return c.unicode() < 33; }

QString trimBlanks(const QString& text);
QString trimEnd(const QString& text);

} // namespace velmor
