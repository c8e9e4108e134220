#include "document/MarkupText.h"

#include "document/Chapters.h"
#include "document/DocumentImport.h"

#include <QXmlStreamEntityResolver>
#include <QXmlStreamReader>

namespace velmor {

namespace {

// XHTML documents use HTML's named characters without declaring them.
class HtmlEntities final : public QXmlStreamEntityResolver {
public:
    QString resolveUndeclaredEntity(const QString& name) override
    {
        static const QHash<QString, QString> known = {
            {QStringLiteral("nbsp"), QStringLiteral("\u00A0")},  {QStringLiteral("ndash"), QStringLiteral("\u2013")},
            {QStringLiteral("mdash"), QStringLiteral("\u2014")}, {QStringLiteral("hellip"), QStringLiteral("\u2026")},
            {QStringLiteral("lsquo"), QStringLiteral("\u2018")}, {QStringLiteral("rsquo"), QStringLiteral("\u2019")},
            {QStringLiteral("ldquo"), QStringLiteral("\u201C")}, {QStringLiteral("rdquo"), QStringLiteral("\u201D")},
            {QStringLiteral("copy"), QStringLiteral("\u00A9")},  {QStringLiteral("reg"), QStringLiteral("\u00AE")},
            {QStringLiteral("trade"), QStringLiteral("\u2122")}, {QStringLiteral("shy"), QStringLiteral("\u00AD")},
            {QStringLiteral("thinsp"), QStringLiteral("\u2009")}, {QStringLiteral("middot"), QStringLiteral("\u00B7")},
        };
        return known.value(name);
    }
};

} // namespace

const XmlNode* XmlNode::find(const QString& localName) const
{
    for (const auto& child : children) {
        if (child->name == localName)
            return child.get();
        if (const XmlNode* found = child->find(localName))
            return found;
    }
    return nullptr;
}

QString XmlNode::allText() const
{
    if (isText())
        return text;
    QString all;
    for (const auto& child : children)
        all += child->allText();
    return all;
}

// Deeper than any real document; the readers walk the tree by recursion, which a file nesting
// elements by the hundred thousand would run off the end of the stack.
constexpr std::size_t kDeepestNesting = 1000;

std::unique_ptr<XmlNode> readXml(QByteArrayView bytes)
{
    QXmlStreamReader reader(bytes.toByteArray());
    HtmlEntities entities;
    reader.setEntityResolver(&entities);
    auto root = std::make_unique<XmlNode>();
    root->name = QStringLiteral("#document");
    std::vector<XmlNode*> open{root.get()};
    while (!reader.atEnd()) {
        switch (reader.readNext()) {
        case QXmlStreamReader::StartElement: {
            auto element = std::make_unique<XmlNode>();
            element->name = reader.name().toString();
            element->namespaceUri = reader.namespaceUri().toString();
            for (const QXmlStreamAttribute& attribute : reader.attributes())
                element->attributes.insert(attribute.qualifiedName().toString(), attribute.value().toString());
            XmlNode* raw = element.get();
            open.back()->children.push_back(std::move(element));
            open.push_back(raw);
            if (open.size() > kDeepestNesting)
                throw ImportError::damaged(QStringLiteral("text"));
            break;
        }
        case QXmlStreamReader::EndElement:
            open.pop_back();
            break;
        case QXmlStreamReader::Characters: {
            // An entity the document declares as external stays a reference: it is never loaded.
            auto text = std::make_unique<XmlNode>();
            text->text = reader.text().toString();
            open.back()->children.push_back(std::move(text));
            break;
        }
        default:
            break;
        }
    }
    if (reader.hasError())
        throw ImportError::damaged(QStringLiteral("text"));
    return root;
}

bool hasWord(const QString& list, QStringView word)
{
    for (const QStringView item : QStringView(list).split(u' ', Qt::SkipEmptyParts))
        if (item == word)
            return true;
    return false;
}

bool isNote(const XmlNode& element)
{
    const QString type = element.attribute(QStringLiteral("epub:type"));
    const QString role = element.attribute(QStringLiteral("role"));
    return hasWord(type, u"footnote") || hasWord(type, u"endnote") || hasWord(type, u"rearnote")
        || role == QStringLiteral("doc-footnote") || role == QStringLiteral("doc-endnote");
}

bool isNoteReference(const XmlNode& element)
{
    return hasWord(element.attribute(QStringLiteral("epub:type")), u"noteref")
        || element.attribute(QStringLiteral("role")) == QStringLiteral("doc-noteref")
        || hasWord(element.attribute(QStringLiteral("class")), u"footnote-ref");
}

bool isBackLink(const XmlNode& element)
{
    return element.attribute(QStringLiteral("role")) == QStringLiteral("doc-backlink")
        || hasWord(element.attribute(QStringLiteral("class")), u"footnote-back");
}

void ParagraphWriter::append(QStringView text)
{
    if (!m_line.isEmpty() || !text.trimmed().isEmpty())
        m_line += text;
}

void ParagraphWriter::text(QStringView text)
{
    QString collapsed;
    collapsed.reserve(text.size());
    bool space = !m_line.isEmpty() && m_line.back().isSpace();
    for (const QChar c : text) {
        if (c.isSpace() && c != QChar(0x00A0)) {
            if (!space)
                collapsed += u' ';
            space = true;
        } else if (c != QChar(0x00AD)) {
            collapsed += c;
            space = false;
        }
    }
    append(collapsed);
}

void ParagraphWriter::literal(QStringView text) { append(text); }

void ParagraphWriter::picture(const QString& description)
{
    const QString simplified = description.simplified();
    if (simplified.isEmpty())
        return;
    text(QStringLiteral(" %1 ").arg(simplified));
    m_description = simplified;
    m_descriptionEnded = false;
}

void ParagraphWriter::endParagraph()
{
    if (m_cellDepth > 0) {
        if (!m_line.isEmpty() && !m_line.back().isSpace())
            m_line += u' ';
        return;
    }
    const QString line = m_line.trimmed();
    m_line.clear();
    const int headingLevel = std::exchange(m_headingLevel, 0);
    if (!line.isEmpty()) {
        if (m_descriptionEnded && line == m_description) {
            m_description.clear();
            m_descriptionEnded = false;
        } else {
            m_descriptionEnded = !m_description.isEmpty() && line.endsWith(m_description);
            if (!m_descriptionEnded)
                m_description.clear();
            if (headingLevel > 0)
                m_headings.push_back({m_lines.size(), headingLevel});
            m_lines << line;
        }
    }
    for (const QString& note : std::as_const(m_notes))
        m_lines << note;
    m_notes.clear();
}

void ParagraphWriter::heading(int level)
{
    if (m_cellDepth == 0)
        m_headingLevel = level;
}

std::vector<ChapterStart> ParagraphWriter::chapters() const
{
    std::vector<int> levels;
    for (const Heading& heading : m_headings)
        levels.push_back(heading.level);
    const int level = chapterLevel(levels);
    std::vector<ChapterStart> chapters;
    for (const Heading& heading : m_headings)
        if (heading.level == level)
            chapters.push_back({heading.line, m_lines.at(heading.line), m_lines.at(heading.line)});
    return chapters;
}

void ParagraphWriter::addNote(const QString& note)
{
    if (!note.trimmed().isEmpty())
        m_notes << note.trimmed();
}

void ParagraphWriter::beginCell() { ++m_cellDepth; }

void ParagraphWriter::endCell()
{
    if (m_cellDepth > 0)
        --m_cellDepth;
    while (!m_line.isEmpty() && m_line.back().isSpace())
        m_line.chop(1);
    if (m_cellDepth == 0 && !m_line.isEmpty())
        m_line += u'\t';
}

void ParagraphWriter::endRow()
{
    while (!m_line.isEmpty() && m_line.back().isSpace())
        m_line.chop(1);
    endParagraph();
}

QString ParagraphWriter::result()
{
    endParagraph();
    return m_lines.join(u'\n');
}

} // namespace velmor
