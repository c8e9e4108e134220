#include "FormFixture.h"
#include "QtPrinters.h"

#include "core/FormState.h"
#include "document/DocumentCommands.h"
#include "document/YukiMarks.h"
#include "widgets/IndicatorLabel.h"
#include "widgets/InfoLine.h"
#include "widgets/LozengeCheckBox.h"
#include "widgets/TRichEdit98.h"

#include <QAction>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <gtest/gtest.h>

namespace {

QColor colorAt(const velmor::TRichEdit98& editor, int position)
{
    QTextCursor cursor(editor.document());
    cursor.setPosition(position + 1);
    return cursor.charFormat().foreground().color();
}

} // namespace

TEST(NewCommand, ModifiedTextAnsweredNoChangesNothing)
{
    FormFixture f;
    f.ui.type(QStringLiteral("draft"));
    f.ui.state().fFileName = QStringLiteral("/tmp/draft.txt");
    f.engine->clear();
    f.ui.click("NewButton");
    EXPECT_EQ(f.questions.size(), 1);
    EXPECT_EQ(f.engine->spoken, QStringList{QStringLiteral("Are you sure you want to delete the text? Y or N")});
    EXPECT_EQ(f.ui.text(), QStringLiteral("draft"));
    EXPECT_EQ(f.ui.state().fFileName, QStringLiteral("/tmp/draft.txt"));
}

TEST(NewCommand, ClearsTheDocumentAfterYes)
{
    FormFixture f;
    f.ui.type(QStringLiteral("draft"));
    f.ui.press(Qt::Key_Return);
    f.ui.type(QStringLiteral("more"));
    f.ui.control<velmor::InfoLine>("ULabel98").showText(QStringLiteral("/tmp/draft.txt"), QStringLiteral("Sans"));
    f.ui.state().fFileName = QStringLiteral("/tmp/draft.txt");
    f.ui.state().fUnicodeFile = true;
    f.ui.state().fHangulMode = true;
    f.answerYes = true;
    f.trigger(ActionId::New1);
    EXPECT_TRUE(f.ui.text().isEmpty());
    EXPECT_FALSE(f.ui.textBox().isModified());
    EXPECT_FALSE(f.ui.unsavedMark());
    EXPECT_TRUE(f.ui.infoLine().isEmpty());
    EXPECT_TRUE(f.ui.state().fFileName.isEmpty());
    EXPECT_FALSE(f.ui.state().fUnicodeFile);
    EXPECT_FALSE(f.ui.state().fHangulMode);
    EXPECT_EQ(f.ui.title(), QStringLiteral("Velmor_L   Line: 1      Col: 0    "));
}

TEST(NewCommand, UnmodifiedTextGoesWithoutAQuestion)
{
    FormFixture f;
    f.setText(QStringLiteral("saved text"));
    f.ui.textBox().setModified(false);
    f.ui.click("NewButton");
    EXPECT_TRUE(f.questions.isEmpty());
    EXPECT_TRUE(f.ui.text().isEmpty());
}

TEST(UnsavedMark, ShowsAfterTypingAndHidesWhenTheTextIsEmpty)
{
    FormFixture f;
    EXPECT_FALSE(f.ui.unsavedMark());
    f.ui.type(QStringLiteral("a"));
    EXPECT_TRUE(f.ui.unsavedMark());
    f.ui.press(Qt::Key_Backspace);
    EXPECT_FALSE(f.ui.unsavedMark());
    EXPECT_TRUE(f.ui.textBox().isModified());
}

TEST(Insertions, TabAndDateAreEachOneUndoStep)
{
    FormFixture f;
    f.setText(QStringLiteral("x"));
    f.ui.textBox().setSelection(1, 0);
    f.trigger(ActionId::Tab1);
    EXPECT_EQ(f.ui.text(), QStringLiteral("x\t"));
    EXPECT_EQ(f.ui.state().fCol, 2);
    f.trigger(ActionId::Undo1);
    EXPECT_EQ(f.ui.text(), QStringLiteral("x"));
    f.trigger(ActionId::Date1);
    EXPECT_GT(f.ui.text().size(), 10);
    f.trigger(ActionId::Undo1);
    EXPECT_EQ(f.ui.text(), QStringLiteral("x"));
    f.trigger(ActionId::Redo1);
    EXPECT_GT(f.ui.text().size(), 10);
}

TEST(Insertions, YukiMarkReplacesTheSelectionInItsColourAndTypingGoesOnNormally)
{
    FormFixture f;
    f.setText(QStringLiteral("one two three"));
    f.ui.textBox().setSelection(4, 3);
    f.trigger(ActionId::Yuki1);
    EXPECT_EQ(f.ui.text(), QStringLiteral("one * three"));
    EXPECT_EQ(colorAt(f.ui.textBox(), 4), velmor::kYukiColor);
    f.ui.type(QStringLiteral("z"));
    EXPECT_EQ(f.ui.text(), QStringLiteral("one *z three"));
    EXPECT_NE(colorAt(f.ui.textBox(), 5), velmor::kYukiColor);
}

TEST(YukiColouring, ColoursTheMarksOnly)
{
    FormFixture f;
    f.setText(QStringLiteral("a*b**c\n*"));
    velmor::AddYukiColor(f.ui.textBox(), velmor::kYukiMark, velmor::kYukiColor, Qt::black);
    const QString text = f.ui.text();
    for (int i = 0; i < text.size(); ++i) {
        if (text[i] == u'\n')
            continue;
        EXPECT_EQ(colorAt(f.ui.textBox(), i) == velmor::kYukiColor, text[i] == u'*') << i;
    }
}

TEST(FileMenuOptions, AddYukiFollowsItsCheckMark)
{
    FormFixture f;
    EXPECT_TRUE(f.ui.state().fAddYuki);
    f.trigger(ActionId::AddYuki1);
    EXPECT_FALSE(f.ui.state().fAddYuki);
    f.trigger(ActionId::endline);
    EXPECT_FALSE(f.ui.action(ActionId::endline).isChecked());
}

TEST(FontReapplied, ReSetTextColoursMarksAndKeepsCaretAndView)
{
    FormFixture f;
    QString text;
    for (int i = 0; i < 200; ++i)
        text += QStringLiteral("line * %1\n").arg(i);
    f.setText(text);
    f.ui.textBox().setModified(false);
    f.ui.textBox().setSelection(1000, 0);
    f.ui.textBox().verticalScrollBar()->setValue(40);
    velmor::DocumentCommands& commands = f.form->documentCommands();
    commands.ReSetText();
    EXPECT_EQ(colorAt(f.ui.textBox(), 5), velmor::kYukiColor);
    EXPECT_EQ(f.ui.textBox().selStart(), 1000);
    EXPECT_EQ(f.ui.textBox().verticalScrollBar()->value(), 40);
    EXPECT_TRUE(f.ui.textBox().isModified());
}

TEST(FontReapplied, ReSetTextMReturnsToTheStoredFirstLineAndMarksEvenAnEmptyTextModified)
{
    FormFixture f;
    QString text;
    for (int i = 0; i < 200; ++i)
        text += QStringLiteral("line * %1\n").arg(i);
    f.setText(text);
    f.ui.state().fAddYuki = false;
    f.ui.state().fTopLine = 25;
    f.form->documentCommands().ReSetTextM();
    EXPECT_NE(colorAt(f.ui.textBox(), 5), velmor::kYukiColor);
    EXPECT_EQ(f.ui.textBox().verticalScrollBar()->value(), 25);

    f.setText(QString());
    f.ui.textBox().setModified(false);
    f.form->documentCommands().ReSetTextM();
    EXPECT_TRUE(f.ui.textBox().isModified());
}
