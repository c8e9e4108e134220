#include "core/Abbreviations.h"

#include <QChar>
#include <array>

namespace velmor {

namespace {

bool isWordUnit(QChar c) { return c.isLetterOrNumber() || c == u'.'; }

// The longest abbreviation known, "Mrs" or "e.g", without its last full stop.
constexpr qsizetype kLongestAbbreviation = 3;

} // namespace

bool abbreviationKeepsSentence(QStringView text, qsizetype dot)
{
    if (dot < 0 || dot >= text.size() || text[dot] != u'.')
        return false;
    qsizetype start = dot;
    while (start > 0 && isWordUnit(text[start - 1])) {
        if (dot - start == kLongestAbbreviation)
            return false;
        --start;
    }
    const QStringView word = text.sliced(start, dot - start);
    qsizetype next = dot + 1;
    while (next < text.size() && (text[next] == u' ' || text[next] == u'\t' || text[next] == QChar(0xA0)))
        ++next;
    const QChar following = next < text.size() ? text[next] : QChar();

    static constexpr std::array<QStringView, 8> kAlwaysOpen{u"Dr", u"Mr", u"Mrs", u"Ms", u"St", u"e.g", u"i.e", u"vs"};
    for (QStringView abbreviation : kAlwaysOpen)
        if (word.compare(abbreviation, Qt::CaseInsensitive) == 0)
            return true;
    if (word.compare(u"No", Qt::CaseInsensitive) == 0)
        return following.isDigit();
    // A list that trails off may also be where the sentence ends.
    if (word.compare(u"etc", Qt::CaseInsensitive) == 0)
        return following.isLower() || following.isDigit() || following == u',';
    return false;
}

} // namespace velmor
