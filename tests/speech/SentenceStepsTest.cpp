#include "FormFixture.h"
#include "QtPrinters.h"

#include "core/FormState.h"
#include "core/SpeakingState.h"
#include "widgets/TRichEdit98.h"

#include <QAction>
#include <QSet>
#include <QTest>
#include <gtest/gtest.h>

namespace {

const QString kText = QStringLiteral("One fish. Two fish. Red fish.\nBlue fish. 青い魚です。赤い魚。");

// What the engine was told since the last look: each reset and each text.
QStringList told(FormFixture& f)
{
    const QStringList calls = f.engine->callsOf({QStringLiteral("SpeakText"), QStringLiteral("ResetAudio")});
    f.engine->clear();
    return calls;
}

void hear(FormFixture& f, const QString& word)
{
    ASSERT_TRUE(f.engine->startNext() || f.engine->speaking);
    ASSERT_TRUE(f.engine->hearWord(int(f.engine->current.indexOf(word)), int(word.size())));
}

} // namespace

TEST(SentenceSteps, NextAndBackRestartAtSentenceStartsAndMoveTheCaret)
{
    FormFixture f;
    f.setText(kText);
    velmor::TRichEdit98& editor = f.ui.textBox();
    f.ui.click("SpeechButton");
    hear(f, QStringLiteral("Two"));
    f.engine->clear();

    QTest::keyClick(&editor, Qt::Key_Right, Qt::AltModifier);
    EXPECT_EQ(told(f), QStringList({"ResetAudio", "SpeakText:Red fish.\r\nBlue fish. 青い魚です。赤い魚。\r\n"}));
    EXPECT_EQ(editor.selStart(), 20);
    EXPECT_EQ(f.form->speakingState().fSpeechKind(), velmor::SpeechKind::WholeText); // the run goes on: it is repeated whole

    // Across the paragraph break, and on into Japanese sentences.
    hear(f, QStringLiteral("Red"));
    f.trigger(ActionId::NextSentence);
    hear(f, QStringLiteral("Blue"));
    f.trigger(ActionId::NextSentence);
    EXPECT_EQ(told(f).back(), QStringLiteral("SpeakText:青い魚です。赤い魚。\r\n"));

    // Back at once: the sentence before; back once more before a word is heard: one more.
    hear(f, QStringLiteral("青い"));
    f.trigger(ActionId::SentenceBack);
    EXPECT_EQ(editor.selStart(), 30);
    f.trigger(ActionId::SentenceBack);
    EXPECT_EQ(editor.selStart(), 20);
    EXPECT_EQ(told(f).back(), QStringLiteral("SpeakText:Red fish.\r\nBlue fish. 青い魚です。赤い魚。\r\n"));

    // Back more than a second into a sentence: its own start.
    hear(f, QStringLiteral("fish"));
    QTest::qWait(1100);
    f.trigger(ActionId::SentenceBack);
    EXPECT_EQ(editor.selStart(), 20);
    hear(f, QStringLiteral("Red"));

    // Time paused is not time heard: a second paused at a sentence's start, Back still goes to
    // the sentence before.
    f.ui.click("PauseButton");
    QTest::qWait(1100);
    f.ui.click("PauseButton");
    f.trigger(ActionId::SentenceBack);
    EXPECT_EQ(editor.selStart(), 10);
    hear(f, QStringLiteral("Red"));

    // Past the last sentence there is nowhere to go.
    f.trigger(ActionId::NextSentence);
    f.trigger(ActionId::NextSentence);
    f.trigger(ActionId::NextSentence);
    hear(f, QStringLiteral("赤い"));
    f.engine->clear();
    f.trigger(ActionId::NextSentence);
    EXPECT_TRUE(told(f).isEmpty());
}

TEST(SentenceSteps, AStepStaysInsideTheLineSpokenAndWaitsForSomethingToBeSpoken)
{
    FormFixture f;
    f.setText(kText);
    f.engine->clear();
    f.trigger(ActionId::NextSentence);
    f.trigger(ActionId::SentenceBack);
    EXPECT_TRUE(told(f).isEmpty());

    f.ui.textBox().setSelection(3, 0);
    f.ui.click("BandButton");
    hear(f, QStringLiteral("One"));
    f.engine->clear();
    f.trigger(ActionId::NextSentence);
    EXPECT_EQ(told(f), QStringList({"ResetAudio", "SpeakText:Two fish. Red fish.\r\n"}));
    hear(f, QStringLiteral("Two"));
    ASSERT_TRUE(f.engine->finishCurrent());
    f.trigger(ActionId::NextSentence);
    EXPECT_TRUE(told(f).isEmpty());
}

TEST(SentenceSteps, AltDownSpeaksFromTheCaretToTheEndAsARunOfItsOwnOnAKeyNoOtherCommandHas)
{
    FormFixture f;
    f.setText(kText);
    velmor::TRichEdit98& editor = f.ui.textBox();
    f.ui.state().fRepNum = 3;
    f.ui.click("SpeechButton");
    editor.setSelection(10, 0);
    f.engine->clear();
    QTest::keyClick(&editor, Qt::Key_Down, Qt::AltModifier);
    EXPECT_EQ(told(f), QStringList({"ResetAudio", "SpeakText:Two fish. Red fish.\r\nBlue fish. 青い魚です。赤い魚。\r\n"}));
    EXPECT_EQ(f.form->speakingState().fSpeechKind(), velmor::SpeechKind::None);
    hear(f, QStringLiteral("Blue"));
    EXPECT_EQ(editor.spokenWord(), std::make_pair(30, 4));

    QStringList keys;
    for (const QAction* action : f.form->findChildren<QAction*>())
        for (const QKeySequence& key : action->shortcuts())
            keys << key.toString();
    for (const char* key : {"Alt+Right", "Alt+Left", "Alt+Down"})
        EXPECT_EQ(keys.count(QString::fromLatin1(key)), 1) << key;
    EXPECT_EQ(QSet<QString>(keys.begin(), keys.end()).size(), keys.size()) << keys.join(u' ').toStdString();
}
