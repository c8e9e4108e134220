#pragma once

#include "core/ChapterStart.h"

#include <QString>
#include <QStringView>
#include <vector>

namespace velmor {

// A chapter of a book: the text from its heading line to the next chapter's heading.
struct Chapter {
    qsizetype start = 0;
    qsizetype end = 0;
    // The heading without its marks ("# " of Markdown); empty for the text before the first
    // heading, which the caller names after the document.
    QString title;
};

// The chapters of a text found from its heading lines: Markdown-like "#" headings (the
// shallowest level that starts more than one chapter), "Chapter 12", "CHAPTER XII", "第3章",
// "第十二章"; only when none of those is there, lines wholly in capitals standing as their own
// paragraph. Text before the first heading is a chapter of its own when it holds more than
// white space. No heading found: no chapters, and the text stays one piece.
// Chapters the document named itself (known) come first: each is looked for at its line, or the
// nearest line with the same text when edits have moved it; a chapter whose line is gone joins
// the one before. When none of them is found any more, the headings decide.
std::vector<Chapter> findChapters(QStringView text, const std::vector<ChapterStart>& known = {});

// The heading level that divides a document into chapters: the shallowest used more than once,
// else the shallowest there is (a lone "# Book title" above "## Chapter" headings is not the
// book's only chapter). 0 when there are none.
int chapterLevel(const std::vector<int>& levels);

// A chapter's file name: "NN - title.ext", numbered from 1 with at least two digits (more when
// there are a hundred chapters or more), the title cut short and freed of characters a file
// name cannot hold.
QString chapterFileName(int number, int count, const QString& title, const QString& extension);

} // namespace velmor
