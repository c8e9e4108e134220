#include "document/Sentences.h"

#include "core/Abbreviations.h"

#include <QTextBoundaryFinder>
#include <algorithm>
#include <vector>

namespace velmor {

namespace {

struct Paragraph {
    qsizetype start;
    qsizetype end; // its "\n", or the end of the text
};

Paragraph paragraphAt(QStringView text, qsizetype index)
{
    index = std::clamp<qsizetype>(index, 0, text.size());
    const qsizetype before = index > 0 ? text.left(index).lastIndexOf(u'\n') : -1;
    const qsizetype after = text.indexOf(u'\n', index);
    return {before + 1, after < 0 ? text.size() : after};
}

// The starts of a paragraph's sentences, as indexes into the text.
std::vector<qsizetype> sentenceStarts(QStringView text, Paragraph paragraph)
{
    const QStringView body = text.mid(paragraph.start, paragraph.end - paragraph.start);
    std::vector<qsizetype> starts;
    QTextBoundaryFinder finder(QTextBoundaryFinder::Sentence, body);
    qsizetype from = 0;
    for (qsizetype to = finder.toNextBoundary(); to > 0; from = to, to = finder.toNextBoundary()) {
        qsizetype first = from;
        while (first < to && body[first].isSpace())
            ++first;
        qsizetype last = from;
        while (last > 0 && body[last - 1].isSpace())
            --last;
        const bool afterAbbreviation = last > 0 && abbreviationKeepsSentence(body, last - 1);
        if (first < to && !afterAbbreviation)
            starts.push_back(paragraph.start + first);
    }
    return starts;
}

} // namespace

std::optional<qsizetype> sentenceStartAt(QStringView text, qsizetype index)
{
    const std::vector<qsizetype> starts = sentenceStarts(text, paragraphAt(text, index));
    if (starts.empty())
        return std::nullopt;
    const auto after = std::upper_bound(starts.begin(), starts.end(), index);
    return after == starts.begin() ? starts.front() : *(after - 1);
}

std::optional<qsizetype> nextSentenceStart(QStringView text, qsizetype index)
{
    for (Paragraph paragraph = paragraphAt(text, index);; paragraph = paragraphAt(text, paragraph.end + 1)) {
        const std::vector<qsizetype> starts = sentenceStarts(text, paragraph);
        const auto after = std::upper_bound(starts.begin(), starts.end(), index);
        if (after != starts.end())
            return *after;
        if (paragraph.end >= text.size())
            return std::nullopt;
    }
}

std::optional<qsizetype> previousSentenceStart(QStringView text, qsizetype index)
{
    for (Paragraph paragraph = paragraphAt(text, index);; paragraph = paragraphAt(text, paragraph.start - 1)) {
        const std::vector<qsizetype> starts = sentenceStarts(text, paragraph);
        const auto atOrAfter = std::lower_bound(starts.begin(), starts.end(), index);
        if (atOrAfter != starts.begin())
            return *(atOrAfter - 1);
        if (paragraph.start == 0)
            return std::nullopt;
    }
}

} // namespace velmor
