#pragma once

#include <QString>
#include <QStringView>
#include <optional>
#include <vector>

namespace velmor {

// Searching and replacing in the text box's text. Positions count UTF-16 code units, a
// paragraph break counting as one; comparisons are exact, so case matters.

// The first occurrence of what that lies wholly inside start .. start + length; a length of
// zero or less runs to the end of the text. -1 when there is none, and for an empty what.
int findInRange(QStringView text, QStringView what, int start, int length);

// The last occurrence of what that ends at or before limit: -1 when there is none, so always
// for a limit of 0, and for an empty what.
int findLastBefore(QStringView text, QStringView what, int limit);

// length characters at start give way to text.
struct TextEdit {
    int start = 0;
    int length = 0;
    QString text;

    bool operator==(const TextEdit&) const = default;
};

// Replace All: takes the first occurrence of what in the whole text and replaces it, then
// starts again from the beginning, until no occurrence is left; so an occurrence that a
// replacement forms with its neighbours is replaced too ("ab" by "a" in "abb" gives "a").
// When the replacement holds what, those passes never end: each occurrence present in the
// text is replaced once instead. Gives the edits on the original text, in order and apart
// from one another; none when the text would not change.
// Nothing when the passes do not settle within a bound on the work and on the text's growth:
// the replacements keep forming new occurrences, for ever or far too long.
// Runs in time proportional to the text and the replacements made, not their product.
std::optional<std::vector<TextEdit>> replaceAllEdits(QStringView text, QStringView what, QStringView replacement);

} // namespace velmor
