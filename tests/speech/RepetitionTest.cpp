#include "FormFixture.h"
#include "QtPrinters.h"

#include "core/FormState.h"
#include "core/SpeakingState.h"
#include "widgets/FlatButton.h"
#include "widgets/IndicatorLabel.h"
#include "widgets/InfoLine.h"
#include "widgets/LozengeCheckBox.h"
#include "widgets/MouthView.h"
#include "widgets/TRichEdit98.h"
#include "widgets/UpDownEdit.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

// Waits until the repetition timer has fired (or gives up after two seconds).
bool waitForRepetition(FormFixture& f)
{
    QSignalSpy fired(f.form->Timer1, &QTimer::timeout);
    return fired.wait(2000);
}

} // namespace

TEST(Repetition, SpeaksTheTextRepNumTimesEachAfterTheDelay)
{
    FormFixture f;
    f.form->RepUpDown->setValue(3);
    EXPECT_EQ(f.form->state().fRepNum, 3);
    f.setText(QStringLiteral("word"));
    f.form->SpeechButtonClick();
    f.engine->clear();

    for (int expected = 2; expected <= 3; ++expected) {
        f.engine->fireStarted();
        QElapsedTimer sinceDone;
        sinceDone.start();
        f.engine->fireDone();
        ASSERT_TRUE(waitForRepetition(f));
        EXPECT_GE(sinceDone.elapsed(), 199);
        EXPECT_EQ(f.form->speakingState().fRepCount(), expected);
    }
    f.engine->fireStarted();
    f.engine->fireDone();
    EXPECT_FALSE(f.form->Timer1->isActive());
    // Repetitions queue behind what is queued: no reset between them.
    EXPECT_EQ(f.engine->calls, (QStringList{"SpeakText:word\r\n", "SpeakText:word\r\n"}));

    // A new command's run is counted from one again, so it is repeated as well.
    f.form->BandButtonClick();
    EXPECT_EQ(f.form->speakingState().fRepCount(), 1);
    f.engine->fireStarted();
    f.engine->fireDone();
    EXPECT_TRUE(f.form->Timer1->isActive());
}

TEST(Repetition, OnceNeverStartsTheTimer)
{
    FormFixture f;
    f.setText(QStringLiteral("word"));
    f.form->SpeechButtonClick();
    f.engine->fireDone();
    EXPECT_FALSE(f.form->Timer1->isActive());
}

TEST(Repetition, ResetDuringTheWaitCancelsIt)
{
    FormFixture f;
    f.form->RepUpDown->setValue(2);
    f.setText(QStringLiteral("word"));
    f.form->SpeechButtonClick();
    f.engine->fireDone();
    ASSERT_TRUE(f.form->Timer1->isActive());
    f.form->ResetButtonClick();
    f.engine->clear();
    QTest::qWait(300);
    EXPECT_TRUE(f.engine->spoken.isEmpty());
}

TEST(Repetition, KindZeroNeverRepeatsEvenWhenTheTimerFires)
{
    FormFixture f;
    f.form->RepUpDown->setValue(5);
    f.form->Timer1->start();
    f.engine->clear();
    f.form->Timer1Timer();
    EXPECT_TRUE(f.engine->calls.isEmpty());
    EXPECT_FALSE(f.form->Timer1->isActive());
    f.engine->fireDone();
    EXPECT_FALSE(f.form->Timer1->isActive());
}

TEST(Repetition, PauseBlocksTheArmingUntilResumed)
{
    FormFixture f;
    f.form->RepUpDown->setValue(2);
    f.setText(QStringLiteral("word"));
    f.form->SpeechButtonClick();
    f.form->PauseButtonClick();
    f.engine->fireDone();
    EXPECT_FALSE(f.form->Timer1->isActive());
    f.form->PauseButtonClick();
    f.engine->fireDone();
    EXPECT_TRUE(f.form->Timer1->isActive());
}

TEST(Repetition, AnyCompletionArmsWhileTheRunIsUnfinished)
{
    FormFixture f;
    f.form->RepUpDown->setValue(2);
    f.setText(QStringLiteral("word"));
    f.form->SpeechButtonClick();
    f.engine->fireDone();
    f.form->Timer1->stop();
    f.engine->fireDone(); // say an echoed letter ended
    EXPECT_TRUE(f.form->Timer1->isActive());
}

TEST(Repetition, CaretLineIsTakenAnewAtTheMovedCaret)
{
    FormFixture f;
    f.form->RepUpDown->setValue(2);
    f.setText(QStringLiteral("first\nsecond"));
    f.form->RichEdit98->setSelection(0, 0);
    f.form->BandButtonClick();
    f.form->RichEdit98->setSelection(8, 0);
    f.form->ULabel98->showText(QStringLiteral("kept"), QStringLiteral("Sans"));
    f.engine->clear();
    f.form->Timer1Timer();
    EXPECT_EQ(f.engine->spoken, QStringList{QStringLiteral("second")});
    EXPECT_EQ(f.form->ULabel98->text(), QStringLiteral("kept"));
    EXPECT_EQ(f.form->speakingState().fSpeechKind(), velmor::SpeechKind::CaretLine);
}

TEST(Repetition, SelectionAndClipboardKinds)
{
    FormFixture f;
    f.form->RepUpDown->setValue(3);
    f.form->speakingState().start(velmor::SpeechKind::Selection);
    f.form->state().fSelText = QStringLiteral("chosen");
    f.form->Timer1Timer();
    EXPECT_EQ(f.engine->spoken.last(), QStringLiteral("chosen"));

    f.form->speakingState().start(velmor::SpeechKind::ClipboardText);
    f.form->state().fClipText = QStringLiteral("copied");
    f.form->ClipSpeechCheckBox->setChecked(false);
    f.engine->clear();
    f.form->Timer1Timer();
    EXPECT_TRUE(f.engine->spoken.isEmpty());
    f.form->ClipSpeechCheckBox->setChecked(true);
    f.form->Timer1Timer();
    EXPECT_EQ(f.engine->spoken, QStringList{QStringLiteral("copied")});
}

TEST(Repetition, PauseDuringTheWaitHoldsTheRepetitionUntilOneResume)
{
    FormFixture f;
    f.form->RepUpDown->setValue(2);
    f.setText(QStringLiteral("word"));
    f.form->SpeechButtonClick();
    ASSERT_TRUE(f.engine->startNext());
    ASSERT_TRUE(f.engine->finishCurrent());
    f.trigger("Pause1");
    ASSERT_TRUE(waitForRepetition(f));
    EXPECT_EQ(f.engine->queued, QStringList{QStringLiteral("word\r\n")});
    EXPECT_EQ(f.form->PauseButton->text(), QStringLiteral("Resume"));
    EXPECT_FALSE(f.engine->startNext());

    f.trigger("Pause1");
    EXPECT_EQ(f.form->PauseButton->text(), QStringLiteral("Pause"));
    EXPECT_TRUE(f.engine->startNext());
    EXPECT_TRUE(f.engine->finishCurrent());
    EXPECT_FALSE(f.form->Timer1->isActive());
}

TEST(Repetition, OnceButtonEndsTheRunAtTheNextCompletion)
{
    FormFixture f;
    f.form->RepUpDown->setValue(4);
    f.setText(QStringLiteral("word"));
    f.form->SpeechButtonClick();
    f.form->OffRepButton->click();
    EXPECT_EQ(f.form->RepUpDown->value(), 1);
    EXPECT_EQ(f.form->state().fRepNum, 1);
    f.engine->fireDone();
    EXPECT_FALSE(f.form->Timer1->isActive());
}

TEST(SpeakingMark, FollowsEachTextAndIgnoresPause)
{
    FormFixture f;
    EXPECT_FALSE(f.form->IsSpeechLabel->isOpaque());
    f.engine->fireStarted();
    EXPECT_TRUE(f.form->IsSpeechLabel->isOpaque());
    f.form->PauseButtonClick();
    EXPECT_TRUE(f.form->IsSpeechLabel->isOpaque());
    f.engine->fireDone();
    EXPECT_FALSE(f.form->IsSpeechLabel->isOpaque());
}

TEST(SpeakingMark, AResetStopsTheMarkAndTheMouthWithoutARepetition)
{
    FormFixture f;
    f.form->RepUpDown->setValue(3);
    f.setText(QStringLiteral("first\nsecond"));
    f.form->SpeechButtonClick();
    ASSERT_TRUE(f.engine->startNext());
    EXPECT_TRUE(f.form->DirectSS1->isFollowing());

    // A new command cuts the text off, then speaks its own.
    f.form->BandButtonClick();
    EXPECT_FALSE(f.form->IsSpeechLabel->isOpaque());
    EXPECT_FALSE(f.form->Timer1->isActive());
    ASSERT_TRUE(f.engine->startNext());
    EXPECT_TRUE(f.form->IsSpeechLabel->isOpaque());

    f.trigger("Reset1");
    EXPECT_FALSE(f.engine->finishCurrent());
    EXPECT_FALSE(f.form->IsSpeechLabel->isOpaque());
    EXPECT_TRUE(QTest::qWaitFor([&] { return !f.form->DirectSS1->isFollowing(); }, 1000));
    EXPECT_EQ(f.form->DirectSS1->opening(), 0.0);
    QTest::qWait(300);
    EXPECT_FALSE(f.form->Timer1->isActive());
    EXPECT_EQ(f.engine->spoken, (QStringList{QStringLiteral("first\r\nsecond\r\n"), QStringLiteral("first")}));
}
