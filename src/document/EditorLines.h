#pragma once

#include <QString>
#include <QStringView>

class QTextDocument;

namespace velmor {

// Line access on display lines: a wrapped paragraph counts one line per row on screen.
// Every function here costs O(log n) in the size of the document except the gathering of
// the whole text, so they are safe to call on every keystroke.

struct CaretPlace {
    int row = 0;    // display line, from 0
    int column = 0; // characters from the start of that display line
};

CaretPlace caretPlace(const QTextDocument& document, int position);

int displayLineCount(const QTextDocument& document);

// The text of one display line without its line break, cut at maxChars characters.
QString displayLineText(const QTextDocument& document, int row, int maxChars = 8192);

// Position of the first character of a display line; rows past the end give the end of the text.
int displayLineStart(const QTextDocument& document, int row);

// Where the caret goes when a text opens at its end: the start of the last line, or, when
// the text ends in empty lines, the start of the first of them; the start of the text when
// no line holds text.
int endLineCaretPosition(const QTextDocument& document);

// Every line followed by CR LF; a final empty line adds nothing, an empty document gives "".
QString gatherWholeText(const QTextDocument& document);
// The same for a text with "\n" between lines.
QString linesWithCrLf(const QString& text);
// Every "\n" of a piece of such a text as CR LF, and nothing added at its end.
QString lineBreaksAsCrLf(QStringView text);

// "Line: %-5d  Col: %-5d" for a 0-based row (shown from 1) and column (shown from 0).
QString lineColumnText(int row, int column);

} // namespace velmor
