#include "input/TextTrim.h"

namespace velmor {

QString trimEnd(const QString& text)
{
    qsizetype end = text.size();
    while (end > 0 && isBlank(text[end - 1]))
        --end;
    return text.left(end);
}

QString trimBlanks(const QString& text)
{
    const QString trimmed = trimEnd(text);
    qsizetype start = 0;
    while (start < trimmed.size() && isBlank(trimmed[start]))
        ++start;
    return trimmed.mid(start);
}

} // namespace velmor
