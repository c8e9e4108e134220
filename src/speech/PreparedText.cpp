#include "speech/PreparedText.h"

#include <algorithm>

namespace velmor {

namespace {

constexpr qsizetype kFirstCapacity = 128;

} // namespace

void PreparedText::append(QStringView piece, SourceSpan from)
{
    // Readings come a word at a time: room for a sentence's worth at the first.
    if (text.isEmpty()) {
        text.reserve(kFirstCapacity);
        sources.reserve(kFirstCapacity);
    }
    const qsizetype size = text.size();
    text.resize(size + piece.size());
    std::copy(piece.begin(), piece.end(), text.begin() + size);
    // Pieces are a word or less: a loop costs less here than a general fill.
    for (qsizetype i = 0; i < piece.size(); ++i)
        sources.push_back(from);
}

void PreparedText::appendVerbatim(QStringView piece, int firstSource)
{
    text += piece;
    sources.reserve(sources.size() + std::size_t(piece.size()));
    for (int i = 0; i < piece.size(); ++i)
        sources.push_back({firstSource + i, firstSource + i + 1});
}

SourceSpan PreparedText::sourceOf(int begin, int end) const
{
    if (sources.empty())
        return {begin, end};
    const int last = int(sources.size()) - 1;
    begin = std::clamp(begin, 0, last);
    end = std::clamp(end, begin + 1, last + 1);
    return {sources[std::size_t(begin)].begin, sources[std::size_t(end - 1)].end};
}

} // namespace velmor
