#include "document/DocumentImport.h"
#include "document/TextFile.h"

#include <QRegularExpression>
#include <QStringConverter>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>

namespace velmor {

namespace {

void addBlock(const QTextBlock& block, QStringList& lines)
{
    // Pictures stand in the text as object marks; a <br> as a line separator.
    QString text = block.text().remove(QChar(0xFFFC)).replace(QChar(0x2028), u'\n');
    for (const QString& line : text.split(u'\n')) {
        const QString simplified = line.simplified();
        if (!simplified.isEmpty())
            lines << simplified;
    }
}

QString cellText(const QTextTableCell& cell)
{
    QStringList parts;
    for (auto it = cell.begin(); !it.atEnd(); ++it)
        if (it.currentBlock().isValid())
            addBlock(it.currentBlock(), parts);
    return parts.join(u' ');
}

void addFrame(const QTextFrame& frame, QStringList& lines)
{
    for (auto it = frame.begin(); !it.atEnd(); ++it) {
        if (const QTextFrame* child = it.currentFrame()) {
            if (const auto* table = qobject_cast<const QTextTable*>(child)) {
                for (int row = 0; row < table->rows(); ++row) {
                    QStringList cells;
                    for (int column = 0; column < table->columns(); ++column) {
                        const QTextTableCell cell = table->cellAt(row, column);
                        if (cell.row() == row && cell.column() == column)
                            cells << cellText(cell);
                    }
                    const QString joined = cells.join(u'\t').trimmed();
                    if (!joined.isEmpty())
                        lines << joined;
                }
            } else {
                addFrame(*child, lines);
            }
        } else {
            addBlock(it.currentBlock(), lines);
        }
    }
}

QString textByBlocks(const QTextDocument& document)
{
    QStringList lines;
    addFrame(*document.rootFrame(), lines);
    return lines.join(u'\n');
}

// Qt's HTML reader drops a picture's alt text: it goes in as text instead. What is hidden from
// screen readers (a caption repeating the alt text) and the marks that link notes and their
// calls are left out, as a listener has no use for them.
QString forListening(QString html)
{
    using Re = QRegularExpression;
    static const Re image(QStringLiteral("<img\\b[^>]*?\\balt\\s*=\\s*(?:\"([^\"]*)\"|'([^']*)')[^>]*>"),
                          Re::CaseInsensitiveOption);
    static const Re noteLink(QStringLiteral("<a\\b[^>]*\\brole\\s*=\\s*[\"']doc-(?:noteref|backlink)[\"'][^>]*>.*?</a>"),
                             Re::CaseInsensitiveOption | Re::DotMatchesEverythingOption);
    static const Re hidden(QStringLiteral("<(\\w+)\\b[^>]*\\baria-hidden\\s*=\\s*[\"']true[\"'][^>]*>.*?</\\1\\s*>"),
                           Re::CaseInsensitiveOption | Re::DotMatchesEverythingOption);
    return html.replace(image, QStringLiteral(" \\1\\2 ")).replace(noteLink, QString()).replace(hidden, QString());
}

} // namespace

ImportedText HtmlImporter::import(QByteArrayView bytes) const
{
    const auto encoding = QStringConverter::encodingForHtml(bytes).value_or(QStringConverter::Utf8);
    QStringDecoder decoder(encoding);
    QTextDocument document;
    document.setHtml(forListening(decoder(bytes)));
    return {textByBlocks(document), document.metaInformation(QTextDocument::DocumentTitle).simplified(), {}};
}

ImportedText MarkdownImporter::import(QByteArrayView bytes) const
{
    QTextDocument document;
    document.setMarkdown(decodeText(bytes).text);
    QString title;
    for (QTextBlock block = document.begin(); block.isValid() && title.isEmpty(); block = block.next())
        if (block.blockFormat().headingLevel() > 0)
            title = block.text().simplified();
    return {textByBlocks(document), title, {}};
}

} // namespace velmor
