#include "QtPrinters.h"

#include "document/DateText.h"

#include <gtest/gtest.h>

using velmor::dateStamp;

TEST(DateStamp, ShortDateSpaceLongTimeInTheLocale)
{
    const QDateTime when(QDate(2005, 12, 25), QTime(14, 30, 5));
    EXPECT_EQ(dateStamp(when, QLocale(QStringLiteral("ja_JP"))), QStringLiteral("2005/12/25 14:30:05"));
    EXPECT_EQ(dateStamp(when, QLocale(QStringLiteral("de_DE"))), QStringLiteral("25.12.05 14:30:05"));
    EXPECT_EQ(dateStamp(when, QLocale(QStringLiteral("en_US"))), QStringLiteral("12/25/05 2:30:05 PM"));
}
