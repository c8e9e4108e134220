#pragma once

#include <QString>
#include <QtGlobal>

namespace velmor {

// Where a chapter of an imported document begins, as the document itself said (an EPUB's table
// of contents): the line it begins on and that line's text, so that it is found again after the
// text has been edited, and the chapter's title.
struct ChapterStart {
    qsizetype line = 0;
    QString firstLine;
    QString title;
};

} // namespace velmor
