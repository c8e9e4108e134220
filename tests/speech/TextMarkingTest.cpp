#include "TextProbes.h"
#include "FormFixture.h"
#include "QtPrinters.h"

#include "core/FormState.h"
#include "widgets/Bgr.h"
#include "widgets/FlatButton.h"
#include "widgets/TRichEdit98.h"

#include <QAction>
#include <QTest>
#include <gtest/gtest.h>

using velmor::colorFromBgr;

using textprobes::markAt;

namespace {

// The backgrounds of the whole text, a letter per character: '.' for none, or the letter the
// colour is given in marks.
QString marksOf(const velmor::TRichEdit98& editor, const QList<QPair<QChar, QColor>>& letters)
{
    QString shown;
    for (int position = 0; position < editor.document()->characterCount() - 1; ++position) {
        const QColor color = markAt(editor, position);
        QChar letter = color.isValid() ? u'?' : u'.';
        for (const auto& [name, known] : letters)
            if (color == known)
                letter = name;
        shown += letter;
    }
    return shown;
}

struct Marking : ::testing::Test {
    FormFixture f;
    velmor::TRichEdit98& editor = f.ui.textBox();
    QColor first = colorFromBgr(f.ui.state().fMarkColor);
    QColor second = colorFromBgr(f.ui.state().ffMarkColor);
    QColor spoken = colorFromBgr(f.ui.state().fSelBgColor);

    QString marks() const { return marksOf(editor, {{u'1', first}, {u'2', second}, {u'S', spoken}}); }
    void select(int start, int length) { editor.setSelection(start, length); }
    void click(velmor::FlatButton* button) { QTest::mouseClick(button, Qt::LeftButton); }
};

} // namespace

TEST_F(Marking, TwoColoursMarkPassagesWithoutEditingTheText)
{
    f.setText(QStringLiteral("alpha beta gamma"));
    editor.document()->clearUndoRedoStacks();
    editor.setModified(false);
    click(&f.ui.control<velmor::FlatButton>("MarkCheckButton"));
    EXPECT_TRUE(f.ui.state().fMarkCheck);
    EXPECT_EQ(f.ui.control<velmor::FlatButton>("MarkCheckButton").text(), QStringLiteral("&Marking on"));
    EXPECT_TRUE(f.ui.action(ActionId::Marking1).isChecked());

    select(0, 5);
    click(&f.ui.control<velmor::FlatButton>("MarkButton"));
    select(6, 4);
    click(&f.ui.control<velmor::FlatButton>("MarkingButton"));
    EXPECT_EQ(marks(), QStringLiteral("11111.2222......"));
    EXPECT_FALSE(editor.isModified());
    EXPECT_FALSE(editor.document()->isUndoAvailable()) << "marks are no edits";
    EXPECT_EQ(editor.selStart(), 10);
    EXPECT_EQ(editor.selLength(), 0);
    QTest::keyClicks(&editor, QStringLiteral("!"));
    EXPECT_EQ(marks(), QStringLiteral("11111.2222.......")) << "text typed after a mark has none";
    QTest::keyClick(&editor, Qt::Key_Backspace);

    select(3, 5);
    click(&f.ui.control<velmor::FlatButton>("MarkingButton"));
    EXPECT_EQ(marks(), QStringLiteral("1112222222......"))
        << "the later mark's colour wins where two meet";
    editor.setModified(false);
    select(0, 0);
    click(&f.ui.control<velmor::FlatButton>("MResetButton"));
    EXPECT_EQ(marks(), QStringLiteral("................"));
    EXPECT_FALSE(editor.isModified());
}

TEST_F(Marking, ButtonsChooseTheirColourWithoutASelectionAndMarkNothingWhileMarkingIsOff)
{
    f.setText(QStringLiteral("alpha beta"));
    click(&f.ui.control<velmor::FlatButton>("MarkCheckButton"));
    select(0, 5);
    click(&f.ui.control<velmor::FlatButton>("MarkButton"));
    select(7, 0);
    f.colorAnswer = QColor(Qt::yellow);
    click(&f.ui.control<velmor::FlatButton>("MarkButton"));
    EXPECT_EQ(f.colorRequests, QList<QColor>{first});
    EXPECT_EQ(f.ui.state().fMarkColor, velmor::bgrFromColor(Qt::yellow));
    EXPECT_EQ(f.ui.control<velmor::FlatButton>("MarkButton").faceColor(), QColor(Qt::yellow));
    EXPECT_EQ(marks(), QStringLiteral("11111.....")) << "marks keep the colour they were given";

    f.trigger(ActionId::Marking1);
    EXPECT_FALSE(f.ui.state().fMarkCheck);
    EXPECT_EQ(f.ui.control<velmor::FlatButton>("MarkCheckButton").text(), QStringLiteral("&Marking off"));
    EXPECT_EQ(marks(), QStringLiteral("11111.....")) << "the menu item keeps the marks";
    select(6, 4);
    click(&f.ui.control<velmor::FlatButton>("MarkingButton"));
    EXPECT_EQ(marks(), QStringLiteral("11111....."));
    EXPECT_EQ(editor.selLength(), 4);
    f.colorAnswer.reset();
    select(0, 0);
    click(&f.ui.control<velmor::FlatButton>("MarkingButton"));
    EXPECT_EQ(f.colorRequests.last(), second);
    EXPECT_EQ(colorFromBgr(f.ui.state().ffMarkColor), second) << "a cancelled dialog changes nothing";

    click(&f.ui.control<velmor::FlatButton>("MarkCheckButton"));
    select(6, 4);
    click(&f.ui.control<velmor::FlatButton>("MarkingButton"));
    click(&f.ui.control<velmor::FlatButton>("MarkCheckButton"));
    EXPECT_EQ(marks(), QStringLiteral("..........")) << "the button turns marking off and removes the marks";
}

TEST_F(Marking, ASpokenSelectionReplacesEveryBackgroundWhileMarkingIsOff)
{
    f.setText(QStringLiteral("one two three"));
    select(0, 3);
    f.ui.click("SelTextButton");
    select(4, 3);
    f.ui.click("SelTextButton");
    EXPECT_EQ(marks(), QStringLiteral("....SSS......"));
    click(&f.ui.control<velmor::FlatButton>("MarkCheckButton"));
    select(8, 5);
    f.ui.click("SelTextButton");
    EXPECT_EQ(marks(), QStringLiteral("....SSS.SSSSS"));
}

TEST(MarkingAtFirstStart, TheVoiceListingsColoursGoLikeMarks)
{
    FormFixture f(0, true, QString(), [](FakeSpeechEngine& engine) {
        engine.modeNames = {"Female English (US)", "Female French (FR)"};
        engine.speakers = {"Mary", "Veronique"};
    });
    velmor::TRichEdit98& editor = f.ui.textBox();
    ASSERT_TRUE(editor.toPlainText().startsWith(QStringLiteral("ID1")));
    EXPECT_FALSE(editor.highlights().isEmpty()) << "the listing's lines have their backgrounds";
    editor.setSelection(0, 3);
    f.ui.click("SelTextButton");
    ASSERT_EQ(editor.highlights().size(), 1) << "speaking a selection left the listing's colours";

    editor.setFocus();
    QTest::keyClick(&editor, Qt::Key_A, Qt::ControlModifier);
    QTest::keyRelease(&editor, Qt::Key_Control);
    EXPECT_TRUE(editor.highlights().isEmpty()) << "everything selected by Ctrl+A loses its marks";
    QTest::keyClicks(&editor, QStringLiteral("new"));
    EXPECT_EQ(editor.toPlainText(), QStringLiteral("new"));
    EXPECT_TRUE(editor.highlights().isEmpty());
    QTextCursor typed(editor.document());
    typed.setPosition(1);
    EXPECT_FALSE(typed.charFormat().hasProperty(QTextFormat::BackgroundBrush));
}

TEST_F(Marking, KeysThatLeaveASelectionTakeItsMarksButAMouseDragKeepsThem)
{
    f.setText(QStringLiteral("alpha beta gamma"));
    click(&f.ui.control<velmor::FlatButton>("MarkCheckButton"));
    select(0, 16);
    click(&f.ui.control<velmor::FlatButton>("MarkButton"));
    editor.setFocus();

    select(0, 0);
    QTest::keyClick(&editor, Qt::Key_Right, Qt::ShiftModifier);
    QTest::keyClick(&editor, Qt::Key_Right, Qt::ShiftModifier);
    QCoreApplication::processEvents();
    EXPECT_EQ(marks(), QStringLiteral("..11111111111111"));

    // A drag selects after the press, which found no selection to clear.
    const auto pointAt = [this](int position) {
        QTextCursor at(editor.document());
        at.setPosition(position);
        return editor.cursorRect(at).center();
    };
    select(0, 0);
    QTest::mousePress(editor.viewport(), Qt::LeftButton, {}, pointAt(6));
    QCoreApplication::processEvents();
    QTest::mouseMove(editor.viewport(), pointAt(10));
    QTest::mouseRelease(editor.viewport(), Qt::LeftButton, {}, pointAt(10));
    QCoreApplication::processEvents();
    EXPECT_EQ(editor.selText(), QStringLiteral("beta"));
    EXPECT_EQ(marks(), QStringLiteral("..11111111111111"));

    QTest::mouseDClick(editor.viewport(), Qt::LeftButton, {}, pointAt(13));
    QCoreApplication::processEvents();
    EXPECT_EQ(editor.selText(), QStringLiteral("gamma"));
    EXPECT_EQ(marks(), QStringLiteral("..111111111.....")) << "a word selected by a double click loses its marks";
}
