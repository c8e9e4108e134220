#include "document/TextPrinting.h"

#include "document/SoftBreaks.h"
#include "widgets/TRichEdit98.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QFileInfo>
#include <QPainter>
#include <QPrinter>
#include <QTextCursor>
#include <QTextDocument>
#include <stdexcept>

namespace velmor {

namespace {

struct WaitCursor {
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

} // namespace

std::unique_ptr<QTextDocument> printableDocument(const TRichEdit98& editor)
{
    std::unique_ptr<QTextDocument> document(editor.document()->clone());
    document->setDefaultFont(editor.font());
    QTextOption option = document->defaultTextOption();
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    document->setDefaultTextOption(option);
    // The marks are drawn over the text box's document; on paper they become its backgrounds.
    // The word being heard is no mark: it is not printed.
    for (const QTextEdit::ExtraSelection& mark : editor.highlights()) {
        QTextCursor cursor(document.get());
        cursor.setPosition(mark.cursor.selectionStart());
        cursor.setPosition(mark.cursor.selectionEnd(), QTextCursor::KeepAnchor);
        QTextCharFormat background;
        background.setBackground(mark.format.background());
        cursor.mergeCharFormat(background);
    }
    // On paper a long paragraph wraps as a whole.
    joinSoftBreaks(*document);
    return document;
}

int printDocument(QTextDocument& document, QPagedPaintDevice& device, const QColor& textColor)
{
    QAbstractTextDocumentLayout& layout = *document.documentLayout();
    layout.setPaintDevice(&device);
    document.setDocumentMargin(0);
    const QSizeF page(device.width(), device.height());
    document.setPageSize(page);

    QPainter painter;
    if (!painter.begin(&device))
        return 0;
    QAbstractTextDocumentLayout::PaintContext context;
    context.palette.setColor(QPalette::Text, textColor);
    const int pages = document.pageCount();
    for (int index = 0; index < pages; ++index) {
        if (index > 0)
            device.newPage();
        // The layout moves a line that would cross a page's end to the next page, so each
        // page shows whole lines only.
        context.clip = QRectF(QPointF(0, index * page.height()), page);
        painter.save();
        painter.translate(0, -index * page.height());
        painter.setClipRect(context.clip);
        layout.draw(&painter, context);
        painter.restore();
    }
    painter.end();
    return pages;
}

void printText(const TRichEdit98& editor, const QString& jobTitle,
               const std::function<bool(QPrinter&)>& choosePrinter)
{
    QPrinter printer;
    // The dialog proposes a PDF file named after the document's own name.
    printer.setDocName(QFileInfo(jobTitle).fileName());
    if (!choosePrinter(printer))
        return;
    printer.setDocName(jobTitle);
    WaitCursor waiting;
    const std::unique_ptr<QTextDocument> document = printableDocument(editor);
    if (printDocument(*document, printer, editor.textColor()) == 0)
        throw std::runtime_error("The text could not be printed: the printer cannot be used");
}

} // namespace velmor
