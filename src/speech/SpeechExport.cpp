#include "speech/SpeechExport.h"

#include "document/Chapters.h"

#include <QDir>
#include <QFileInfo>

namespace velmor {

namespace {

// Longer first lines are prose, not a title page.
constexpr qsizetype kLongestTitle = 80;

// A chapter's own title; for the text before the first heading, its first line when that is
// short enough to be a title.
QString titleOf(const Chapter& chapter, QStringView text)
{
    if (!chapter.title.isEmpty())
        return chapter.title;
    QString firstLine =
        text.mid(chapter.start, chapter.end - chapter.start).trimmed().toString().section(u'\n', 0, 0).simplified();
    // A Markdown title ("# Book") without its marks.
    while (firstLine.startsWith(u'#'))
        firstLine.remove(0, 1);
    firstLine = firstLine.trimmed();
    return firstLine.size() <= kLongestTitle ? firstLine : QString();
}

} // namespace

std::vector<SpeechExportPiece> speechExportPieces(const SpeechExportRequest& request)
{
    const std::vector<Chapter> chapters = findChapters(request.text, request.knownChapters);
    std::vector<QString> titles;
    for (const Chapter& chapter : chapters)
        titles.push_back(titleOf(chapter, request.text));
    QString book = request.title.simplified();
    if (book.isEmpty() && !titles.empty())
        book = titles.front();
    const QFileInfo target(request.path);
    if (book.isEmpty())
        book = target.completeBaseName();

    std::vector<SpeechExportPiece> pieces;
    if (!request.byChapters || chapters.empty()) {
        pieces.push_back({request.text, request.path, {book, request.voice, book, 0}});
        return pieces;
    }
    const int count = int(chapters.size());
    for (int number = 1; number <= count; ++number) {
        const Chapter& chapter = chapters[std::size_t(number - 1)];
        const QString title = titles[std::size_t(number - 1)].isEmpty() ? book : titles[std::size_t(number - 1)];
        pieces.push_back({request.text.mid(chapter.start, chapter.end - chapter.start),
                          target.dir().filePath(chapterFileName(number, count, title, target.suffix())),
                          {title, request.voice, book, number}});
    }
    return pieces;
}

} // namespace velmor
