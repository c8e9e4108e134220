#pragma once

#include <QStringView>

namespace velmor {

// Whether the full stop at text[dot] closes a common English abbreviation that leaves the sentence
// open: a title before a name (Dr. Mr. Mrs. Ms. St.), "e.g.", "i.e.", "vs.", "No." before a
// number, and "etc." unless a capital or the end of the line follows it.
bool abbreviationKeepsSentence(QStringView text, qsizetype dot);

} // namespace velmor
