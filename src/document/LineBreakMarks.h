#pragma once

#include "document/TextFile.h"

#include <QObject>

#include <cstddef>
#include <span>
#include <vector>

class QTextDocument;

namespace velmor {

// The line breaks of a loaded file that differ from the file's usual one, kept beside the
// document: each line that has not been edited since it was read is saved with the break it
// had. Only the exceptions are kept, each with the place of its break (moved along by edits)
// and a fingerprint of its line; a line whose text no longer matches its fingerprint counts
// as edited and is saved with the usual break. Replacing the whole text forgets them.
class LineBreakMarks : public QObject {
    Q_OBJECT
public:
    // Marks a freshly loaded document whose lines are numbered as in its text.
    static void mark(QTextDocument& document, std::span<const LineBreakException> exceptions);
    // The exceptions of the lines still as they were read, numbered as the lines of text
    // (the document's whole text) are now.
    static std::vector<LineBreakException> exceptionsOf(const QTextDocument& document, QStringView text);

private:
    struct Kept {
        int position; // of the line's break in the document
        LineBreak lineBreak;
        qsizetype length; // of the line as read
        std::size_t fingerprint;
    };

    explicit LineBreakMarks(QTextDocument& document);
    static LineBreakMarks* of(const QTextDocument& document);
    void follow(int from, int removed, int added);

    QTextDocument& m_document;
    std::vector<Kept> m_kept; // ascending by position
};

} // namespace velmor
