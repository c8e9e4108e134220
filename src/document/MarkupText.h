#pragma once

#include "core/ChapterStart.h"

#include <QByteArrayView>
#include <QHash>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

namespace velmor {

// An XML document read whole into a small tree, for the importers that need to look ahead
// (notes are read out after the paragraph that calls them, wherever they stand). Read with
// QXmlStreamReader, which never loads external entities or anything from the network; the HTML
// entities that XHTML files use without declaring them are known by name. Throws ImportError
// when the XML is not well formed.
struct XmlNode {
    QString name;      // local name; empty for text
    QString namespaceUri;
    QString text;      // text nodes only
    QHash<QString, QString> attributes; // by qualified name, as written ("epub:type")
    std::vector<std::unique_ptr<XmlNode>> children;

    bool isText() const { return name.isEmpty(); }
    QString attribute(const QString& qualifiedName) const { return attributes.value(qualifiedName); }
    // The first element below this one (depth first) with that local name; null when none.
    const XmlNode* find(const QString& localName) const;
    // All the text below this node, as it stands.
    QString allText() const;
};

std::unique_ptr<XmlNode> readXml(QByteArrayView bytes);

// Notes and the calls to them, by the marks that e-books and web pages (pandoc's among them) put
// on them.
bool hasWord(const QString& list, QStringView word);
bool isNote(const XmlNode& element);
bool isNoteReference(const XmlNode& element);
// The link in a note back to its call.
bool isBackLink(const XmlNode& element);

// Collects a document's text as a listener wants it: a paragraph or heading per line, runs of
// white space as one space, table cells of a row on one line, and notes after the paragraph
// that calls them.
class ParagraphWriter {
public:
    // Text as it stands in markup: white space runs become one space.
    void text(QStringView text);
    // Text whose spaces count (a word processor's spaces and tabs).
    void literal(QStringView text);
    // A picture, by its description. A caption that only repeats it, as the paragraph after the
    // picture's, is heard once.
    void picture(const QString& description);
    void endParagraph();
    // The paragraph going on is a heading of that level (1 for the top); outside tables, the
    // headings of the level that divides the document are its chapters.
    void heading(int level);
    // Read out once the paragraph going on has ended.
    void addNote(const QString& note);
    // Between begin/endCell, paragraphs end in a space; endRow ends the row's line.
    void beginCell();
    void endCell();
    void endRow();

    QString result();

    // The lines ended so far, for an importer that marks where its chapters begin.
    const QStringList& lines() const { return m_lines; }
    void insertLine(qsizetype at, const QString& line) { m_lines.insert(at, line); }
    std::vector<ChapterStart> chapters() const;

private:
    void append(QStringView text);

    QStringList m_lines;
    QString m_line;
    QStringList m_notes;
    QString m_description; // of the last picture, until its paragraph has ended
    bool m_descriptionEnded = false;
    int m_cellDepth = 0;
    int m_headingLevel = 0; // of the paragraph going on
    struct Heading {
        qsizetype line;
        int level;
    };
    std::vector<Heading> m_headings;
};

} // namespace velmor
