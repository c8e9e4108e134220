#include "document/LineBreakMarks.h"

#include "document/SoftBreaks.h"

#include <QAbstractTextDocumentLayout>
#include <QHash>
#include <QTextDocument>

#include <algorithm>

namespace velmor {

namespace {

std::size_t fingerprintOf(QStringView line) { return qHash(line, 0); }

} // namespace

LineBreakMarks::LineBreakMarks(QTextDocument& document)
    : QObject(&document), m_document(document)
{
    connect(&document, &QTextDocument::contentsChange, this, &LineBreakMarks::follow);
    // Qt reports changes only of a document that has a layout.
    document.documentLayout();
}

LineBreakMarks* LineBreakMarks::of(const QTextDocument& document)
{
    return document.findChild<LineBreakMarks*>(QString(), Qt::FindDirectChildrenOnly);
}

void LineBreakMarks::mark(QTextDocument& document, std::span<const LineBreakException> exceptions)
{
    LineBreakMarks* marks = of(document);
    if (!marks && exceptions.empty())
        return;
    if (!marks)
        marks = new LineBreakMarks(document);
    marks->m_kept.clear();
    if (exceptions.empty())
        return;
    const QString text = wholeText(document);
    const TextPositions positions(document);
    marks->m_kept.reserve(exceptions.size());
    qsizetype line = 0;
    qsizetype lineStart = 0;
    for (const LineBreakException& exception : exceptions) {
        qsizetype lineEnd = text.indexOf(u'\n', lineStart);
        for (; lineEnd >= 0 && line < exception.line; ++line) {
            lineStart = lineEnd + 1;
            lineEnd = text.indexOf(u'\n', lineStart);
        }
        if (lineEnd < 0)
            break;
        const QStringView content = QStringView(text).sliced(lineStart, lineEnd - lineStart);
        marks->m_kept.push_back(
            {positions.positionOf(lineEnd), exception.lineBreak, content.size(), fingerprintOf(content)});
    }
}

std::vector<LineBreakException> LineBreakMarks::exceptionsOf(const QTextDocument& document, QStringView text)
{
    const LineBreakMarks* const marks = of(document);
    if (!marks || marks->m_kept.empty())
        return {};
    std::vector<LineBreakException> exceptions;
    const TextPositions positions(document);
    qsizetype counted = 0; // text before this index has been counted
    qsizetype line = 0;    // the number of the line that starts at `counted`
    for (const Kept& kept : marks->m_kept) {
        const qsizetype at = positions.indexOf(kept.position);
        if (at < counted || at >= text.size() || text[at] != u'\n')
            continue;
        for (qsizetype lf = text.indexOf(u'\n', counted); lf >= 0 && lf < at; lf = text.indexOf(u'\n', lf + 1))
            ++line;
        counted = at + 1;
        const qsizetype lineStart = at == 0 ? 0 : text.lastIndexOf(u'\n', at - 1) + 1;
        const QStringView content = text.sliced(lineStart, at - lineStart);
        if (content.size() == kept.length && fingerprintOf(content) == kept.fingerprint)
            exceptions.push_back({line, kept.lineBreak});
        ++line;
    }
    return exceptions;
}

void LineBreakMarks::follow(int from, int removed, int added)
{
    if (m_kept.empty())
        return;
    const int end = from + removed;
    const int growth = added - removed;
    auto kept = std::ranges::lower_bound(m_kept, from, {}, &Kept::position);
    auto next = kept;
    for (; next != m_kept.end() && next->position < end; ++next) {
        // A change of formats is reported as the text replaced by itself; the fingerprint
        // tells at saving whether the line is still the same.
        if (removed == added)
            *kept++ = *next;
    }
    for (; next != m_kept.end(); ++next) {
        *kept = *next;
        kept->position += growth;
        ++kept;
    }
    m_kept.erase(kept, m_kept.end());
}

} // namespace velmor
