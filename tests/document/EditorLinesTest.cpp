#include "QtPrinters.h"

#include "document/EditorLines.h"
#include "document/PieceKeeper.h"
#include "widgets/TRichEdit98.h"

#include <QApplication>
#include <QPlainTextDocumentLayout>
#include <QTextDocument>
#include <gtest/gtest.h>

using namespace velmor;

namespace {

QString whole(const QString& text)
{
    QTextDocument doc;
    doc.setPlainText(text);
    return gatherWholeText(doc);
}

// A document as the text box holds it, laid out at a fixed width.
struct ShownEditor {
    explicit ShownEditor(const QString& text, int width = 300)
        : editor(QStringLiteral("RichEdit98"), nullptr)
    {
        PieceKeeper::attach(editor);
        editor.resize(width, 400);
        editor.setPlainText(text);
        editor.show();
        QApplication::processEvents();
    }
    const QTextDocument& doc() const { return *editor.document(); }
    TRichEdit98 editor;
};

} // namespace

TEST(GatherWholeText, EndsEveryLineWithCrLf)
{
    EXPECT_EQ(whole(QStringLiteral("ab\ncd")), QStringLiteral("ab\r\ncd\r\n"));
    EXPECT_EQ(whole(QStringLiteral("ab")), QStringLiteral("ab\r\n"));
}

TEST(GatherWholeText, FinalLineBreakAddsNothingEmptyGivesEmpty)
{
    EXPECT_EQ(whole(QStringLiteral("ab\ncd\n")), QStringLiteral("ab\r\ncd\r\n"));
    EXPECT_EQ(whole(QString()), QString());
    EXPECT_EQ(whole(QStringLiteral("\n")), QStringLiteral("\r\n"));
    EXPECT_EQ(whole(QStringLiteral("ab\n\n")), QStringLiteral("ab\r\n\r\n"));
}

TEST(LineColumnText, LeftAlignsBothNumbersInFiveCharacters)
{
    EXPECT_EQ(lineColumnText(0, 0), QStringLiteral("Line: 1      Col: 0    "));
    EXPECT_EQ(lineColumnText(11, 123), QStringLiteral("Line: 12     Col: 123  "));
    EXPECT_EQ(lineColumnText(123455, 1234567), QStringLiteral("Line: 123456  Col: 1234567"));
}

TEST(DisplayLines, CountRowsOfWrappedParagraphs)
{
    QString words;
    for (int i = 0; i < 40; ++i)
        words += QStringLiteral("word%1 ").arg(i, 2, 10, QChar(u'0'));
    ShownEditor shown(words + QStringLiteral("\nlast"));
    const int rows = displayLineCount(shown.doc());
    ASSERT_GT(rows, 2);

    // Every row's text, put together, gives the paragraph back.
    QString joined;
    for (int row = 0; row < rows - 1; ++row)
        joined += displayLineText(shown.doc(), row);
    EXPECT_EQ(joined, words);
    EXPECT_EQ(displayLineText(shown.doc(), rows - 1), QStringLiteral("last"));

    // A caret on the second row of the paragraph.
    const int secondRowStart = displayLineStart(shown.doc(), 1);
    EXPECT_GT(secondRowStart, 0);
    const CaretPlace place = caretPlace(shown.doc(), secondRowStart + 2);
    EXPECT_EQ(place.row, 1);
    EXPECT_EQ(place.column, 2);
    EXPECT_EQ(caretPlace(shown.doc(), words.size() + 3).row, rows - 1);
}

TEST(DisplayLines, OutOfRangeRowsGiveNothing)
{
    ShownEditor shown(QStringLiteral("one\ntwo"));
    EXPECT_EQ(displayLineText(shown.doc(), 5), QString());
    EXPECT_EQ(displayLineText(shown.doc(), -1), QString());
    EXPECT_EQ(displayLineText(shown.doc(), 1, 2), QStringLiteral("tw"));
}

TEST(EndLineCaret, StartOfLastLineOrOfTheFirstTrailingEmptyLine)
{
    EXPECT_EQ(endLineCaretPosition(ShownEditor(QStringLiteral("one\ntwo")).doc()), 4);
    // The last three lines are empty: the caret goes to the first of them.
    EXPECT_EQ(endLineCaretPosition(ShownEditor(QStringLiteral("one\ntwo\n\n\n")).doc()), 8);
    EXPECT_EQ(endLineCaretPosition(ShownEditor(QStringLiteral("\n\n\n")).doc()), 0);
    EXPECT_EQ(endLineCaretPosition(ShownEditor(QString()).doc()), 0);
}
