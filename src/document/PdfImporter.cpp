#include "document/DocumentImport.h"
#include "document/TextFile.h"

#include <poppler-qt6.h>

#include <QHash>
#include <QRectF>
#include <QRegularExpression>
#include <QSet>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

namespace velmor {

namespace {

// A document longer than this is shown from its first pages while the rest is read.
constexpr int kPreviewPages = 4;
constexpr int kMaxThreads = 4;

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

struct PageText {
    std::vector<Line> lines;
    double height = 0;
    QSet<QString> marginKeys; // of the lines in its top and bottom margins
};

PageText readPage(Poppler::Document& document, int index)
{
    const std::unique_ptr<Poppler::Page> page = document.page(index);
    if (!page)
        throw ImportError::damaged(QStringLiteral("PDF structure"));
    PageText text{linesOf(*page), page->pageSizeF().height(), {}};
    for (const Line& line : text.lines)
        if (inMargin(line, text.height))
            text.marginKeys.insert(repeatKey(line.text));
    return text;
}

// The paragraphs of pages from..to, their running headers, footers and page numbers left out:
// the margin lines that come back on pages before repeatsUpTo.
QString textOf(const std::vector<PageText>& pages, int from, int to, int repeatsUpTo)
{
    QHash<QString, int> marginRepeats;
    for (int index = 0; index < repeatsUpTo; ++index)
        for (const QString& key : pages[index].marginKeys)
            ++marginRepeats[key];
    QStringList paragraphs;
    for (int index = from; index < to; ++index) {
        std::vector<const Line*> kept;
        for (const Line& line : pages[index].lines)
            if (!inMargin(line, pages[index].height) || marginRepeats.value(repeatKey(line.text)) < 2)
                kept.push_back(&line);
        paragraphs << paragraphsOf(kept);
    }
    return paragraphs.join(u'\n');
}

// Laying out a page's words is most of the work: the pages are shared out between threads,
// each with a document of its own, in page order so that the first pages are ready first.
class PageReader {
public:
    PageReader(const QByteArray& bytes, int pages) : m_bytes(bytes), m_pages(pages) {}

    // Runs on a thread of its own; what goes wrong is rethrown by the thread that collects.
    void helpWith()
    {
        try {
            const std::unique_ptr<Poppler::Document> document = Poppler::Document::loadFromData(m_bytes);
            if (!document)
                throw ImportError::damaged(QStringLiteral("PDF structure"));
            while (read(*document)) {
            }
        } catch (...) {
            stop(std::current_exception());
        }
    }

    // Reads a page not taken yet; false when none is left or reading has stopped.
    bool read(Poppler::Document& document)
    {
        const int index = m_next++;
        if (index >= m_pages || m_stopped)
            return false;
        PageText page = readPage(document, index);
        const std::lock_guard lock(m_mutex);
        m_texts[index] = std::move(page);
        ++m_doneCount;
        return true;
    }

    void stop(std::exception_ptr error = {})
    {
        const std::lock_guard lock(m_mutex);
        if (!m_error)
            m_error = error;
        m_stopped = true;
    }

    void rethrow()
    {
        const std::lock_guard lock(m_mutex);
        if (m_error)
            std::rethrow_exception(m_error);
    }

    int done()
    {
        const std::lock_guard lock(m_mutex);
        return m_doneCount;
    }

    // The pages read by this thread, or by any once every thread has ended.
    const std::vector<PageText>& texts() const { return m_texts; }

private:
    const QByteArray m_bytes;
    const int m_pages;
    std::atomic<int> m_next{0};
    std::atomic<bool> m_stopped{false};
    std::mutex m_mutex;
    std::vector<PageText> m_texts = std::vector<PageText>(std::size_t(m_pages));
    int m_doneCount = 0;
    std::exception_ptr m_error;
};

} // namespace

ImportedText PdfImporter::import(QByteArrayView bytes) const { return import(bytes, {}, {}); }

ImportedText PdfImporter::import(QByteArrayView bytes, const ImportProgress& progress,
                                 const ImportPreview& preview) const
{
    const QByteArray data = bytes.toByteArray();
    const std::unique_ptr<Poppler::Document> document = Poppler::Document::loadFromData(data);
    if (!document)
        throw ImportError::damaged(QStringLiteral("PDF structure"));
    if (document->isLocked())
        throw ImportError::passwordProtected();
    const int pages = document->numPages();

    PageReader reader(data, pages);
    int told = 0;
    const auto tell = [&](int done) {
        if (progress && done > told && !progress(done, pages))
            throw ReadStopped{};
        told = done;
    };
    // The first pages are read first, on this thread alone, to be shown while the rest is read;
    // what repeats on them alone is their running header, so that their text stays as shown.
    const int first = std::min(pages, kPreviewPages);
    for (int index = 0; index < first && reader.read(*document); ++index)
        tell(index + 1);
    const QString firstText = textOf(reader.texts(), 0, first, first);
    if (preview && pages > first)
        preview(firstText);

    const int threads = std::min({int(std::thread::hardware_concurrency()), kMaxThreads, pages - first});
    std::vector<std::jthread> helpers;
    for (int helper = 1; helper < threads; ++helper)
        helpers.emplace_back([&reader] { reader.helpWith(); });
    try {
        while (reader.read(*document))
            tell(reader.done());
    } catch (...) {
        reader.stop(std::current_exception());
    }
    for (std::jthread& helper : helpers)
        helper.join();
    reader.rethrow();
    tell(pages);

    const std::vector<PageText>& texts = reader.texts();
    if (pages > 0 && std::all_of(texts.begin(), texts.end(), [](const PageText& page) {
            return std::all_of(page.lines.begin(), page.lines.end(), [](const Line& line) { return line.text.trimmed().isEmpty(); });
        }))
        throw ImportError::imagesOnly();
    const QString rest = textOf(texts, first, pages, pages);
    return {firstText.isEmpty() || rest.isEmpty() ? firstText + rest : firstText + u'\n' + rest,
            document->info(QStringLiteral("Title")).simplified(), {}};
}

} // namespace velmor
