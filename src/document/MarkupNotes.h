#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace velmor {

// Footnotes taken out of a web page or a Markdown text before Qt's reader turns it into blocks,
// so that each is heard after the paragraph that calls it rather than at the end, and the call's
// mark ("1", "[1]") is not read in the sentence. Each call is replaced by a mark of its own that
// the reader passes through as text (noteCalls finds it again); each note keeps its own markup.
struct LiftedNotes {
    QString text;
    QStringList notes;
};

// Calls are links to an element that is marked as a note (pandoc's and EPUB's roles and
// classes), or a superscript link to a list item or paragraph, as hand-made pages have them.
LiftedNotes liftHtmlNotes(const QString& html);
// "[^label]" calls and "[^label]: text" definitions, continued by indented lines; code is left alone.
LiftedNotes liftMarkdownNotes(const QString& markdown);

// The notes that a line of text calls, in order, taking their marks out of the line.
QList<int> takeNoteCalls(QString& line);

} // namespace velmor
