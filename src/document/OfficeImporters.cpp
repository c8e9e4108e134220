#include "document/DocumentImport.h"
#include "document/MarkupText.h"
#include "document/ZipArchive.h"

#include <QRegularExpression>
#include <algorithm>

namespace velmor {

namespace {

QString titleOf(ZipArchive& archive, const QString& metadata)
{
    if (const std::optional<QByteArray> bytes = archive.read(metadata)) {
        const auto tree = readXml(*bytes);
        if (const XmlNode* title = tree->find(QStringLiteral("title")))
            return title->allText().simplified();
    }
    return {};
}

// A paragraph's heading level by its style ("Heading1", "heading 2") or its outline level
// (0 for the top); 0 for other paragraphs.
int headingLevel(const XmlNode& paragraph)
{
    static const QRegularExpression headingStyle(QStringLiteral("^heading ?([1-9])$"),
                                                 QRegularExpression::CaseInsensitiveOption);
    const XmlNode* properties = paragraph.children.empty() ? nullptr : paragraph.children.front().get();
    if (!properties || properties->name != QStringLiteral("pPr"))
        return 0;
    for (const auto& property : properties->children) {
        const QString value = property->attribute(QStringLiteral("w:val"));
        if (property->name == QStringLiteral("pStyle"))
            if (const QRegularExpressionMatch match = headingStyle.match(value); match.hasMatch())
                return match.captured(1).toInt();
        if (property->name == QStringLiteral("outlineLvl") && value.toInt() < 9)
            return value.toInt() + 1;
    }
    return 0;
}

// A word-processing document's body (WordprocessingML): paragraphs, tables by row, footnotes
// and endnotes after their paragraph, pictures by their description.
class DocxWalker {
public:
    void collectNotes(const XmlNode& root, const QString& kind)
    {
        for (const auto& note : root.children) {
            if (note->name == kind) {
                ParagraphWriter out;
                walk(*note, out);
                m_notes.insert(kind + note->attribute(QStringLiteral("w:id")), out.result().replace(u'\n', u' '));
            }
            collectNotes(*note, kind);
        }
    }

    void walk(const XmlNode& node, ParagraphWriter& out)
    {
        for (const auto& child : node.children) {
            const QString& name = child->name;
            if (child->isText() || name == QStringLiteral("instrText") || name == QStringLiteral("delText"))
                continue;
            if (name == QStringLiteral("t")) {
                out.literal(child->allText());
            } else if (name == QStringLiteral("tab")) {
                out.literal(u"\t");
            } else if (name == QStringLiteral("br") || name == QStringLiteral("cr")) {
                out.literal(u" ");
            } else if (name == QStringLiteral("footnoteReference") || name == QStringLiteral("endnoteReference")) {
                const QString kind = name == QStringLiteral("footnoteReference") ? QStringLiteral("footnote")
                                                                                 : QStringLiteral("endnote");
                out.addNote(m_notes.value(kind + child->attribute(QStringLiteral("w:id"))));
            } else if (name == QStringLiteral("docPr")) {
                out.picture(child->attribute(QStringLiteral("descr")));
            } else if (name == QStringLiteral("p")) {
                out.heading(headingLevel(*child));
                walk(*child, out);
                out.endParagraph();
            } else if (name == QStringLiteral("tc")) {
                out.beginCell();
                walk(*child, out);
                out.endCell();
            } else if (name == QStringLiteral("tr")) {
                walk(*child, out);
                out.endRow();
            } else {
                walk(*child, out);
            }
        }
    }

private:
    QHash<QString, QString> m_notes;
};

// An OpenDocument text's body: headings and paragraphs, lists, tables by row, notes after their
// paragraph, frames by their title or description.
void walkOdt(const XmlNode& node, ParagraphWriter& out)
{
    for (const auto& child : node.children) {
        if (child->isText()) {
            out.text(child->text);
            continue;
        }
        const QString& name = child->name;
        if (name == QStringLiteral("s")) {
            out.literal(QString(qMax(1, child->attribute(QStringLiteral("text:c")).toInt()), u' '));
        } else if (name == QStringLiteral("tab")) {
            out.literal(u"\t");
        } else if (name == QStringLiteral("line-break")) {
            out.literal(u" ");
        } else if (name == QStringLiteral("note")) {
            if (const XmlNode* body = child->find(QStringLiteral("note-body"))) {
                ParagraphWriter note;
                walkOdt(*body, note);
                out.addNote(note.result().replace(u'\n', u' '));
            }
        } else if (name == QStringLiteral("annotation") || name == QStringLiteral("tracked-changes")
                   || name == QStringLiteral("sequence-decls") || name == QStringLiteral("image")) {
            continue;
        } else if (name == QStringLiteral("title") || name == QStringLiteral("desc")) {
            // A frame's title or description: a picture's alt text.
            out.picture(child->allText());
        } else if (name == QStringLiteral("p") || name == QStringLiteral("h")) {
            if (name == QStringLiteral("h"))
                out.heading(std::max(1, child->attribute(QStringLiteral("text:outline-level")).toInt()));
            walkOdt(*child, out);
            out.endParagraph();
        } else if (name == QStringLiteral("table-cell")) {
            out.beginCell();
            walkOdt(*child, out);
            out.endCell();
        } else if (name == QStringLiteral("table-row")) {
            walkOdt(*child, out);
            out.endRow();
        } else {
            walkOdt(*child, out);
        }
    }
}

} // namespace

ImportedText DocxImporter::import(QByteArrayView bytes) const
{
    ZipArchive archive(bytes);
    const auto body = readXml(archive.require(QStringLiteral("word/document.xml")));
    DocxWalker walker;
    for (const QString& kind : {QStringLiteral("footnote"), QStringLiteral("endnote")})
        if (const std::optional<QByteArray> notes = archive.read(QStringLiteral("word/%1s.xml").arg(kind)))
            walker.collectNotes(*readXml(*notes), kind);
    ParagraphWriter out;
    walker.walk(*body, out);
    QString text = out.result();
    return {std::move(text), titleOf(archive, QStringLiteral("docProps/core.xml")), out.chapters()};
}

ImportedText OdtImporter::import(QByteArrayView bytes) const
{
    ZipArchive archive(bytes);
    const auto content = readXml(archive.require(QStringLiteral("content.xml")));
    const XmlNode* body = content->find(QStringLiteral("body"));
    if (!body)
        throw ImportError::damaged(QStringLiteral("document"));
    ParagraphWriter out;
    walkOdt(*body, out);
    QString text = out.result();
    return {std::move(text), titleOf(archive, QStringLiteral("meta.xml")), out.chapters()};
}

} // namespace velmor
