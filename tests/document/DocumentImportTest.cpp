#include "document/Chapters.h"
#include "document/DocumentImport.h"
#include "document/EncodingDetection.h"
#include "document/TextFile.h"
#include "document/ZipArchive.h"
#include "QtPrinters.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QStandardPaths>
#include <QStringEncoder>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <zip.h>

#include <algorithm>

using velmor::DocumentKind;
using velmor::ImportError;
using velmor::ImportedText;
using velmor::importerFor;
using velmor::recogniseDocument;

namespace {

// What the documents made from it by real tools say; a footnote, a list, a table and a picture
// with a description.
const char* const kMarkdown = R"(---
title: Harbour Notes
---

# Arrival

The ferry docks at noon.[^1] Passengers wait on the pier.

- bread
- cheese

| Name | Price |
|------|-------|
| Tea  | 3     |
| Cake | 5     |

![A lighthouse at dusk](lamp.png)

Goodbye for now.

[^1]: Weather permitting.
)";

class DocumentImport : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }

    QString path(const QString& name) const { return m_dir.filePath(name); }

    void write(const QString& name, const QByteArray& bytes) const
    {
        QFile file(path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    QByteArray read(const QString& name) const
    {
        QFile file(path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // Runs a document tool in the folder; false (with the reason recorded) when it is missing or fails.
    bool run(const QString& program, const QStringList& arguments)
    {
        if (QStandardPaths::findExecutable(program).isEmpty()) {
            m_missing = program + " is not installed (scripts/install-deps.sh installs it)";
            return false;
        }
        QProcess process;
        process.setWorkingDirectory(m_dir.path());
        process.start(program, arguments);
        process.waitForFinished(120'000);
        EXPECT_EQ(process.exitCode(), 0) << program.toStdString() << ": " << process.readAllStandardError().toStdString();
        return process.exitCode() == 0;
    }

    bool pandoc(const QString& output, const QStringList& extra = {})
    {
        if (!QFile::exists(path("harbour.md"))) {
            write("harbour.md", kMarkdown);
            QImage picture(8, 8, QImage::Format_RGB32);
            picture.fill(Qt::darkBlue);
            picture.save(path("lamp.png"));
        }
        return run("pandoc", QStringList{"harbour.md", "-s", "-o", output} + extra);
    }

    ImportedText import(const QString& name)
    {
        const QByteArray bytes = read(name);
        const auto importer = importerFor(recogniseDocument(bytes, name));
        if (!importer)
            throw std::logic_error("no importer for " + name.toStdString());
        return importer->import(bytes);
    }

    QString failure(const QString& name)
    {
        try {
            import(name);
        } catch (const ImportError& error) {
            return error.message(name);
        }
        return "opened";
    }

    // Replaces or adds entries of a zip archive in place.
    void putInZip(const QString& name, const std::vector<std::pair<const char*, QByteArray>>& entries)
    {
        int error = 0;
        zip_t* archive = zip_open(path(name).toUtf8().constData(), 0, &error);
        ASSERT_NE(archive, nullptr);
        for (const auto& [entry, content] : entries) {
            zip_source_t* source = zip_source_buffer(archive, content.constData(), content.size(), 0);
            ASSERT_GE(zip_file_add(archive, entry, source, ZIP_FL_OVERWRITE | ZIP_FL_ENC_UTF_8), 0);
        }
        ASSERT_EQ(zip_close(archive), 0);
    }

    QTemporaryDir m_dir;
    QString m_missing;
};

#define REQUIRE_TOOL(call)                                                                                             \
    if (!(call)) {                                                                                                     \
        if (!m_missing.isEmpty())                                                                                      \
            GTEST_SKIP() << m_missing.toStdString();                                                                   \
        FAIL();                                                                                                        \
    }

// The text a listener hears of the harbour notes, as every word-processor and e-book format gives it.
const QStringList kHeard = {
    "Arrival",
    "The ferry docks at noon. Passengers wait on the pier.",
    "Weather permitting.",
    "bread",
    "cheese",
    "Name\tPrice",
    "Tea\t3",
    "Cake\t5",
    "A lighthouse at dusk",
    "Goodbye for now.",
};

QStringList linesOf(const QString& text) { return text.split(u'\n'); }

// Every format pandoc writes, the web page and Markdown among them, is heard alike: the note after
// the paragraph that calls it, its mark not read in the sentence.
TEST_F(DocumentImport, DocumentsMadeByPandocReadAsAListenerHearsThem)
{
    for (const QString name : {"harbour.epub", "harbour.docx", "harbour.odt", "harbour.html", "harbour-gfm.md"}) {
        SCOPED_TRACE(name.toStdString());
        REQUIRE_TOOL(pandoc(name, name.endsWith(".md") ? QStringList{"-t", "gfm"} : QStringList{}));
        const ImportedText imported = import(name);
        EXPECT_EQ(imported.title, "Harbour Notes");
        QStringList lines = linesOf(imported.text);
        // Where the format keeps the title in the text, it is heard first.
        lines.removeAll("Harbour Notes");
        EXPECT_EQ(lines, kHeard) << imported.text.toStdString();
    }
}

// A book's chapters are those of its table of contents, titled as it titles them, even where a
// contents list in the text names them first; other documents' chapters are their headings.
// Edits above a chapter, or a chapter's heading deleted, still leave the others where they are.
TEST_F(DocumentImport, ChaptersComeFromTheDocumentItselfAndSurviveEdits)
{
    QString preface;
    for (int line = 1; line <= 120; ++line)
        preface += QString("Line %1.\n\n").arg(line);
    write("book.md", ("---\ntitle: Three Walks\n---\n\n# Before We Start\n\nThe Harbour\n\nThe Lamp\n\nHome\n\n" + preface
                      + "# The Harbour\n\nBoats rock.\n\n# The Lamp\n\nIt turns.\n\nIt turns again.\n\n# Home\n\nTea.\n")
                         .toUtf8());
    REQUIRE_TOOL(run("pandoc", {"book.md", "-s", "-t", "epub2", "-o", "book2.epub"}));
    for (const QString name : {"book.epub", "book.docx", "book.odt", "book.html"})
        REQUIRE_TOOL(run("pandoc", {"book.md", "-s", "-o", name}));
    for (const QString name : {"book.epub", "book2.epub", "book.docx", "book.odt", "book.html", "book.md"}) {
        SCOPED_TRACE(name.toStdString());
        // A book's contents may title a chapter otherwise than its heading does.
        const QString lamp = name.endsWith(".epub") ? "The Lamp at Night" : "The Lamp";
        if (name.endsWith(".epub")) {
            velmor::ZipArchive archive(read(name));
            for (const char* contents : {"EPUB/nav.xhtml", "EPUB/toc.ncx"})
                if (std::optional<QByteArray> bytes = archive.read(contents))
                    putInZip(name, {{contents, bytes->replace(">The Lamp<", ">The Lamp at Night<")}});
        }
        const ImportedText imported = import(name);
        QStringList titles;
        for (const velmor::ChapterStart& chapter : imported.chapters) {
            titles << chapter.title;
            EXPECT_EQ(linesOf(imported.text).value(chapter.line), chapter.firstLine);
        }
        // An EPUB 2 book's contents name its title page too, and a web page's title is a heading.
        titles.removeAll("Three Walks");
        EXPECT_EQ(titles, QStringList({"Before We Start", "The Harbour", lamp, "Home"}));

        QString edited = imported.text;
        edited.replace("It turns.\n", "It turns.\nA line written in.\nAnd another.\n");
        edited.remove("The Harbour\nBoats rock.");
        edited.remove("Three Walks\n");
        edited.prepend("A note of mine.\n\n");
        QStringList found;
        for (const velmor::Chapter& chapter : velmor::findChapters(edited, imported.chapters))
            found << chapter.title + ": " + edited.mid(chapter.start, chapter.end - chapter.start).simplified();
        EXPECT_EQ(found, QStringList({": A note of mine.",
                                      "Before We Start: Before We Start The Harbour The Lamp Home "
                                          + preface.simplified(),
                                      lamp + ": The Lamp It turns. A line written in. And another. It turns again.",
                                      "Home: Home Tea."}))
            << found.join(" | ").toStdString();
    }
}

// Pages made by hand mark their notes with a superscript link to a list item or paragraph;
// links that are not notes stay in the text, and so do Markdown calls inside code. A note of
// several paragraphs is heard as one line.
TEST_F(DocumentImport, HtmlIsReadWithoutMarkupScriptsOrStyles)
{
    REQUIRE_TOOL(pandoc("harbour.html"));
    write("page.html", read("harbour.html").replace("</body>", "<script>var hidden = 'SCRIPTWORD';</script></body>"));
    const ImportedText imported = import("page.html");
    for (const char* markup : {"<", "{", "SCRIPTWORD", "margin", "\u21A9"})
        EXPECT_FALSE(imported.text.contains(markup)) << markup;

    write("tides.html", "<html><body><p><a href=\"#moon\">The moon</a> pulls the sea."
                        "<p>The tide turns twice a day<sup><a href=\"#n1\" id=\"r1\">[1]</a></sup> and the moon"
                        "<a href=\"#n2\"><sup>2</sup></a> pulls it.<p>The ninth<sup>th</sup> is E = mc<sup>2</sup>."
                        "<h2 id=\"moon\">The moon</h2><p>It is far.<hr><ol><li id=\"n1\"><a href=\"#r1\">^</a> Except"
                        " at neap tides.<li><a name=\"n2\"></a>Or so they say.</ol></body></html>");
    EXPECT_EQ(import("tides.html").text, "The moon pulls the sea.\n"
                                          "The tide turns twice a day and the moon pulls it.\n"
                                          "Except at neap tides.\nOr so they say.\n"
                                          "The ninthth is E = mc2.\nThe moon\nIt is far.");

    write("notes.md", "# Shopping\n\nSome *fine* words[^fine]\nin one paragraph.\n\n1. milk `[^fine]`\n2. eggs\n\n"
                      "[^fine]: Fine, that is,\nin every way.\n\n    Even the second paragraph.\n\n"
                      "```\n[^fine]: code\n```\n");
    const ImportedText markdown = import("notes.md");
    EXPECT_EQ(markdown.title, "Shopping");
    EXPECT_EQ(markdown.text, "Shopping\nSome fine words in one paragraph.\n"
                             "Fine, that is, in every way. Even the second paragraph.\nmilk [^fine]\neggs\n[^fine]: code");
}

// A two-column paper set by groff: running header and page numbers left out, words broken at
// line ends joined, the columns one after the other. Its pages are shared out between threads,
// and its first pages are handed out before the whole.
TEST_F(DocumentImport, PdfTextComesInReadingOrderWithoutHeadersOrBrokenWords)
{
    constexpr int kParagraphs = 64;
    QString source = ".ds LH ZZRUNNINGHEAD\n.ds CH - % -\n.hy 1\n.nr LL 6i\n.2C\n";
    const QStringList words = {"extraordinarily", "unquestionably", "harbour", "lighthouse", "passengers",
                               "disembarkation", "meteorological", "circumstances", "notwithstanding"};
    for (int paragraph = 0; paragraph < kParagraphs; ++paragraph) {
        source += ".PP\n";
        source += QString("Marker%1 ").arg(QChar('a' + paragraph % 26)) + QString("mark%1 ").arg(paragraph);
        for (int word = 0; word < 30; ++word)
            source += words[(paragraph + word * 7) % words.size()] + (word % 6 == 5 ? ".\n" : " ");
        source += "\n";
    }
    write("paper.ms", source.toUtf8());
    if (QStandardPaths::findExecutable("groff").isEmpty())
        GTEST_SKIP() << "groff is not installed (scripts/install-deps.sh installs it)";
    QProcess groff;
    groff.setWorkingDirectory(m_dir.path());
    groff.setStandardOutputFile(path("paper.pdf"));
    groff.start("groff", {"-ms", "-Tpdf", "paper.ms"});
    ASSERT_TRUE(groff.waitForFinished(60'000));
    ASSERT_EQ(groff.exitCode(), 0) << groff.readAllStandardError().toStdString();

    const QString text = import("paper.pdf").text;
    const QStringList heard = text.split(QRegularExpression("[\\s.]+"), Qt::SkipEmptyParts);
    int expected = 0;
    for (const QString& word : heard) {
        if (word.startsWith("mark")) {
            EXPECT_EQ(word, QString("mark%1").arg(expected)) << "out of order";
            ++expected;
            continue;
        }
        EXPECT_TRUE(words.contains(word) || word.startsWith("Marker")) << "not in the paper: " << word.toStdString();
    }
    EXPECT_EQ(expected, kParagraphs);
    // Most paragraphs are a line of their own.
    int whole = 0;
    for (const QString& line : text.split(u'\n'))
        whole += line.startsWith("Marker") && line.count('.') == 5;
    EXPECT_GT(whole, kParagraphs * 3 / 4) << text.toStdString();

    // Page by page it says how far it has got, hands out its first pages once, and stops when told.
    const QByteArray paper = read("paper.pdf");
    std::vector<qint64> done;
    qint64 total = 0;
    QStringList firstPages;
    const ImportedText again = velmor::PdfImporter().import(
        paper,
        [&](qint64 page, qint64 pages) {
            done.push_back(page);
            total = pages;
            return true;
        },
        [&](const QString& beginning) { firstPages << beginning; });
    EXPECT_EQ(again.text, text);
    ASSERT_GT(total, 5);
    EXPECT_TRUE(std::is_sorted(done.begin(), done.end()));
    EXPECT_EQ(done.back(), total);
    ASSERT_EQ(firstPages.size(), 1);
    EXPECT_TRUE(firstPages[0].startsWith("Markera mark0 "));
    EXPECT_LT(firstPages[0].size(), text.size());
    EXPECT_TRUE(text.startsWith(firstPages[0]));
    EXPECT_THROW(velmor::PdfImporter().import(paper, [](qint64, qint64) { return false; }, {}), velmor::ReadStopped);
    EXPECT_THROW(velmor::PdfImporter().import(paper, [](qint64 page, qint64 pages) { return page < pages - 1; }, {}),
                 velmor::ReadStopped);
}

TEST_F(DocumentImport, ProtectedImageOnlyAndDamagedDocumentsSayWhy)
{
    REQUIRE_TOOL(pandoc("harbour.epub"));
    write("plain.ms", ".PP\nA short report.\n");
    QProcess groff;
    groff.setWorkingDirectory(m_dir.path());
    groff.setStandardOutputFile(path("report.pdf"));
    groff.start("groff", {"-ms", "-Tpdf", "plain.ms"});
    ASSERT_TRUE(groff.waitForFinished(60'000));
    EXPECT_EQ(import("report.pdf").text, "A short report.");
    REQUIRE_TOOL(run("qpdf", {"--encrypt", "reader", "owner", "256", "--", "report.pdf", "locked.pdf"}));
    EXPECT_EQ(failure("locked.pdf"), "locked.pdf is protected by a password.");

    {
        QPdfWriter writer(path("scan.pdf"));
        QPainter painter(&writer);
        QImage scan(400, 300, QImage::Format_RGB32);
        scan.fill(Qt::white);
        QPainter(&scan).drawText(20, 40, "Scanned words");
        painter.drawImage(0, 0, scan);
    }
    EXPECT_EQ(failure("scan.pdf"), "scan.pdf has no text to read: it holds only images.");

    write("torn.epub", read("harbour.epub").left(read("harbour.epub").size() / 2));
    EXPECT_EQ(failure("torn.epub"), "torn.epub is damaged: its archive cannot be read.");

    write("drm.epub", read("harbour.epub"));
    putInZip("drm.epub", {{"META-INF/encryption.xml",
                           R"(<encryption xmlns="urn:oasis:names:tc:opendocument:xmlns:container"
 xmlns:enc="http://www.w3.org/2001/04/xmlenc#"><enc:EncryptedData>
<enc:EncryptionMethod Algorithm="http://www.w3.org/2001/04/xmlenc#aes128-cbc"/>
<enc:CipherData><enc:CipherReference URI="EPUB/text/ch001.xhtml"/></enc:CipherData>
</enc:EncryptedData></encryption>)"}});
    EXPECT_EQ(failure("drm.epub"), "drm.epub is protected by DRM (digital rights management) and cannot be read.");
}

// An entity that names a file is never read in, and an archive that would expand beyond the limits
// is refused before it fills memory.
TEST_F(DocumentImport, EpubEntitiesAndZipBombsAreRefused)
{
    REQUIRE_TOOL(pandoc("harbour.epub"));
    write("secret.txt", "SECRETWORD");
    const QByteArray chapter = QString(R"(<?xml version="1.0" encoding="UTF-8"?>
<!DOCTYPE html [ <!ENTITY leak SYSTEM "file://%1"> ]>
<html xmlns="http://www.w3.org/1999/xhtml"><head><title>x</title></head>
<body><p>Before &leak; after&nbsp;all.</p></body></html>)")
                                   .arg(path("secret.txt"))
                                   .toUtf8();
    write("entity.epub", read("harbour.epub"));
    putInZip("entity.epub", {{"EPUB/text/ch001.xhtml", chapter}});
    const ImportedText imported = import("entity.epub");
    EXPECT_FALSE(imported.text.contains("SECRETWORD"));
    EXPECT_TRUE(imported.text.contains(QString("after\u00A0all.")));

    // Elements nested by the hundred thousand are refused, not walked off the end of the stack.
    write("deep.epub", read("harbour.epub"));
    putInZip("deep.epub", {{"EPUB/text/ch001.xhtml", "<html><body>" + QByteArray("<div>").repeated(200'000) + QByteArray("</div>").repeated(200'000) + "</body></html>"}});
    EXPECT_EQ(failure("deep.epub"), "deep.epub is damaged: its text cannot be read.");

    const QByteArray zeros(65 * 1024 * 1024, '\0');
    write("bomb.epub", read("harbour.epub"));
    putInZip("bomb.epub", {{"EPUB/text/ch001.xhtml", zeros}});
    EXPECT_LT(QFileInfo(path("bomb.epub")).size(), 1024 * 1024);
    EXPECT_EQ(failure("bomb.epub"), "bomb.epub is too large to read: the limit is 64 MB for one file in its archive.");

    // The other limits, scaled down: entries in all, and bytes expanded over all entries.
    const QByteArray book = read("harbour.epub");
    EXPECT_THROW(velmor::ZipArchive(book, {.entries = 3}), ImportError);
    velmor::ZipArchive archive(book, {.entries = 100, .entrySize = 2000, .totalSize = 2000});
    EXPECT_TRUE(archive.read("EPUB/content.opf").has_value());
    try {
        archive.read("EPUB/text/ch001.xhtml");
        archive.read("EPUB/nav.xhtml");
        ADD_FAILURE() << "read beyond the limit";
    } catch (const ImportError& error) {
        EXPECT_EQ(error.message("book"), "book is too large to read: the limit is 2000 bytes unpacked.");
    }
}

TEST_F(DocumentImport, KindsAreRecognisedByContentThenByName)
{
    EXPECT_EQ(recogniseDocument("%PDF-1.7\n", "scan.txt"), DocumentKind::Pdf);
    EXPECT_EQ(recogniseDocument("<p>hi</p>", "page.htm"), DocumentKind::Html);
    EXPECT_EQ(recogniseDocument("<!DOCTYPE html><p>hi</p>", "saved"), DocumentKind::Html);
    EXPECT_EQ(recogniseDocument("# hi", "notes.md"), DocumentKind::Markdown);
    EXPECT_EQ(recogniseDocument("plain words", "build.log"), DocumentKind::PlainText);
    EXPECT_EQ(recogniseDocument(QByteArrayView("\x7f" "ELF\0\0", 6), "program"), DocumentKind::Binary);
    EXPECT_EQ(recogniseDocument(QByteArrayView("a\0b", 3), "odd.txt"), DocumentKind::PlainText);
}

} // namespace

// A text file that does not read cleanly as Shift-JIS is offered in the encoding it is in; one that
// does is not.
TEST(EncodingDetection, OffersWhatUchardetFindsOnlyForFilesThatDoNotReadCleanly)
{
    const QString japanese = QString::fromUtf8("今日は晴れです。明日の天気はどうでしょうか。私たちは港へ行きます。"
                                               "船が着くのを待っています。");
    QStringEncoder eucJp("EUC-JP");
    if (!eucJp.isValid())
        GTEST_SKIP() << "this Qt decodes no EUC-JP";
    const QByteArray euc = eucJp(japanese);
    EXPECT_EQ(velmor::suggestedEncoding(euc), QByteArray("EUC-JP"));
    EXPECT_EQ(velmor::decodeAs(euc, "EUC-JP"), japanese);
    const QByteArray shiftJis = QStringEncoder("Shift_JIS")(japanese);
    EXPECT_EQ(velmor::suggestedEncoding(shiftJis), std::nullopt);
    EXPECT_EQ(velmor::suggestedEncoding(japanese.toUtf8()), std::nullopt);
    const QByteArray western = QStringEncoder("windows-1252")(
        QString::fromUtf8("Café crème, naïve façade, déjà vu — the résumé of a fiancée in Zürich.\r\n"))
                                   .operator QByteArray();
    const auto found = velmor::suggestedEncoding(western);
    ASSERT_TRUE(found.has_value());
    EXPECT_EQ(velmor::decodeAs(western, *found),
              QString::fromUtf8("Café crème, naïve façade, déjà vu — the résumé of a fiancée in Zürich.\n"));
}
