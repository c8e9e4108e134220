#include "QtPrinters.h"

#include "document/PieceKeeper.h"
#include "widgets/TRichEdit98.h"

#include <QApplication>
#include <QClipboard>
#include <QTest>
#include <gtest/gtest.h>

using velmor::TRichEdit98;

TEST(TextBoxSelectionBar, AClickInTheMarginSelectsTheLine)
{
    TRichEdit98 editor(QStringLiteral("RichEdit98"), nullptr);
    velmor::PieceKeeper::attach(editor);
    editor.resize(300, 200);
    editor.setPlainText(QStringLiteral("first line\nsecond line"));
    editor.show();
    editor.showSelectionBar(true);
    QApplication::processEvents();
    QWidget* bar = nullptr;
    for (QWidget* child : editor.findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (child->geometry().width() == 8)
            bar = child;
    ASSERT_NE(bar, nullptr);
    QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(3, 3));
    EXPECT_EQ(editor.selText(), QStringLiteral("first line"));
}

TEST(TextBoxLimit, PastedTextStopsAtTheMaximumLength)
{
    TRichEdit98 editor(QStringLiteral("RichEdit98"), nullptr);
    velmor::PieceKeeper::attach(editor);
    editor.setMaxLength(10);
    editor.setPlainText(QStringLiteral("12345678"));
    editor.moveCursor(QTextCursor::End);
    QApplication::clipboard()->setText(QStringLiteral("abcdef"));
    editor.paste();
    EXPECT_EQ(editor.toPlainText(), QStringLiteral("12345678ab"));
    QTest::keyClicks(&editor, QStringLiteral("z"));
    EXPECT_EQ(editor.toPlainText(), QStringLiteral("12345678ab"));
}

namespace {

// A letter per character: the colour's first letter in the name list, '.' where none shows.
QString highlightsOf(const TRichEdit98& editor)
{
    QString shown(editor.document()->characterCount() - 1, u'.');
    for (const QTextEdit::ExtraSelection& h : editor.highlights())
        for (int i = h.cursor.selectionStart(); i < h.cursor.selectionEnd(); ++i)
            shown[i] = h.format.background().color() == QColor(Qt::red) ? u'r' : u'g';
    return shown;
}

} // namespace

TEST(TextBoxHighlights, FollowTheTextWithoutTakingWhatIsTypedAtTheirEnds)
{
    TRichEdit98 editor(QStringLiteral("RichEdit98"), nullptr);
    velmor::PieceKeeper::attach(editor);
    editor.setPlainText(QStringLiteral("abcdefgh"));
    editor.addHighlight(2, 3, Qt::red);
    editor.setFocus();
    editor.setSelection(2, 0);
    QTest::keyClicks(&editor, QStringLiteral("<"));
    editor.setSelection(6, 0);
    QTest::keyClicks(&editor, QStringLiteral(">"));
    editor.setSelection(4, 0);
    QTest::keyClicks(&editor, QStringLiteral("+"));
    EXPECT_EQ(editor.toPlainText(), QStringLiteral("ab<c+de>fgh"));
    EXPECT_EQ(highlightsOf(editor), QStringLiteral("...rrrr...."));

    const int undoSteps = editor.document()->availableUndoSteps();
    editor.addHighlight(4, 5, Qt::green);
    EXPECT_EQ(highlightsOf(editor), QStringLiteral("...rggggg.."));
    EXPECT_EQ(editor.highlights().at(0).cursor.selectedText(), QStringLiteral("c")) << "covered parts go";
    editor.clearHighlights(5, 2);
    EXPECT_EQ(highlightsOf(editor), QStringLiteral("...rg..gg.."));
    EXPECT_EQ(editor.highlightCount(), 3);
    EXPECT_EQ(editor.document()->availableUndoSteps(), undoSteps) << "highlights are no undo steps";

    editor.setSelection(3, 2);
    QTest::keyClick(&editor, Qt::Key_Delete);
    EXPECT_EQ(highlightsOf(editor), QStringLiteral(".....gg.."));
    EXPECT_EQ(editor.highlightCount(), 1) << "a highlight whose text went has gone";
    editor.undo();
    EXPECT_EQ(editor.toPlainText(), QStringLiteral("ab<c+de>fgh"));
    EXPECT_EQ(highlightsOf(editor), QStringLiteral(".......gg.."));
}
