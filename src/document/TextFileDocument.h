#pragma once

#include <QString>
#include <span>
#include <vector>

class QTextDocument;

namespace velmor {

// The text of a plain-text document as encodeText takes it: "\n" between paragraphs and
// every other character as it is. (QTextDocument::toPlainText would also turn U+00A0 into a
// space and U+2028 into a line break, so an unedited file would not save unchanged.)
QString documentText(const QTextDocument& document);

// Which raw-byte characters of a document are raw bytes, so that a character typed, pasted or
// read from a Unicode file is never taken for one (RawByteMarks.h). markRawBytes marks a freshly
// loaded document; rawBytePositions finds its raw bytes again, wherever editing has moved them.
// Both count positions as indexes into documentText.
void markRawBytes(QTextDocument& document, std::span<const qsizetype> positions);
std::vector<qsizetype> rawBytePositions(const QTextDocument& document);

} // namespace velmor
