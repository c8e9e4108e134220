#include "document/RawByteMarks.h"

#include "document/Cp932.h"
#include "document/SoftBreaks.h"

#include <QAbstractTextDocumentLayout>
#include <QTextBlock>
#include <QTextDocument>

#include <algorithm>

namespace velmor {

namespace {

// Look-alikes taken out long ago are not looked for any more.
constexpr std::size_t kMostBuried = 1024;

// Block by block, which spares a copy of the whole text.
std::size_t lookAlikeCount(const QTextDocument& document)
{
    std::size_t count = 0;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        const QString text = block.text();
        count += std::size_t(std::count_if(text.begin(), text.end(), [](QChar c) { return isCp932RawByte(c.unicode()); }));
    }
    return count;
}

// The indexes of the characters in the raw-byte range that the ascending list leaves out.
std::vector<qsizetype> rawRangeIndexesBesides(const QString& text, std::span<const qsizetype> listed)
{
    std::vector<qsizetype> others;
    const auto* const units = text.utf16();
    auto next = listed.begin();
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (!isCp932RawByte(units[i]))
            continue;
        while (next != listed.end() && *next < i)
            ++next;
        if (next == listed.end() || *next != i)
            others.push_back(i);
    }
    return others;
}

} // namespace

RawByteMarks::RawByteMarks(QTextDocument& document)
    : QObject(&document), m_document(document)
{
    connect(&document, &QTextDocument::contentsChange, this, &RawByteMarks::follow);
    // Qt reports changes only of a document that has a layout.
    document.documentLayout();
}

RawByteMarks* RawByteMarks::of(const QTextDocument& document)
{
    return document.findChild<RawByteMarks*>(QString(), Qt::FindDirectChildrenOnly);
}

void RawByteMarks::mark(QTextDocument& document, std::span<const qsizetype> indexes)
{
    RawByteMarks* marks = of(document);
    if (!marks && indexes.empty())
        return;
    if (!marks)
        marks = new RawByteMarks(document);
    marks->m_marked = !indexes.empty();
    marks->m_lookAlikes.clear();
    marks->m_buried.clear();
    if (!marks->m_marked || indexes.size() == lookAlikeCount(document))
        return;
    const QString text = wholeText(document);
    const TextPositions positions(document);
    for (const qsizetype i : rawRangeIndexesBesides(text, indexes))
        marks->m_lookAlikes.push_back({positions.positionOf(i), text[i].unicode()});
}

std::vector<qsizetype> RawByteMarks::indexesOf(const QTextDocument& document)
{
    const RawByteMarks* const marks = of(document);
    if (!marks || !marks->m_marked)
        return {};
    std::vector<qsizetype> lookAlikes;
    if (!marks->m_lookAlikes.empty()) {
        const TextPositions positions(document);
        for (const Mark& mark : marks->m_lookAlikes)
            lookAlikes.push_back(positions.indexOf(mark.position));
    }
    return rawRangeIndexesBesides(wholeText(document), lookAlikes);
}

RawByteMarks::Edit::Edit(QTextDocument& document, Kind kind)
    : m_marks(of(document)), m_kind(kind)
{
    if (m_marks)
        ++(kind == Typing ? m_marks->m_typingDepth : m_marks->m_undoDepth);
}

RawByteMarks::Edit::~Edit()
{
    if (m_marks)
        --(m_kind == Typing ? m_marks->m_typingDepth : m_marks->m_undoDepth);
}

void RawByteMarks::follow(int from, int removed, int added)
{
    if (!m_marked)
        return;
    // QTextDocument::clear(), which every replacing of the whole text goes through, leaves
    // nothing to undo: the text that was marked is gone for good.
    if (m_document.isEmpty() && !m_document.isUndoAvailable() && !m_document.isRedoAvailable()) {
        m_marked = false;
        m_lookAlikes.clear();
        m_buried.clear();
        return;
    }
    const bool typing = m_typingDepth > 0;
    const int end = from + removed;
    const int growth = added - removed;
    std::vector<Buried> taken;
    auto kept = std::ranges::lower_bound(m_lookAlikes, from, {}, &Mark::position);
    auto mark = kept;
    for (; mark != m_lookAlikes.end() && mark->position < end; ++mark) {
        // A change of formats is reported as the text replaced by itself.
        if (!typing && removed == added && m_document.characterAt(mark->position) == QChar(mark->character))
            *kept++ = *mark;
        else
            taken.push_back({from, mark->position - from, mark->character, m_groups});
    }
    for (; mark != m_lookAlikes.end(); ++mark) {
        *kept = *mark;
        kept->position += growth;
        ++kept;
    }
    m_lookAlikes.erase(kept, m_lookAlikes.end());

    moveBuried(from, removed, added);
    ++m_groups;
    m_buried.insert(m_buried.end(), taken.begin(), taken.end());
    if (m_buried.size() > kMostBuried)
        m_buried.erase(m_buried.begin(), m_buried.end() - kMostBuried);
    if (typing && added > 0)
        addTyped(from, from + added);
}

void RawByteMarks::moveBuried(int from, int removed, int added)
{
    const int end = from + removed;
    const auto givenBack = [&](const Buried& buried) {
        const int at = buried.anchor + buried.offset;
        return at < from + added && m_document.characterAt(at) == QChar(buried.character);
    };
    std::vector<int> groupsBack;
    if (m_undoDepth > 0 && added > removed) {
        for (const Buried& buried : m_buried) {
            if (buried.anchor == from && (groupsBack.empty() || groupsBack.back() != buried.group))
                groupsBack.push_back(buried.group);
        }
        std::erase_if(groupsBack, [&](int group) {
            return std::ranges::any_of(m_buried, [&](const Buried& b) { return b.group == group && !givenBack(b); });
        });
    }
    std::erase_if(m_buried, [&](Buried& buried) {
        if (std::ranges::find(groupsBack, buried.group) != groupsBack.end()) {
            const int at = buried.anchor + buried.offset;
            const auto place = std::ranges::lower_bound(m_lookAlikes, at, {}, &Mark::position);
            if (place == m_lookAlikes.end() || place->position != at)
                m_lookAlikes.insert(place, {at, buried.character});
            return true;
        }
        if (buried.anchor <= from)
            return false;
        // Text changed around the place: what was there is not known to come back.
        if (buried.anchor < end)
            return true;
        buried.anchor += added - removed;
        return false;
    });
}

void RawByteMarks::addTyped(int from, int to)
{
    std::vector<Mark> typed;
    for (QTextBlock block = m_document.findBlock(from); block.isValid() && block.position() < to; block = block.next()) {
        const QString text = block.text();
        const int start = std::max(from - block.position(), 0);
        const int stop = int(std::min<qsizetype>(to - block.position(), text.size()));
        for (int i = start; i < stop; ++i) {
            if (isCp932RawByte(text[i].unicode()))
                typed.push_back({block.position() + i, text[i].unicode()});
        }
    }
    const auto place = std::ranges::lower_bound(m_lookAlikes, from, {}, &Mark::position);
    m_lookAlikes.insert(place, typed.begin(), typed.end());
}

} // namespace velmor
