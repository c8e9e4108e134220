#include "document/DocumentImport.h"
#include "document/MarkupNotes.h"
#include "document/MarkupText.h"
#include "document/TextFile.h"

#include <QRegularExpression>
#include <QStringConverter>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>

namespace velmor {

namespace {

// A QTextDocument's text by blocks, as ParagraphWriter collects it: the notes that a block calls
// (MarkupNotes.h) are heard after it.
class BlockWriter {
public:
    explicit BlockWriter(const QStringList& notes) : m_notes(notes) {}

    ImportedText text(const QTextDocument& document)
    {
        frame(document.rootFrame()->begin());
        ImportedText imported;
        imported.text = m_out.result();
        imported.chapters = m_out.chapters();
        return imported;
    }

private:
    void block(const QTextBlock& block)
    {
        QString text;
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            // A picture stands in the text as an object mark; Markdown keeps its description.
            text += format.isImageFormat() ? u' ' + format.property(QTextFormat::ImageAltText).toString() + u' '
                                           : it.fragment().text();
        }
        // A <br> comes as a line separator.
        text.remove(QChar(0xFFFC)).replace(QChar(0x2028), u'\n');
        for (QString& line : text.split(u'\n')) {
            const QList<int> called = takeNoteCalls(line);
            m_out.heading(block.blockFormat().headingLevel());
            m_out.text(line);
            for (const int note : called)
                m_out.addNote(m_notes.value(note));
            m_out.endParagraph();
        }
    }

    void frame(QTextFrame::iterator it)
    {
        for (; !it.atEnd(); ++it) {
            const QTextFrame* child = it.currentFrame();
            const auto* table = qobject_cast<const QTextTable*>(child);
            if (table) {
                for (int row = 0; row < table->rows(); ++row) {
                    for (int column = 0; column < table->columns(); ++column) {
                        const QTextTableCell cell = table->cellAt(row, column);
                        if (cell.row() != row || cell.column() != column)
                            continue;
                        m_out.beginCell();
                        frame(cell.begin());
                        m_out.endCell();
                    }
                    m_out.endRow();
                }
            } else if (child) {
                frame(child->begin());
            } else if (it.currentBlock().isValid()) {
                block(it.currentBlock());
            }
        }
    }

    const QStringList& m_notes;
    ParagraphWriter m_out;
};

// A note is heard as one line.
QStringList noteLines(const QStringList& notes, QString (*textOf)(const QString&))
{
    QStringList lines;
    for (const QString& note : notes)
        lines << textOf(note).replace(u'\n', u' ');
    return lines;
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

ImportedText htmlText(const QString& html, QString* title = nullptr)
{
    const LiftedNotes lifted = liftHtmlNotes(html);
    const QStringList notes = noteLines(lifted.notes, [](const QString& note) { return htmlText(note).text; });
    QTextDocument document;
    document.setHtml(forListening(lifted.text));
    if (title)
        *title = document.metaInformation(QTextDocument::DocumentTitle).simplified();
    return BlockWriter(notes).text(document);
}

ImportedText markdownText(const QString& markdown, QString* firstHeading = nullptr)
{
    const LiftedNotes lifted = liftMarkdownNotes(markdown);
    const QStringList notes = noteLines(lifted.notes, [](const QString& note) { return markdownText(note).text; });
    QTextDocument document;
    document.setMarkdown(lifted.text);
    if (firstHeading)
        for (QTextBlock block = document.begin(); block.isValid() && firstHeading->isEmpty(); block = block.next())
            if (block.blockFormat().headingLevel() > 0)
                *firstHeading = block.text().simplified();
    return BlockWriter(notes).text(document);
}

// The metadata block that pandoc and static site generators put first ("---", "title: ...",
// "---"): its title names the document, and none of it is read.
QString withoutFrontMatter(const QString& markdown, QString& title)
{
    static const QRegularExpression block(
        QStringLiteral("\\A---[ \\t]*\\r?\\n(.*?)\\r?\\n(?:---|\\.\\.\\.)[ \\t]*(?:\\r?\\n|\\z)"),
        QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression titleLine(QStringLiteral("^title:[ \\t]*(.*)$"), QRegularExpression::MultilineOption);
    // Only "key: value" lines (and their indented or listed values) make one; a rule is no block.
    static const QRegularExpression yaml(QStringLiteral("^(?![ \\t]*$)(?![\\w-]+:|[ \\t]|- |#)"),
                                         QRegularExpression::MultilineOption);
    const QRegularExpressionMatch match = block.match(markdown);
    if (!match.hasMatch() || yaml.match(match.captured(1)).hasMatch())
        return markdown;
    QString value = titleLine.match(match.captured(1)).captured(1).trimmed();
    if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') && value.back() == value.front())
        value = value.mid(1, value.size() - 2);
    title = value.simplified();
    return markdown.mid(match.capturedEnd());
}

} // namespace

ImportedText HtmlImporter::import(QByteArrayView bytes) const
{
    const auto encoding = QStringConverter::encodingForHtml(bytes).value_or(QStringConverter::Utf8);
    QStringDecoder decoder(encoding);
    QString title;
    ImportedText imported = htmlText(decoder(bytes), &title);
    imported.title = title;
    return imported;
}

ImportedText MarkdownImporter::import(QByteArrayView bytes) const
{
    QString title;
    const QString markdown = withoutFrontMatter(decodeText(bytes).text, title);
    QString heading;
    ImportedText imported = markdownText(markdown, &heading);
    imported.title = title.isEmpty() ? heading : title;
    return imported;
}

} // namespace velmor
