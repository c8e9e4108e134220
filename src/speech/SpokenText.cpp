#include "speech/SpokenText.h"

#include <algorithm>

namespace velmor {

SpokenText::SpokenText(QString text, qsizetype start)
    : m_text(std::move(text))
    , m_start(start)
{
    // Read only: the text must keep sharing its data with the string handed to the engine.
    const QStringView spoken(m_text);
    for (qsizetype i = 0; (i = spoken.indexOf(u'\r', i)) >= 0 && i + 1 < spoken.size(); ++i) {
        if (spoken[i + 1] == u'\n')
            m_added.push_back(i);
    }
}

bool SpokenText::isAdded(qsizetype offset) const { return std::binary_search(m_added.begin(), m_added.end(), offset); }

qsizetype SpokenText::sourceIndex(qsizetype offset) const
{
    const auto addedBefore = std::lower_bound(m_added.begin(), m_added.end(), offset) - m_added.begin();
    return m_start + offset - addedBefore;
}

std::optional<TextRange> SpokenText::sourceRange(qsizetype offset, qsizetype length) const
{
    qsizetype from = std::clamp<qsizetype>(offset, 0, m_text.size());
    qsizetype to = std::clamp<qsizetype>(offset + length, from, m_text.size());
    while (from < to && isAdded(from))
        ++from;
    while (to > from && isAdded(to - 1))
        --to;
    if (from == to)
        return std::nullopt;
    const qsizetype start = sourceIndex(from);
    return TextRange{start, sourceIndex(to) - start};
}

qsizetype SpokenText::sourceEnd() const { return sourceIndex(m_text.size()); }

void EditLog::note(int from, int removed, int added)
{
    // Same length: a change of format, or text replaced in place; no position moves.
    if (removed != added)
        m_edits.push_back({from, removed, added});
}

std::optional<int> EditLog::positionNow(int position) const
{
    for (const Edit& edit : m_edits) {
        if (position >= edit.from + edit.removed)
            position += edit.added - edit.removed;
        else if (position >= edit.from)
            return std::nullopt;
    }
    return position;
}

} // namespace velmor
