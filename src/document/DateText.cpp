#include "document/DateText.h"

namespace velmor {

QString dateStamp(const QDateTime& when, const QLocale& locale)
{
    QString timePattern = locale.timeFormat(QLocale::ShortFormat);
    if (!timePattern.contains(u's')) {
        const qsizetype minutes = timePattern.lastIndexOf(QStringLiteral("mm"));
        if (minutes >= 0)
            timePattern.insert(minutes + 2, QStringLiteral(":ss"));
    }
    return locale.toString(when.date(), QLocale::ShortFormat) + u' ' + locale.toString(when.time(), timePattern);
}

} // namespace velmor
