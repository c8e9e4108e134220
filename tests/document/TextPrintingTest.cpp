#include "FormFixture.h"
#include "QtPrinters.h"

#include "core/FaceNames.h"
#include "core/FormState.h"
#include "document/TextPrinting.h"
#include "document/YukiMarks.h"
#include "document/PieceKeeper.h"
#include "widgets/TRichEdit98.h"

#include <QFile>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextDocument>
#include <gtest/gtest.h>

namespace {

QString output(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(30000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

// The format of the character at index in the document.
QTextCharFormat formatAt(QTextDocument& document, int index)
{
    QTextCursor cursor(&document);
    cursor.setPosition(index + 1);
    return cursor.charFormat();
}

} // namespace

TEST(PrintableDocument, KeepsTheFontAndYukiColoursAndTurnsMarksButNotTheSpokenWordIntoBackgrounds)
{
    velmor::TRichEdit98 editor(QStringLiteral("RichEdit98"), nullptr);
    velmor::PieceKeeper::attach(editor);
    editor.setDefaultFont(velmor::kFacePGothic, 12);
    editor.setPlainText(QStringLiteral("ab*cd"));
    velmor::AddYukiColor(editor, velmor::kYukiMark, velmor::kYukiColor, Qt::black);
    editor.addHighlight(3, 2, Qt::yellow);
    // Printed while speaking: the word being heard is shown, not printed.
    editor.showSpokenWord(0, 2, Qt::cyan);

    const std::unique_ptr<QTextDocument> document = velmor::printableDocument(editor);
    EXPECT_EQ(document->toPlainText(), QStringLiteral("ab*cd"));
    EXPECT_EQ(document->defaultFont().family(), velmor::kFacePGothic);
    EXPECT_EQ(document->defaultFont().pointSize(), 12);
    EXPECT_EQ(formatAt(*document, 2).foreground().color(), velmor::kYukiColor);
    EXPECT_FALSE(formatAt(*document, 0).hasProperty(QTextFormat::BackgroundBrush));
    EXPECT_FALSE(formatAt(*document, 1).hasProperty(QTextFormat::BackgroundBrush));
    EXPECT_EQ(formatAt(*document, 3).background().color(), QColor(Qt::yellow));
    EXPECT_EQ(formatAt(*document, 4).background().color(), QColor(Qt::yellow));
}

TEST(PrintCommand, PrintsEveryLineInOrderOnWholePagesAsOneJobTitledWithTheFileName)
{
    FormFixture f;
    QTemporaryDir folder;
    const QString pdf = folder.filePath(QStringLiteral("story.pdf"));
    QStringList lines;
    for (int number = 1; number <= 150; ++number)
        lines << QStringLiteral("Line %1 of the story").arg(number, 3, 10, QLatin1Char('0'));
    f.setText(lines.join(u'\n'));
    f.form->state().fFileName = QStringLiteral("/documents/story.txt");

    f.trigger(ActionId::Print1);
    EXPECT_EQ(f.printDialogs, 1);
    EXPECT_FALSE(QFile::exists(pdf));

    QString proposedName;
    f.printerChoice = [&](QPrinter& printer) {
        proposedName = printer.docName();
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
    };
    f.trigger(ActionId::Print1);
    EXPECT_EQ(proposedName, QStringLiteral("story.txt"));
    ASSERT_TRUE(QFile::exists(pdf));
    EXPECT_TRUE(f.errors.isEmpty());

    const QString info = output(QStringLiteral("pdfinfo"), {pdf});
    EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Title: +/documents/story.txt\n")))) << info.toStdString();
    // pdftotext ends every page with a form feed: the part after the last one is no page.
    QStringList pages = output(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")})
                            .split(u'\f');
    pages.removeLast();
    ASSERT_GT(pages.size(), 1);
    const QRegularExpressionMatch pageCount = QRegularExpression(QStringLiteral("Pages: +(\\d+)\n")).match(info);
    ASSERT_TRUE(pageCount.hasMatch()) << info.toStdString();
    EXPECT_EQ(pageCount.captured(1).toInt(), pages.size());
    QStringList printed;
    for (const QString& page : pages) {
        const qsizetype before = printed.size();
        for (const QString& line : page.split(u'\n')) {
            if (!line.trimmed().isEmpty())
                printed << line.trimmed();
        }
        EXPECT_GT(printed.size(), before) << "an empty page";
    }
    EXPECT_EQ(printed, lines);
}
