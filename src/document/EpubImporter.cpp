#include "document/DocumentImport.h"
#include "document/MarkupText.h"
#include "document/ZipArchive.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QUrl>

#include <functional>

namespace velmor {

namespace {

const QSet<QString> kSkipped = {QStringLiteral("head"),     QStringLiteral("script"), QStringLiteral("style"),
                                QStringLiteral("template"), QStringLiteral("svg"),    QStringLiteral("math")};
const QSet<QString> kBlocks = {
    QStringLiteral("p"),       QStringLiteral("div"),        QStringLiteral("h1"),     QStringLiteral("h2"),
    QStringLiteral("h3"),      QStringLiteral("h4"),         QStringLiteral("h5"),     QStringLiteral("h6"),
    QStringLiteral("li"),      QStringLiteral("blockquote"), QStringLiteral("pre"),    QStringLiteral("section"),
    QStringLiteral("article"), QStringLiteral("aside"),      QStringLiteral("header"), QStringLiteral("footer"),
    QStringLiteral("nav"),     QStringLiteral("figure"),     QStringLiteral("figcaption"), QStringLiteral("dt"),
    QStringLiteral("dd"),      QStringLiteral("br"),         QStringLiteral("hr"),     QStringLiteral("table"),
    QStringLiteral("ul"),      QStringLiteral("ol"),         QStringLiteral("dl"),     QStringLiteral("caption"),
    QStringLiteral("body"),    QStringLiteral("main")};

// The chapters' text in spine order, notes read after the paragraph that calls them.
class XhtmlWalker {
public:
    // First pass: the notes of every chapter by id, so a note in a chapter of its own is found.
    void collectNotes(const XmlNode& node)
    {
        for (const auto& child : node.children) {
            if (child->isText())
                continue;
            if (isNote(*child)) {
                ParagraphWriter note;
                XhtmlWalker inner;
                inner.walk(*child, note, true);
                m_notes.insert(child->attribute(QStringLiteral("id")), note.result().replace(u'\n', u' '));
                continue;
            }
            collectNotes(*child);
        }
    }

    void walk(const XmlNode& node, ParagraphWriter& out, bool insideNote = false)
    {
        for (const auto& child : node.children) {
            if (child->isText()) {
                out.text(child->text);
                continue;
            }
            const QString& name = child->name;
            // What is hidden from screen readers (a caption repeating a picture's alt text) is skipped too.
            if (kSkipped.contains(name) || isBackLink(*child) || (!insideNote && isNote(*child))
                || child->attribute(QStringLiteral("aria-hidden")) == QStringLiteral("true"))
                continue;
            if (isNoteReference(*child)) {
                const QString target = child->attribute(QStringLiteral("href")).section(u'#', 1);
                if (m_notes.contains(target)) {
                    out.addNote(m_notes.value(target));
                    continue;
                }
            }
            if (name == QStringLiteral("img")) {
                out.picture(child->attribute(QStringLiteral("alt")));
                continue;
            }
            if (name == QStringLiteral("td") || name == QStringLiteral("th")) {
                out.beginCell();
                walk(*child, out, insideNote);
                out.endCell();
                continue;
            }
            const bool block = kBlocks.contains(name);
            if (block)
                out.endParagraph();
            walk(*child, out, insideNote);
            if (name == QStringLiteral("tr"))
                out.endRow();
            else if (block)
                out.endParagraph();
        }
    }

private:
    QHash<QString, QString> m_notes;
};

QString resolve(const QString& base, const QString& href)
{
    const QString path = QUrl::fromPercentEncoding(href.section(u'#', 0, 0).toUtf8());
    return QDir::cleanPath(QDir(base).filePath(path)).remove(QRegularExpression(QStringLiteral("^\\./")));
}

void eachElement(const XmlNode& node, const std::function<void(const XmlNode&)>& visit)
{
    for (const auto& child : node.children) {
        if (child->isText())
            continue;
        visit(*child);
        eachElement(*child, visit);
    }
}

// The title of each chapter file by the book's table of contents: the first entry that points
// into the file names it. EPUB 3 books give it in their navigation document, EPUB 2 books in
// an NCX file; a book with neither gives none.
QHash<QString, QString> contentsTitles(ZipArchive& archive, const QString& navPath, const QString& ncxPath)
{
    QHash<QString, QString> titles;
    const auto add = [&titles](const QString& base, const QString& href, const QString& title) {
        const QString path = resolve(base, href);
        if (!title.isEmpty() && !href.isEmpty() && !titles.contains(path))
            titles.insert(path, title);
    };
    if (!navPath.isEmpty()) {
        if (const std::optional<QByteArray> bytes = archive.read(navPath)) {
            const auto nav = readXml(*bytes);
            const XmlNode* contents = nullptr;
            eachElement(*nav, [&contents](const XmlNode& element) {
                if (!contents && element.name == QStringLiteral("nav")
                    && hasWord(element.attribute(QStringLiteral("epub:type")), u"toc"))
                    contents = &element;
            });
            if (contents) {
                const QString base = QFileInfo(navPath).path();
                eachElement(*contents, [&](const XmlNode& element) {
                    if (element.name == QStringLiteral("a"))
                        add(base, element.attribute(QStringLiteral("href")), element.allText().simplified());
                });
            }
        }
    }
    if (titles.isEmpty() && !ncxPath.isEmpty()) {
        if (const std::optional<QByteArray> bytes = archive.read(ncxPath)) {
            const auto ncx = readXml(*bytes);
            const QString base = QFileInfo(ncxPath).path();
            eachElement(*ncx, [&](const XmlNode& element) {
                if (element.name != QStringLiteral("navPoint"))
                    return;
                const XmlNode* label = element.find(QStringLiteral("navLabel"));
                const XmlNode* content = element.find(QStringLiteral("content"));
                if (label && content)
                    add(base, content->attribute(QStringLiteral("src")), label->allText().simplified());
            });
        }
    }
    return titles;
}

// A chapter file's own title when the book has no table of contents: its first heading.
QString firstHeading(const XmlNode& chapter)
{
    static const QSet<QString> headings = {QStringLiteral("h1"), QStringLiteral("h2"), QStringLiteral("h3")};
    QString title;
    eachElement(chapter, [&title](const XmlNode& element) {
        if (title.isEmpty() && headings.contains(element.name))
            title = element.allText().simplified();
    });
    return title;
}

} // namespace

ImportedText EpubImporter::import(QByteArrayView bytes) const
{
    ZipArchive archive(bytes);
    // Books sold with DRM say so in rights.xml or encrypt more than their fonts.
    if (archive.contains(QStringLiteral("META-INF/rights.xml")))
        throw ImportError::drmProtected();
    if (const std::optional<QByteArray> encryption = archive.read(QStringLiteral("META-INF/encryption.xml"))) {
        const auto tree = readXml(*encryption);
        eachElement(*tree, [](const XmlNode& element) {
            if (element.name != QStringLiteral("EncryptionMethod"))
                return;
            const QString algorithm = element.attribute(QStringLiteral("Algorithm"));
            // Font obfuscation is not protection: the text is readable.
            if (algorithm != QStringLiteral("http://www.idpf.org/2008/embedding")
                && algorithm != QStringLiteral("http://ns.adobe.com/pdf/enc#RC"))
                throw ImportError::drmProtected();
        });
    }

    const auto container = readXml(archive.require(QStringLiteral("META-INF/container.xml")));
    const XmlNode* rootFile = container->find(QStringLiteral("rootfile"));
    if (!rootFile)
        throw ImportError::damaged(QStringLiteral("book"));
    const QString packagePath = rootFile->attribute(QStringLiteral("full-path"));
    const QString base = QFileInfo(packagePath).path();
    const auto package = readXml(archive.require(packagePath));

    ImportedText imported;
    if (const XmlNode* title = package->find(QStringLiteral("title")))
        imported.title = title->allText().simplified();
    QHash<QString, QString> manifest;
    QString navPath;
    if (const XmlNode* items = package->find(QStringLiteral("manifest")))
        for (const auto& item : items->children)
            if (item->name == QStringLiteral("item")) {
                const QString path = resolve(base, item->attribute(QStringLiteral("href")));
                manifest.insert(item->attribute(QStringLiteral("id")), path);
                if (hasWord(item->attribute(QStringLiteral("properties")), u"nav"))
                    navPath = path;
            }
    const XmlNode* spine = package->find(QStringLiteral("spine"));
    if (!spine)
        throw ImportError::damaged(QStringLiteral("book"));

    struct ChapterFile {
        QString path;
        std::unique_ptr<XmlNode> tree;
    };
    std::vector<ChapterFile> chapters;
    for (const auto& itemRef : spine->children) {
        if (itemRef->name != QStringLiteral("itemref"))
            continue;
        const QString path = manifest.value(itemRef->attribute(QStringLiteral("idref")));
        if (path.isEmpty())
            continue;
        if (const std::optional<QByteArray> chapter = archive.read(path))
            chapters.push_back({path, readXml(*chapter)});
    }
    const QHash<QString, QString> titles =
        contentsTitles(archive, navPath, manifest.value(spine->attribute(QStringLiteral("toc"))));
    XhtmlWalker walker;
    for (const auto& chapter : chapters)
        walker.collectNotes(*chapter.tree);
    ParagraphWriter out;
    for (const auto& chapter : chapters) {
        out.endParagraph();
        const qsizetype first = out.lines().size();
        walker.walk(*chapter.tree, out);
        out.endParagraph();
        // A file the contents do not name goes on the chapter before it (a chapter split in two
        // files, a cover page).
        const QString title = titles.isEmpty() ? firstHeading(*chapter.tree) : titles.value(chapter.path);
        if (title.isEmpty() || first == out.lines().size())
            continue;
        // A chapter whose text does not begin with its title is heard with it.
        const QString opening = out.lines().at(first);
        if (!opening.contains(title, Qt::CaseInsensitive) && !title.contains(opening, Qt::CaseInsensitive))
            out.insertLine(first, title);
        imported.chapters.push_back({first, out.lines().at(first), title});
    }
    imported.text = out.result();
    return imported;
}

} // namespace velmor
