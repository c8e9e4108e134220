#include "document/DocumentImport.h"
#include "document/TextFile.h"

#include <poppler-qt6.h>

#include <QHash>
#include <QRectF>
#include <QRegularExpression>
#include <QSet>

#include <cmath>

#include <vector>

namespace velmor {

namespace {

struct Line {
    QString text;
    QRectF box;
};

// A page's words, in poppler's reading order (columns one after the other), gathered into lines.
std::vector<Line> linesOf(Poppler::Page& page)
{
    std::vector<Line> lines;
    Line current;
    for (const std::unique_ptr<Poppler::TextBox>& word : page.textList()) {
        current.text += word->text();
        current.box = current.box.isNull() ? word->boundingBox() : current.box.united(word->boundingBox());
        if (word->nextWord()) {
            if (word->hasSpaceAfter())
                current.text += u' ';
            continue;
        }
        lines.push_back(std::move(current));
        current = {};
    }
    return lines;
}

// Running headers, footers and page numbers: lines at the top or bottom of a page that come back,
// numbers aside, on other pages.
QString repeatKey(const QString& text)
{
    static const QRegularExpression digits(QStringLiteral("\\d+"));
    return QString(text).replace(digits, QStringLiteral("#")).simplified();
}

bool inMargin(const Line& line, double pageHeight)
{
    return line.box.bottom() < pageHeight * 0.12 || line.box.top() > pageHeight * 0.88;
}

bool endsWithBrokenWord(const QString& text)
{
    return text.size() >= 2 && (text.back() == u'-' || text.back() == QChar(0x2010) || text.back() == QChar(0x00AD))
        && text.at(text.size() - 2).isLetter();
}

// Lines make a paragraph while they follow each other closely in one column; a wider gap, a step
// back up the page (the next column) or an indented first line starts the next. Words spread
// wide on a justified line may come as pieces of a line side by side: they stay on it.
QStringList paragraphsOf(const std::vector<const Line*>& lines)
{
    QStringList paragraphs;
    QString paragraph;
    const Line* previous = nullptr;
    double rowLeft = 0; // where the line that previous belongs to begins
    for (const Line* line : lines) {
        bool joins = false;
        bool sameRow = false;
        if (previous) {
            const double height = std::max(previous->box.height(), 1.0);
            sameRow = std::abs(line->box.center().y() - previous->box.center().y()) < height * 0.5
                && line->box.left() >= previous->box.right() - 1;
            const double gap = line->box.top() - previous->box.bottom();
            joins = sameRow
                || (gap >= -height * 0.5 && gap < height * 0.4 && line->box.left() < rowLeft + height
                    && line->box.left() > rowLeft - height * 4);
        }
        if (!sameRow)
            rowLeft = line->box.left();
        if (!joins) {
            if (!paragraph.isEmpty())
                paragraphs << paragraph;
            paragraph = line->text.trimmed();
        } else if (!sameRow && endsWithBrokenWord(paragraph) && !line->text.isEmpty() && line->text.front().isLower()) {
            paragraph.chop(1);
            paragraph += line->text.trimmed();
        } else {
            paragraph += u' ' + line->text.trimmed();
        }
        previous = line;
    }
    if (!paragraph.isEmpty())
        paragraphs << paragraph;
    return paragraphs;
}

} // namespace

ImportedText PdfImporter::import(QByteArrayView bytes) const { return import(bytes, {}); }

ImportedText PdfImporter::import(QByteArrayView bytes, const ImportProgress& progress) const
{
    const std::unique_ptr<Poppler::Document> document = Poppler::Document::loadFromData(bytes.toByteArray());
    if (!document)
        throw ImportError::damaged(QStringLiteral("PDF structure"));
    if (document->isLocked())
        throw ImportError::passwordProtected();
    const int pages = document->numPages();
    std::vector<std::vector<Line>> pageLines;
    std::vector<double> heights;
    QHash<QString, int> marginRepeats;
    bool anyText = false;
    for (int index = 0; index < pages; ++index) {
        const std::unique_ptr<Poppler::Page> page = document->page(index);
        if (!page)
            throw ImportError::damaged(QStringLiteral("PDF structure"));
        pageLines.push_back(linesOf(*page));
        heights.push_back(page->pageSizeF().height());
        QSet<QString> seen;
        for (const Line& line : pageLines.back()) {
            anyText = anyText || !line.text.trimmed().isEmpty();
            if (inMargin(line, heights.back()))
                seen.insert(repeatKey(line.text));
        }
        for (const QString& key : seen)
            ++marginRepeats[key];
        if (progress && !progress(index + 1, pages))
            throw ReadStopped{};
    }
    if (pages > 0 && !anyText)
        throw ImportError::imagesOnly();

    QStringList paragraphs;
    for (std::size_t index = 0; index < pageLines.size(); ++index) {
        std::vector<const Line*> kept;
        for (const Line& line : pageLines[index])
            if (!inMargin(line, heights[index]) || marginRepeats.value(repeatKey(line.text)) < 2)
                kept.push_back(&line);
        paragraphs << paragraphsOf(kept);
    }
    return {paragraphs.join(u'\n'), document->info(QStringLiteral("Title")).simplified(), {}};
}

} // namespace velmor
