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
    QTest::keyClicks(f.form->RichEdit98, QStringLiteral("draft"));
    f.form->state().fFileName = QStringLiteral("/tmp/draft.txt");
    f.engine->clear();
    f.form->NewButtonClick();
    EXPECT_EQ(f.questions.size(), 1);
    EXPECT_EQ(f.engine->spoken, QStringList{QStringLiteral("Are you sure you want to delete the text? Y or N")});
    EXPECT_EQ(f.form->RichEdit98->toPlainText(), QStringLiteral("draft"));
    EXPECT_EQ(f.form->state().fFileName, QStringLiteral("/tmp/draft.txt"));
}

TEST(NewCommand, ClearsTheDocumentAfterYes)
{
    FormFixture f;
    QTest::keyClicks(f.form->RichEdit98, QStringLiteral("draft"));
    QTest::keyClick(f.form->RichEdit98, Qt::Key_Return);
    QTest::keyClicks(f.form->RichEdit98, QStringLiteral("more"));
    f.form->ULabel98->showText(QStringLiteral("/tmp/draft.txt"), QStringLiteral("Sans"));
    f.form->state().fFileName = QStringLiteral("/tmp/draft.txt");
    f.form->state().fUnicodeFile = true;
    f.form->state().fHangulMode = true;
    f.answerYes = true;
    f.trigger("New1");
    EXPECT_TRUE(f.form->RichEdit98->toPlainText().isEmpty());
    EXPECT_FALSE(f.form->RichEdit98->isModified());
    EXPECT_FALSE(f.form->SaveLabel->isOpaque());
    EXPECT_TRUE(f.form->ULabel98->text().isEmpty());
    EXPECT_TRUE(f.form->state().fFileName.isEmpty());
    EXPECT_FALSE(f.form->state().fUnicodeFile);
    EXPECT_FALSE(f.form->state().fHangulMode);
    EXPECT_EQ(f.form->windowTitle(), QStringLiteral("Velmor_L   Line: 1      Col: 0    "));
}

TEST(NewCommand, UnmodifiedTextGoesWithoutAQuestion)
{
    FormFixture f;
    f.setText(QStringLiteral("saved text"));
    f.form->RichEdit98->setModified(false);
    f.form->NewButtonClick();
    EXPECT_TRUE(f.questions.isEmpty());
    EXPECT_TRUE(f.form->RichEdit98->toPlainText().isEmpty());
}

TEST(UnsavedMark, ShowsAfterTypingAndHidesWhenTheTextIsEmpty)
{
    FormFixture f;
    EXPECT_FALSE(f.form->SaveLabel->isOpaque());
    QTest::keyClicks(f.form->RichEdit98, QStringLiteral("a"));
    EXPECT_TRUE(f.form->SaveLabel->isOpaque());
    QTest::keyClick(f.form->RichEdit98, Qt::Key_Backspace);
    EXPECT_FALSE(f.form->SaveLabel->isOpaque());
    EXPECT_TRUE(f.form->RichEdit98->isModified());
}

TEST(Insertions, TabAndDateAreEachOneUndoStep)
{
    FormFixture f;
    f.setText(QStringLiteral("x"));
    f.form->RichEdit98->setSelection(1, 0);
    f.trigger("Tab1");
    EXPECT_EQ(f.form->RichEdit98->toPlainText(), QStringLiteral("x\t"));
    EXPECT_EQ(f.form->state().fCol, 2);
    f.trigger("Undo1");
    EXPECT_EQ(f.form->RichEdit98->toPlainText(), QStringLiteral("x"));
    f.trigger("Date1");
    EXPECT_GT(f.form->RichEdit98->toPlainText().size(), 10);
    f.trigger("Undo1");
    EXPECT_EQ(f.form->RichEdit98->toPlainText(), QStringLiteral("x"));
    f.trigger("Redo1");
    EXPECT_GT(f.form->RichEdit98->toPlainText().size(), 10);
}

TEST(Insertions, YukiMarkReplacesTheSelectionInItsColourAndTypingGoesOnNormally)
{
    FormFixture f;
    f.setText(QStringLiteral("one two three"));
    f.form->RichEdit98->setSelection(4, 3);
    f.trigger("Yuki1");
    EXPECT_EQ(f.form->RichEdit98->toPlainText(), QStringLiteral("one * three"));
    EXPECT_EQ(colorAt(*f.form->RichEdit98, 4), velmor::kYukiColor);
    QTest::keyClicks(f.form->RichEdit98, QStringLiteral("z"));
    EXPECT_EQ(f.form->RichEdit98->toPlainText(), QStringLiteral("one *z three"));
    EXPECT_NE(colorAt(*f.form->RichEdit98, 5), velmor::kYukiColor);
}

TEST(YukiColouring, ColoursTheMarksOnly)
{
    FormFixture f;
    f.setText(QStringLiteral("a*b**c\n*"));
    velmor::AddYukiColor(*f.form->RichEdit98, velmor::kYukiMark, velmor::kYukiColor, Qt::black);
    const QString text = f.form->RichEdit98->toPlainText();
    for (int i = 0; i < text.size(); ++i) {
        if (text[i] == u'\n')
            continue;
        EXPECT_EQ(colorAt(*f.form->RichEdit98, i) == velmor::kYukiColor, text[i] == u'*') << i;
    }
}

TEST(FileMenuOptions, AddYukiFollowsItsCheckMark)
{
    FormFixture f;
    EXPECT_TRUE(f.form->state().fAddYuki);
    f.trigger("AddYuki1");
    EXPECT_FALSE(f.form->state().fAddYuki);
    f.trigger("endline");
    EXPECT_FALSE(f.form->findChild<QAction*>(QStringLiteral("endline"))->isChecked());
}

TEST(FontReapplied, ReSetTextColoursMarksAndKeepsCaretAndView)
{
    FormFixture f;
    QString text;
    for (int i = 0; i < 200; ++i)
        text += QStringLiteral("line * %1\n").arg(i);
    f.setText(text);
    f.form->RichEdit98->setModified(false);
    f.form->RichEdit98->setSelection(1000, 0);
    f.form->RichEdit98->verticalScrollBar()->setValue(40);
    velmor::DocumentCommands& commands = f.form->documentCommands();
    commands.ReSetText();
    EXPECT_EQ(colorAt(*f.form->RichEdit98, 5), velmor::kYukiColor);
    EXPECT_EQ(f.form->RichEdit98->selStart(), 1000);
    EXPECT_EQ(f.form->RichEdit98->verticalScrollBar()->value(), 40);
    EXPECT_TRUE(f.form->RichEdit98->isModified());
}

TEST(FontReapplied, ReSetTextMReturnsToTheStoredFirstLineAndMarksEvenAnEmptyTextModified)
{
    FormFixture f;
    QString text;
    for (int i = 0; i < 200; ++i)
        text += QStringLiteral("line * %1\n").arg(i);
    f.setText(text);
    f.form->state().fAddYuki = false;
    f.form->state().fTopLine = 25;
    f.form->documentCommands().ReSetTextM();
    EXPECT_NE(colorAt(*f.form->RichEdit98, 5), velmor::kYukiColor);
    EXPECT_EQ(f.form->RichEdit98->verticalScrollBar()->value(), 25);

    f.setText(QString());
    f.form->RichEdit98->setModified(false);
    f.form->documentCommands().ReSetTextM();
    EXPECT_TRUE(f.form->RichEdit98->isModified());
}
