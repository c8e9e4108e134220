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
    QSignalSpy fired(&f.ui.timer(), &QTimer::timeout);
    return fired.wait(2000);
}

} // namespace

TEST(Repetition, SpeaksTheTextRepNumTimesEachAfterTheDelay)
{
    FormFixture f;
    f.ui.control<velmor::UpDownEdit>("RepUpDown").setValue(3);
    EXPECT_EQ(f.ui.state().fRepNum, 3);
    f.setText(QStringLiteral("word"));
    f.ui.click("SpeechButton");
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
    EXPECT_FALSE(f.ui.timer().isActive());
    // Repetitions queue behind what is queued: no reset between them.
    EXPECT_EQ(f.engine->calls, (QStringList{"SpeakText:word\r\n", "SpeakText:word\r\n"}));

    // A new command's run is counted from one again, so it is repeated as well.
    f.form->BandButtonClick();
    EXPECT_EQ(f.form->speakingState().fRepCount(), 1);
    f.engine->fireStarted();
    f.engine->fireDone();
    EXPECT_TRUE(f.ui.timer().isActive());
}

TEST(Repetition, OnceNeverStartsTheTimer)
{
    FormFixture f;
    f.setText(QStringLiteral("word"));
    f.ui.click("SpeechButton");
    f.engine->fireDone();
    EXPECT_FALSE(f.ui.timer().isActive());
}

TEST(Repetition, ResetDuringTheWaitCancelsIt)
{
    FormFixture f;
    f.ui.control<velmor::UpDownEdit>("RepUpDown").setValue(2);
    f.setText(QStringLiteral("word"));
    f.ui.click("SpeechButton");
    f.engine->fireDone();
    ASSERT_TRUE(f.ui.timer().isActive());
    f.ui.click("ResetButton");
    f.engine->clear();
    QTest::qWait(300);
    EXPECT_TRUE(f.engine->spoken.isEmpty());
}

TEST(Repetition, KindZeroNeverRepeatsEvenWhenTheTimerFires)
{
    FormFixture f;
    f.ui.control<velmor::UpDownEdit>("RepUpDown").setValue(5);
    f.ui.timer().start();
    f.engine->clear();
    f.form->Timer1Timer();
    EXPECT_TRUE(f.engine->calls.isEmpty());
    EXPECT_FALSE(f.ui.timer().isActive());
    f.engine->fireDone();
    EXPECT_FALSE(f.ui.timer().isActive());
}

TEST(Repetition, PauseBlocksTheArmingUntilResumed)
{
    FormFixture f;
    f.ui.control<velmor::UpDownEdit>("RepUpDown").setValue(2);
    f.setText(QStringLiteral("word"));
    f.ui.click("SpeechButton");
    f.ui.click("PauseButton");
    f.engine->fireDone();
    EXPECT_FALSE(f.ui.timer().isActive());
    f.ui.click("PauseButton");
    f.engine->fireDone();
    EXPECT_TRUE(f.ui.timer().isActive());
}

TEST(Repetition, AnyCompletionArmsWhileTheRunIsUnfinished)
{
    FormFixture f;
    f.ui.control<velmor::UpDownEdit>("RepUpDown").setValue(2);
    f.setText(QStringLiteral("word"));
    f.ui.click("SpeechButton");
    f.engine->fireDone();
    f.ui.timer().stop();
    f.engine->fireDone(); // say an echoed letter ended
    EXPECT_TRUE(f.ui.timer().isActive());
}

TEST(Repetition, CaretLineIsTakenAnewAtTheMovedCaret)
{
    FormFixture f;
    f.ui.control<velmor::UpDownEdit>("RepUpDown").setValue(2);
    f.setText(QStringLiteral("first\nsecond"));
    f.ui.textBox().setSelection(0, 0);
    f.ui.click("BandButton");
    f.ui.textBox().setSelection(8, 0);
    f.ui.control<velmor::InfoLine>("ULabel98").showText(QStringLiteral("kept"), QStringLiteral("Sans"));
    f.engine->clear();
    f.form->Timer1Timer();
    EXPECT_EQ(f.engine->spoken, QStringList{QStringLiteral("second")});
    EXPECT_EQ(f.ui.control<velmor::InfoLine>("ULabel98").text(), QStringLiteral("kept"));
    EXPECT_EQ(f.form->speakingState().fSpeechKind(), velmor::SpeechKind::CaretLine);
}

TEST(Repetition, SelectionAndClipboardKinds)
{
    FormFixture f;
    f.ui.control<velmor::UpDownEdit>("RepUpDown").setValue(3);
    f.form->speakingState().start(velmor::SpeechKind::Selection);
    f.form->state().fSelText = QStringLiteral("chosen");
    f.form->Timer1Timer();
    EXPECT_EQ(f.engine->spoken.last(), QStringLiteral("chosen"));

    f.form->speakingState().start(velmor::SpeechKind::ClipboardText);
    f.form->state().fClipText = QStringLiteral("copied");
    f.ui.control<velmor::LozengeCheckBox>("ClipSpeechCheckBox").setChecked(false);
    f.engine->clear();
    f.form->Timer1Timer();
    EXPECT_TRUE(f.engine->spoken.isEmpty());
    f.ui.control<velmor::LozengeCheckBox>("ClipSpeechCheckBox").setChecked(true);
    f.form->Timer1Timer();
    EXPECT_EQ(f.engine->spoken, QStringList{QStringLiteral("copied")});
}

TEST(Repetition, PauseDuringTheWaitHoldsTheRepetitionUntilOneResume)
{
    FormFixture f;
    f.ui.control<velmor::UpDownEdit>("RepUpDown").setValue(2);
    f.setText(QStringLiteral("word"));
    f.ui.click("SpeechButton");
    ASSERT_TRUE(f.engine->startNext());
    ASSERT_TRUE(f.engine->finishCurrent());
    f.trigger(ActionId::Pause1);
    ASSERT_TRUE(waitForRepetition(f));
    EXPECT_EQ(f.engine->queued, QStringList{QStringLiteral("word\r\n")});
    EXPECT_EQ(f.ui.control<velmor::FlatButton>("PauseButton").text(), QStringLiteral("Resume"));
    EXPECT_FALSE(f.engine->startNext());

    f.trigger(ActionId::Pause1);
    EXPECT_EQ(f.ui.control<velmor::FlatButton>("PauseButton").text(), QStringLiteral("Pause"));
    EXPECT_TRUE(f.engine->startNext());
    EXPECT_TRUE(f.engine->finishCurrent());
    EXPECT_FALSE(f.ui.timer().isActive());
}

TEST(Repetition, OnceButtonEndsTheRunAtTheNextCompletion)
{
    FormFixture f;
    f.ui.control<velmor::UpDownEdit>("RepUpDown").setValue(4);
    f.setText(QStringLiteral("word"));
    f.ui.click("SpeechButton");
    f.ui.click("OffRepButton");
    EXPECT_EQ(f.ui.control<velmor::UpDownEdit>("RepUpDown").value(), 1);
    EXPECT_EQ(f.ui.state().fRepNum, 1);
    f.engine->fireDone();
    EXPECT_FALSE(f.ui.timer().isActive());
}

TEST(SpeakingMark, FollowsEachTextAndIgnoresPause)
{
    FormFixture f;
    EXPECT_FALSE(f.ui.speakingMark());
    f.engine->fireStarted();
    EXPECT_TRUE(f.ui.speakingMark());
    f.ui.click("PauseButton");
    EXPECT_TRUE(f.ui.speakingMark());
    f.engine->fireDone();
    EXPECT_FALSE(f.ui.speakingMark());
}

TEST(SpeakingMark, AResetStopsTheMarkAndTheMouthWithoutARepetition)
{
    FormFixture f;
    f.ui.control<velmor::UpDownEdit>("RepUpDown").setValue(3);
    f.setText(QStringLiteral("first\nsecond"));
    f.ui.click("SpeechButton");
    ASSERT_TRUE(f.engine->startNext());
    EXPECT_TRUE(f.ui.control<velmor::MouthView>("DirectSS1").isFollowing());

    // A new command cuts the text off, then speaks its own.
    f.ui.click("BandButton");
    EXPECT_FALSE(f.ui.speakingMark());
    EXPECT_FALSE(f.ui.timer().isActive());
    ASSERT_TRUE(f.engine->startNext());
    EXPECT_TRUE(f.ui.speakingMark());

    f.trigger(ActionId::Reset1);
    EXPECT_FALSE(f.engine->finishCurrent());
    EXPECT_FALSE(f.ui.speakingMark());
    EXPECT_TRUE(QTest::qWaitFor([&] { return !f.ui.control<velmor::MouthView>("DirectSS1").isFollowing(); }, 1000));
    EXPECT_EQ(f.ui.control<velmor::MouthView>("DirectSS1").opening(), 0.0);
    QTest::qWait(300);
    EXPECT_FALSE(f.ui.timer().isActive());
    EXPECT_EQ(f.engine->spoken, (QStringList{QStringLiteral("first\r\nsecond\r\n"), QStringLiteral("first")}));
}
