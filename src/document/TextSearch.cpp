#include "document/TextSearch.h"

#include <algorithm>
#include <optional>

namespace velmor {

int findInRange(QStringView text, QStringView what, int start, int length)
{
    if (what.isEmpty())
        return -1;
    const qsizetype from = std::clamp<qsizetype>(start, 0, text.size());
    const qsizetype end = length <= 0 ? text.size() : std::min(text.size(), from + length);
    if (end - from < what.size())
        return -1;
    return int(text.first(end).indexOf(what, from));
}

int findLastBefore(QStringView text, QStringView what, int limit)
{
    const qsizetype end = std::clamp<qsizetype>(limit, 0, text.size());
    if (what.isEmpty() || end < what.size())
        return -1;
    return int(text.first(end).lastIndexOf(what));
}

namespace {

// The characters a chain of replacements may read beyond a few times what one pass reads
// (under a second of work), and the characters its result may have beyond a few times
// the text or one pass's result.
constexpr qsizetype kChainReads = qsizetype(1) << 26;
constexpr qsizetype kChainGrowth = qsizetype(1) << 16;

// For each prefix of what, the length of its longest proper prefix that is also its suffix.
std::vector<int> borders(QStringView what)
{
    std::vector<int> border(std::size_t(what.size()), 0);
    int k = 0;
    for (qsizetype i = 1; i < what.size(); ++i) {
        while (k > 0 && what[i] != what[k])
            k = border[std::size_t(k - 1)];
        if (what[i] == what[k])
            ++k;
        border[std::size_t(i)] = k;
    }
    return border;
}

std::vector<TextEdit> withoutNoOps(QStringView text, std::vector<TextEdit> edits)
{
    std::erase_if(edits, [text](const TextEdit& e) { return text.sliced(e.start, e.length) == e.text; });
    return edits;
}

std::vector<TextEdit> replaceEachOnce(QStringView text, QStringView what, const QString& replacement)
{
    std::vector<TextEdit> edits;
    for (qsizetype at = text.indexOf(what); at >= 0; at = text.indexOf(what, at + what.size()))
        edits.push_back({int(at), int(what.size()), replacement});
    return edits;
}

// The passes from the beginning, run as one scan: the characters kept so far never hold an
// occurrence, so the next occurrence is the first one to be completed as the scan goes on.
// When it completes, its characters leave the kept ones and the replacement is read next,
// since it may complete an occurrence with what precedes or follows it.
class ChainReplacer {
public:
    ChainReplacer(QStringView text, QStringView what, QStringView replacement)
        : m_text(text), m_what(what), m_replacement(replacement), m_border(borders(what))
    {
    }

    // Nothing when more than readBudget characters had to be read or more than keptLimit
    // characters would make the result.
    std::optional<std::vector<TextEdit>> run(qsizetype readBudget, qsizetype keptLimit)
    {
        m_origin.reserve(std::size_t(m_text.size()));
        m_state.reserve(std::size_t(m_text.size()));
        const int whatLength = int(m_what.size());
        qsizetype read = 0;
        for (int origin; nextCharacter(origin);) {
            if (++read > readBudget || qsizetype(m_origin.size()) > keptLimit)
                return std::nullopt;
            const QChar c = origin >= 0 ? m_text[origin] : m_replacement[-origin - 1];
            int matched = m_state.empty() ? 0 : m_state.back();
            while (matched > 0 && m_what[matched] != c)
                matched = m_border[std::size_t(matched - 1)];
            if (m_what[matched] == c)
                ++matched;
            if (matched == whatLength) {
                m_origin.resize(m_origin.size() - std::size_t(whatLength - 1));
                m_state.resize(m_origin.size());
                if (!m_replacement.isEmpty())
                    m_unread.push_back(0);
                continue;
            }
            m_origin.push_back(origin);
            m_state.push_back(matched);
        }
        return edits();
    }

private:
    // origin: the character's index in the text, or -(k + 1) for character k of the replacement.
    bool nextCharacter(int& origin)
    {
        if (!m_unread.empty()) {
            const int k = m_unread.back();
            origin = -(k + 1);
            if (k + 1 == m_replacement.size())
                m_unread.pop_back();
            else
                m_unread.back() = k + 1;
            return true;
        }
        if (m_next < m_text.size()) {
            origin = int(m_next++);
            return true;
        }
        return false;
    }

    // The kept characters of the text are in their order; what lies between them changed.
    std::vector<TextEdit> edits() const
    {
        std::vector<TextEdit> result;
        int expected = 0;
        QString inserted;
        const auto changeUpTo = [&](int end) {
            if (end > expected || !inserted.isEmpty())
                result.push_back({expected, end - expected, inserted});
            inserted.clear();
        };
        for (const int origin : m_origin) {
            if (origin < 0) {
                inserted += m_replacement[-origin - 1];
                continue;
            }
            if (origin != expected || !inserted.isEmpty())
                changeUpTo(origin);
            expected = origin + 1;
        }
        changeUpTo(int(m_text.size()));
        return result;
    }

    QStringView m_text;
    QStringView m_what;
    QStringView m_replacement;
    std::vector<int> m_border;
    std::vector<int> m_origin;  // of each kept character
    std::vector<int> m_state;   // characters of what matched up to and including it
    std::vector<int> m_unread;  // next character of each replacement still being read, innermost last
    qsizetype m_next = 0;
};

} // namespace

std::optional<std::vector<TextEdit>> replaceAllEdits(QStringView text, QStringView what, QStringView replacement)
{
    if (what.isEmpty())
        return std::vector<TextEdit>{};
    const QString replacementText = replacement.toString();
    std::vector<TextEdit> once = replaceEachOnce(text, what, replacementText);
    if (once.empty() || replacement.contains(what))
        return withoutNoOps(text, std::move(once));
    // Chains may run far longer than one pass (each "ab" by "ba" moves one letter one place)
    // or for ever, growing the text; both are cut off well before they hold the program up or
    // fill its memory.
    const qsizetype onceWork = text.size() + qsizetype(once.size()) * replacement.size();
    const qsizetype readBudget = 4 * onceWork + kChainReads;
    const qsizetype onceLength = text.size() + qsizetype(once.size()) * (replacement.size() - what.size());
    const qsizetype keptLimit = 4 * std::max(text.size(), onceLength) + kChainGrowth;
    std::optional<std::vector<TextEdit>> chained = ChainReplacer(text, what, replacement).run(readBudget, keptLimit);
    if (!chained)
        return std::nullopt;
    return withoutNoOps(text, std::move(*chained));
}

} // namespace velmor
