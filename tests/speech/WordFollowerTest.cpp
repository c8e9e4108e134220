#include "FormFixture.h"
#include "QtPrinters.h"

#include "core/FormState.h"
#include "speech/WordFollower.h"
#include "widgets/TRichEdit98.h"

#include <QAction>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using velmor::WordFollower;
using Word = std::pair<int, int>;

namespace {

constexpr Word kNoWord{0, 0};

Word shownWord(FormFixture& f) { return f.ui.textBox().spokenWord(); }

// The engine reports a word of the text it speaks, given by its text there.
void hear(FormFixture& f, const QString& word, int from = 0)
{
    ASSERT_TRUE(f.engine->hearWord(int(f.engine->current.indexOf(word, from)), int(word.size())));
}

} // namespace

TEST(FollowWords, TheHighlightMovesWithTheWordsHeardHoldsThroughAPauseAndGoesAtTheEnd)
{
    FormFixture f;
    f.setText(QStringLiteral("first line\nsecond line here"));
    velmor::TRichEdit98& editor = f.ui.textBox();
    editor.setModified(false);
    f.ui.click("SpeechButton");
    ASSERT_TRUE(f.engine->startNext());
    hear(f, QStringLiteral("first"));
    EXPECT_EQ(shownWord(f), Word(0, 5));
    hear(f, QStringLiteral("second"));
    EXPECT_EQ(shownWord(f), Word(11, 6));

    f.ui.click("PauseButton");
    EXPECT_FALSE(f.engine->hearWord(0, 5)); // nothing is heard while paused
    EXPECT_EQ(shownWord(f), Word(11, 6));
    f.ui.click("PauseButton");
    hear(f, QStringLiteral("here"));
    EXPECT_EQ(shownWord(f), Word(23, 4));

    // A colour of its own, drawn over the marks; not an edit, not an undo step.
    const QList<QTextEdit::ExtraSelection> shown = editor.extraSelections();
    ASSERT_FALSE(shown.isEmpty());
    EXPECT_EQ(shown.back().format.background().color(), WordFollower::kWordColor);
    EXPECT_EQ(shown.back().cursor.selectedText(), QStringLiteral("here"));
    EXPECT_FALSE(editor.isModified());
    EXPECT_FALSE(editor.document()->isUndoAvailable());
    EXPECT_EQ(editor.selStart(), 0);

    ASSERT_TRUE(f.engine->finishCurrent());
    EXPECT_EQ(shownWord(f), kNoWord);
}

TEST(FollowWords, AResetTakesItAwayAndTextsFromElsewhereAreNotFollowed)
{
    FormFixture f;
    f.setText(QStringLiteral("one two three"));
    f.ui.click("SpeechButton");
    ASSERT_TRUE(f.engine->startNext());
    hear(f, QStringLiteral("two"));
    EXPECT_EQ(shownWord(f), Word(4, 3));
    f.ui.click("ResetButton");
    EXPECT_EQ(shownWord(f), kNoWord);

    // Equal text, but not taken from the document (an echo, the clipboard, a help sentence).
    f.form->engine()->SpeakText(QStringLiteral("one two three\r\n"));
    ASSERT_TRUE(f.engine->startNext());
    hear(f, QStringLiteral("two"));
    EXPECT_EQ(shownWord(f), kNoWord);
}

TEST(FollowWords, TheLineAndTheSelectionAreFollowedWhereTheyAreAlsoWhenRepeated)
{
    FormFixture f;
    f.setText(QStringLiteral("alpha beta\ngamma delta epsilon\nzeta"));
    velmor::TRichEdit98& editor = f.ui.textBox();
    editor.setSelection(13, 0); // in "gamma"
    f.ui.click("BandButton");
    ASSERT_TRUE(f.engine->startNext());
    hear(f, QStringLiteral("delta"));
    EXPECT_EQ(shownWord(f), Word(17, 5));

    f.ui.state().fRepNum = 2;
    editor.setSelection(17, 14); // "delta epsilon\n"
    f.ui.click("SelTextButton");
    ASSERT_TRUE(f.engine->startNext());
    hear(f, QStringLiteral("epsilon"));
    EXPECT_EQ(shownWord(f), Word(23, 7));
    ASSERT_TRUE(f.engine->finishCurrent());
    EXPECT_EQ(shownWord(f), kNoWord);
    // Typed before it meanwhile: the repetition is followed where the selection went.
    QTextCursor(editor.document()).insertText(QStringLiteral("new "));
    f.form->Timer1Timer();
    ASSERT_TRUE(f.engine->startNext());
    hear(f, QStringLiteral("delta"));
    EXPECT_EQ(shownWord(f), Word(21, 5));
    // Typed while it is spoken: the next word is still found.
    QTextCursor(editor.document()).insertText(QStringLiteral("x"));
    hear(f, QStringLiteral("epsilon"));
    EXPECT_EQ(shownWord(f), Word(28, 7));
}

TEST(FollowWords, TheViewScrollsToTheWordWithoutMovingTheCaret)
{
    FormFixture f;
    QStringList lines;
    for (int i = 0; i < 400; ++i)
        lines << QStringLiteral("line %1 of the text").arg(i);
    f.setText(lines.join(u'\n'));
    velmor::TRichEdit98& editor = f.ui.textBox();
    editor.setSelection(0, 0);
    editor.verticalScrollBar()->setValue(0);
    f.ui.click("SpeechButton");
    ASSERT_TRUE(f.engine->startNext());
    hear(f, QStringLiteral("300"));
    const int wordStart = shownWord(f).first;
    EXPECT_EQ(editor.wholeText().mid(wordStart, 3), QStringLiteral("300"));
    QTextCursor word(editor.document());
    word.setPosition(wordStart);
    const QRect where = editor.cursorRect(word);
    EXPECT_GE(where.top(), 0);
    EXPECT_LE(where.bottom(), editor.viewport()->height());
    EXPECT_EQ(editor.selStart(), 0);
}

TEST(FollowWords, SwitchedOffItShowsNothingAndTheChoiceIsKept)
{
    QTemporaryDir kept;
    const QString settingsFile = kept.filePath(QStringLiteral("velmor.ini"));
    {
        FormFixture f(2, true, settingsFile);
        QAction* check = &f.ui.action(ActionId::FollowWords1);
        ASSERT_TRUE(check->isChecked());
        f.setText(QStringLiteral("one two"));
        f.ui.click("SpeechButton");
        ASSERT_TRUE(f.engine->startNext());
        hear(f, QStringLiteral("one"));
        check->trigger();
        EXPECT_EQ(shownWord(f), kNoWord);
        hear(f, QStringLiteral("two"));
        EXPECT_EQ(shownWord(f), kNoWord);
        ASSERT_TRUE(f.form->close());
    }
    FormFixture again(2, true, settingsFile);
    EXPECT_FALSE(again.ui.action(ActionId::FollowWords1).isChecked());
}

// A long paragraph is held in pieces; where a piece ends without a blank, positions run one ahead
// of the text's indexes. The word and a sentence step land on the text all the same.
TEST(FollowWords, WordsAndStepsLandRightPastTheSoftBreaksOfALongParagraph)
{
    FormFixture f;
    const QString digits = QStringLiteral("0123456789").repeated(500);
    f.setText(QStringLiteral("Start. ") + digits + QStringLiteral(". Tail words here."));
    velmor::TRichEdit98& editor = f.ui.textBox();
    f.ui.click("SpeechButton");
    ASSERT_TRUE(f.engine->startNext());
    hear(f, QStringLiteral("words"));
    const auto [start, length] = shownWord(f);
    EXPECT_EQ(editor.textBetween(start, start + length), QStringLiteral("words"));
    EXPECT_GT(start, f.engine->current.indexOf(QStringLiteral("words"))); // past soft breaks

    hear(f, digits);
    f.engine->clear();
    f.trigger(ActionId::NextSentence);
    EXPECT_EQ(f.engine->spoken, QStringList{QStringLiteral("Tail words here.\r\n")});
    EXPECT_EQ(editor.textBetween(editor.selStart(), editor.selStart() + 4), QStringLiteral("Tail"));
}
