#pragma once

#include <QString>
#include <QStringView>
#include <vector>

namespace velmor {

// Numbers in Japanese text read by what they are (phone numbers, postcodes, addresses, clock
// times, dates, ranges, fractions, decimals, percentages, prices, temperatures, units, counters
// whose sounds change), and signs read as a Japanese reader says them, before a dictionary sees
// the text: it would read each digit group as a quantity and the signs as nothing or as English.

// A piece of reading, in katakana ("、" where a reader pauses), and the text it reads.
struct NumberReadingPart {
    QString reading;
    int begin = 0;
    int end = 0;
};

// One recognised expression: text[begin, end) is read by its parts, in order; what no part
// covers (brackets, a postcode mark) is silent.
struct NumberExpression {
    int begin = 0;
    int end = 0;
    std::vector<NumberReadingPart> parts;
};

// The recognised expressions of text, in order and not overlapping, found in one pass. Digits
// and signs may be ASCII or full width. A number that is nothing more than a quantity (or one
// read by a counter that changes no sounds) is not among them: the dictionary reads it in its
// context.
std::vector<NumberExpression> findNumberExpressions(QStringView text);

} // namespace velmor
