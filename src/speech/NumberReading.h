#pragma once

#include <QString>
#include <QStringView>
#include <cstdint>
#include <optional>

namespace velmor {

// Japanese readings of numbers, in katakana as the Japanese voice reads them.

// The value of a whole number written in ASCII digits (thousands may be grouped with commas)
// or in kanji numerals (二千二十四, or digit by digit as 二〇二四); none for anything else or
// beyond 16 digits.
std::optional<std::uint64_t> numberValue(QStringView written);

// 2024 as ニセンニジューヨン, 0 as ゼロ.
QString numberReading(std::uint64_t n);

// Digits one by one (0120 as ゼロイチニゼロ), for numbers that start with 0 or are too long.
QString digitsReading(QStringView digits);

// The reading of a number with the counter word after it, where the counter changes the sounds
// (3本 as サンボン, 1人 as ヒトリ, 20日 as ハツカ, 4月 as シガツ); a day after a month is a date
// (1日 as ツイタチ). Empty for counters that change nothing: the number and the counter are
// then read each on its own.
QString countedReading(std::uint64_t n, QStringView counter, bool afterMonth);

} // namespace velmor
