#include "document/TextFileDocument.h"

#include "document/RawByteMarks.h"
#include "document/SoftBreaks.h"

namespace velmor {

QString documentText(const QTextDocument& document) { return wholeText(document); }

void markRawBytes(QTextDocument& document, std::span<const qsizetype> positions)
{
    RawByteMarks::mark(document, positions);
}

std::vector<qsizetype> rawBytePositions(const QTextDocument& document) { return RawByteMarks::indexesOf(document); }

} // namespace velmor
