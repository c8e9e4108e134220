#include "FakeSpeechEngine.h"
#include "QtPrinters.h"

#include "speech/CombinedEngine.h"

#include <gtest/gtest.h>

// The system's modes are numbered after the built-in ones; texts go to the engine of the mode
// selected when they are queued (a rest to the engine that has its first part), pause and reset
// reach both, notifications of either come out, and only a built-in mode records.
TEST(CombinedEngine, NumbersTheSystemsModesAfterTheBuiltInOnesAndSpeaksWithTheSelectedOnesEngine)
{
    auto builtInEngine = std::make_unique<FakeSpeechEngine>(3);
    auto systemEngine = std::make_unique<FakeSpeechEngine>(2);
    systemEngine->unrecordable = {1, 2};
    systemEngine->languages = {"de", "en-us"};
    FakeSpeechEngine& builtIn = *builtInEngine;
    FakeSpeechEngine& system = *systemEngine;
    velmor::CombinedEngine engine(std::move(builtInEngine), std::move(systemEngine));
    QStringList events;
    QObject::connect(&engine, &velmor::SpeechEngine::OnTextDataStarted, [&] { events << QStringLiteral("started"); });
    QObject::connect(&engine, &velmor::SpeechEngine::OnWordHeard, [&](const QString& text, int offset, int length) {
        events << text.mid(offset, length);
    });
    QObject::connect(&engine, &velmor::SpeechEngine::OnTextDataDone, [&] { events << QStringLiteral("done"); });

    ASSERT_EQ(engine.ModeCount(), 5);
    EXPECT_EQ(engine.SpeakerOf(3), QStringLiteral("Speaker3"));
    EXPECT_EQ(engine.SpeakerOf(5), QStringLiteral("Speaker2"));
    EXPECT_EQ(engine.voiceLanguageOf(4), QByteArrayLiteral("de"));

    engine.SelectMode(4);
    EXPECT_EQ(system.selectedMode, 1);
    EXPECT_FALSE(engine.canRecord());
    engine.SpeakFirstPart(QStringLiteral("first"));
    engine.SelectMode(2);
    EXPECT_TRUE(engine.canRecord());
    EXPECT_TRUE(engine.SpeakLastPart(QStringLiteral(" rest")));
    engine.SpeakText(QStringLiteral("next"));
    EXPECT_EQ(system.spoken, QStringList{QStringLiteral("first rest")});
    EXPECT_EQ(builtIn.spoken, QStringList{QStringLiteral("next")});

    ASSERT_TRUE(system.startNext());
    ASSERT_TRUE(system.hearWord(6, 4));
    ASSERT_TRUE(system.finishCurrent());
    EXPECT_EQ(events, QStringList({"started", "rest", "done"}));

    engine.PauseAudio();
    EXPECT_TRUE(builtIn.paused && system.paused);
    engine.ResetAudio();
    EXPECT_TRUE(builtIn.calls.contains(QStringLiteral("ResetAudio")) && system.calls.contains(QStringLiteral("ResetAudio")));
}
