#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>

namespace velmor {

// The user's short date, a space and the long time, as "2005/12/25 14:30:05" under ja_JP.
// The long time is the short time pattern with seconds: the locale's long pattern also
// carries the time zone, which a date stamp in a text does not want.
QString dateStamp(const QDateTime& when, const QLocale& locale = QLocale::system());

} // namespace velmor
