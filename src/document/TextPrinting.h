#pragma once

#include <QColor>
#include <QString>
#include <functional>
#include <memory>

class QPagedPaintDevice;
class QPrinter;
class QTextDocument;

namespace velmor {

class TRichEdit98;

// The text box's text as it shows: faces, sizes and colours as formatted, marks as
// backgrounds (not the word being spoken), lines broken where they must be to fit.
std::unique_ptr<QTextDocument> printableDocument(const TRichEdit98& editor);

// Lays the document out on the device's printable area, without margins of its own, and
// paints it page after page; characters without a colour of their own take textColor.
// Returns the number of pages, 0 when the device cannot be painted on.
int printDocument(QTextDocument& document, QPagedPaintDevice& device, const QColor& textColor);

// The print command: choosePrinter shows the print dialog for the printer and says whether
// it was confirmed; then the text is printed as one job titled jobTitle.
void printText(const TRichEdit98& editor, const QString& jobTitle,
               const std::function<bool(QPrinter&)>& choosePrinter);

} // namespace velmor
