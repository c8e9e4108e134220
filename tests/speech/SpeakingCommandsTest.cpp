#include "FormFixture.h"
#include "QtPrinters.h"

#include "core/FormState.h"
#include "core/SpeakingState.h"
#include "widgets/FlatButton.h"
#include "widgets/InfoLine.h"
#include "widgets/TRichEdit98.h"

#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using velmor::TForm1;

namespace {

QStringList speakCalls(const FakeSpeechEngine& engine)
{
    return engine.callsOf({QStringLiteral("SpeakText"), QStringLiteral("ResetAudio"), QStringLiteral("PauseAudio"),
                           QStringLiteral("ResumeAudio")});
}

} // namespace

TEST(SpeakWholeText, HandsEveryLineWithCrLfAfterAReset)
{
    FormFixture f;
    f.setText(QStringLiteral("ab\ncd"));
    f.engine->clear();
    f.ui.click("SpeechButton");
    EXPECT_EQ(speakCalls(*f.engine), (QStringList{"ResetAudio", "SpeakText:ab\r\ncd\r\n"}));
    EXPECT_EQ(f.form->speakingState().fSpeechKind(), velmor::SpeechKind::WholeText);
    EXPECT_EQ(f.form->speakingState().fRepCount(), 1);
}

TEST(SpeakWholeText, EmptyEditorSpeaksEmptyText)
{
    FormFixture f;
    f.engine->clear();
    f.ui.click("SpeechButton");
    EXPECT_EQ(f.engine->spoken, QStringList{QString()});
}

TEST(SpeakWholeText, LeavesTheInfoLineAlone)
{
    FormFixture f;
    f.ui.control<velmor::InfoLine>("ULabel98").showText(QStringLiteral("earlier"), QStringLiteral("Sans"));
    f.setText(QStringLiteral("hello"));
    f.ui.click("SpeechButton");
    EXPECT_EQ(f.ui.infoLine(), QStringLiteral("earlier"));
}

TEST(PauseCommand, TogglesOnThePausedFlagAlone)
{
    FormFixture f;
    f.engine->clear();
    f.form->PauseButtonClick();
    EXPECT_EQ(f.ui.control<velmor::FlatButton>("PauseButton").text(), QStringLiteral("Resume"));
    EXPECT_TRUE(f.form->speakingState().fPaused());
    f.form->PauseButtonClick();
    EXPECT_EQ(f.ui.control<velmor::FlatButton>("PauseButton").text(), QStringLiteral("Pause"));
    EXPECT_EQ(speakCalls(*f.engine), (QStringList{"PauseAudio", "ResumeAudio"}));
}

TEST(PauseCommand, SpeakingAfterPauseRestartsAndShowsPause)
{
    FormFixture f;
    f.setText(QStringLiteral("text"));
    f.ui.click("PauseButton");
    f.engine->clear();
    f.ui.click("SpeechButton");
    EXPECT_EQ(speakCalls(*f.engine), (QStringList{"ResetAudio", "SpeakText:text\r\n"}));
    EXPECT_EQ(f.ui.control<velmor::FlatButton>("PauseButton").text(), QStringLiteral("Pause"));
    EXPECT_FALSE(f.form->speakingState().fPaused());
}

TEST(BandCommand, SpeaksTheCaretLineAndShowsIt)
{
    FormFixture f;
    f.setText(QStringLiteral("first\nsecond\nthird"));
    f.ui.textBox().setSelection(8, 0);
    f.engine->clear();
    f.ui.click("BandButton");
    EXPECT_EQ(f.engine->spoken, QStringList{QStringLiteral("second")});
    EXPECT_EQ(f.ui.control<velmor::InfoLine>("ULabel98").text(), QStringLiteral("second"));
    EXPECT_EQ(f.form->speakingState().fSpeechKind(), velmor::SpeechKind::CaretLine);
}

TEST(BandCommand, ReadsAWrappedParagraphOneDisplayLineAtATime)
{
    FormFixture f;
    f.form->resize(700, 500);
    QString words;
    for (int i = 0; i < 60; ++i)
        words += QStringLiteral("word%1 ").arg(i);
    f.setText(words);
    QApplication::processEvents();
    ASSERT_GT(f.ui.textBox().lineCount(), 1);
    f.ui.textBox().setSelection(0, 0);
    f.ui.click("BandButton");
    const QString firstLine = f.engine->spoken.last();
    EXPECT_TRUE(firstLine.startsWith(QStringLiteral("word0 ")));
    EXPECT_LT(firstLine.size(), words.size());
}

TEST(BandCommand, CutsALineAt8192Characters)
{
    FormFixture f;
    f.ui.textBox().setLineWrapMode(QPlainTextEdit::NoWrap);
    f.setText(QString(10000, u'x'));
    f.ui.textBox().setSelection(0, 0);
    f.ui.click("BandButton");
    EXPECT_EQ(f.engine->spoken.last().size(), 8192);
}

TEST(SelectionCommand, SpeaksHighlightsAndMovesTheCaretBehindTheSelection)
{
    FormFixture f;
    f.setText(QStringLiteral("one two three"));
    f.ui.textBox().setSelection(4, 3);
    f.engine->clear();
    f.ui.click("SelTextButton");
    EXPECT_EQ(speakCalls(*f.engine), (QStringList{"ResetAudio", "SpeakText:two"}));
    EXPECT_EQ(f.form->state().fSelText, QStringLiteral("two"));
    EXPECT_EQ(f.ui.control<velmor::InfoLine>("ULabel98").text(), QStringLiteral("two"));
    EXPECT_EQ(f.form->speakingState().fSpeechKind(), velmor::SpeechKind::Selection);
    EXPECT_EQ(f.form->RichEdit98->selStart(), 7);
    EXPECT_EQ(f.form->RichEdit98->selLength(), 0);
    EXPECT_EQ(f.form->windowTitle(), QStringLiteral("Velmor_L   Line: 1      Col: 7    "));
    const auto highlights = f.form->RichEdit98->highlights();
    ASSERT_EQ(highlights.size(), 1);
    EXPECT_EQ(highlights[0].cursor.selectedText(), QStringLiteral("two"));
    EXPECT_EQ(highlights[0].format.background().color(), QColor(0xC6, 0xC6, 0xFF));
}

TEST(SelectionCommand, TextTypedAfterTheHighlightIsNotHighlighted)
{
    FormFixture f;
    f.setText(QStringLiteral("one two"));
    f.ui.textBox().setSelection(4, 3);
    f.ui.click("SelTextButton");
    f.ui.type(QStringLiteral("xyz"));
    EXPECT_EQ(f.ui.text(), QStringLiteral("one twoxyz"));
    EXPECT_EQ(f.ui.textBox().highlights()[0].cursor.selectedText(), QStringLiteral("two"));
}

TEST(SelectionCommand, HighlightNeverChangesTheModifiedState)
{
    FormFixture f;
    f.setText(QStringLiteral("one two"));
    f.ui.textBox().setModified(false);
    f.ui.textBox().setSelection(0, 3);
    f.ui.click("SelTextButton");
    EXPECT_FALSE(f.ui.textBox().isModified());

    // Unsaved edits stay unsaved, so closing still asks before discarding them.
    f.ui.textBox().setSelection(7, 0);
    f.ui.type(QStringLiteral(" three"));
    f.ui.textBox().setSelection(0, 3);
    f.ui.click("SelTextButton");
    EXPECT_TRUE(f.ui.textBox().isModified());
}

TEST(SelectionCommand, MarkingOffReplacesEarlierHighlightsMarkingOnKeepsThem)
{
    FormFixture f;
    f.setText(QStringLiteral("one two three"));
    f.ui.textBox().setSelection(0, 3);
    f.ui.click("SelTextButton");
    f.ui.textBox().setSelection(4, 3);
    f.ui.click("SelTextButton");
    EXPECT_EQ(f.ui.textBox().highlights().size(), 1);

    f.ui.state().fMarkCheck = true;
    f.ui.textBox().setSelection(8, 5);
    f.ui.click("SelTextButton");
    EXPECT_EQ(f.ui.textBox().highlights().size(), 2);
}

TEST(SelectionCommand, WithoutSelectionSpeaksTheEarlierOneAgain)
{
    FormFixture f;
    f.setText(QStringLiteral("one two"));
    f.ui.textBox().setSelection(0, 3);
    f.ui.click("SelTextButton");
    f.engine->clear();
    f.ui.click("SelTextButton");
    EXPECT_EQ(f.engine->spoken, QStringList{QStringLiteral("one")});
    EXPECT_EQ(f.ui.textBox().highlights().size(), 1);
    EXPECT_TRUE(f.colorRequests.isEmpty());
}

TEST(SelectionCommand, NeverASelectionOpensTheColourDialog)
{
    FormFixture f;
    f.colorAnswer = QColor(0x10, 0x20, 0x30);
    f.engine->clear();
    f.ui.click("SelTextButton");
    ASSERT_EQ(f.colorRequests.size(), 1);
    EXPECT_EQ(f.colorRequests[0], QColor(0xC6, 0xC6, 0xFF));
    EXPECT_EQ(f.ui.state().fSelBgColor, 0x00302010u);
    EXPECT_EQ(f.ui.control<velmor::FlatButton>("SelTextButton").activeFontColor(), QColor(0x10, 0x20, 0x30));
    EXPECT_TRUE(f.engine->spoken.isEmpty());
}

TEST(SelectionCommand, CancelledColourDialogChangesNothing)
{
    FormFixture f;
    f.ui.click("SelTextButton");
    EXPECT_EQ(f.ui.state().fSelBgColor, 0x00FFC6C6u);
}

TEST(ResetCommand, StopsAndCancelsAPendingRepetition)
{
    FormFixture f;
    f.setText(QStringLiteral("text"));
    f.ui.click("SpeechButton");
    f.ui.click("PauseButton");
    f.ui.timer().start();
    f.engine->clear();
    f.ui.click("ResetButton");
    EXPECT_EQ(speakCalls(*f.engine), QStringList{"ResetAudio"});
    EXPECT_FALSE(f.ui.control<QTimer>("Timer1").isActive());
    EXPECT_EQ(f.form->speakingState().fSpeechKind(), velmor::SpeechKind::None);
    EXPECT_FALSE(f.form->speakingState().fPaused());
    EXPECT_EQ(f.ui.control<velmor::FlatButton>("PauseButton").text(), QStringLiteral("Pause"));
}

TEST(SpeakingShortcuts, CtrlKeysReachTheCommandsFromTheTextBox)
{
    FormFixture f;
    f.setText(QStringLiteral("one\ntwo"));
    f.ui.textBox().setFocus();
    f.ui.textBox().setSelection(5, 0);
    f.engine->clear();
    f.ui.press(Qt::Key_P, Qt::ControlModifier);
    f.ui.press(Qt::Key_B, Qt::ControlModifier);
    f.ui.press(Qt::Key_E, Qt::ControlModifier);
    f.ui.press(Qt::Key_R, Qt::ControlModifier);
    f.ui.textBox().setSelection(0, 3);
    f.ui.press(Qt::Key_T, Qt::ControlModifier);
    EXPECT_EQ(speakCalls(*f.engine),
              (QStringList{"ResetAudio", "SpeakText:one\r\ntwo\r\n", "ResetAudio", "SpeakText:two", "PauseAudio",
                           "ResetAudio", "ResetAudio", "SpeakText:one"}));
    EXPECT_EQ(f.ui.text(), QStringLiteral("one\ntwo"));
}

TEST(SpeakingCommandsWithoutEngine, DoNothing)
{
    FormFixture f(0);
    f.setText(QStringLiteral("one"));
    f.ui.textBox().setSelection(0, 3);
    f.engine->clear();
    f.ui.click("SpeechButton");
    f.ui.click("BandButton");
    f.ui.click("SelTextButton");
    f.ui.click("PauseButton");
    f.ui.click("ResetButton");
    EXPECT_TRUE(f.engine->calls.isEmpty());
    EXPECT_TRUE(f.colorRequests.isEmpty());
    EXPECT_EQ(f.ui.control<velmor::FlatButton>("PauseButton").text(), QStringLiteral("Pause"));
}

TEST(SpeakingCommandErrors, AreShownInTheErrorBoxAndEndTheHandler)
{
    FormFixture f;
    f.setText(QStringLiteral("one"));
    f.engine->failNext = QStringLiteral("Audio device failed");
    f.form->findChild<QAbstractButton*>(QStringLiteral("SpeechButton"))->click();
    EXPECT_EQ(f.errors, QStringList{QStringLiteral("Audio device failed")});
    EXPECT_TRUE(f.engine->spoken.isEmpty());
    EXPECT_EQ(f.form->speakingState().fSpeechKind(), velmor::SpeechKind::None);
}

TEST(SelectionCommand, ReplacingTheWholeTextRemovesHighlights)
{
    FormFixture f;
    f.setText(QStringLiteral("one two"));
    f.ui.textBox().setSelection(4, 3);
    f.ui.click("SelTextButton");
    f.setText(QStringLiteral("another text"));
    EXPECT_EQ(f.ui.textBox().highlightCount(), 0);
    f.ui.textBox().setSelection(0, 3);
    f.ui.click("SelTextButton");
    f.ui.textBox().clear();
    EXPECT_EQ(f.ui.textBox().highlightCount(), 0);
}
