#include "QtPrinters.h"
#include "VoiceWindow.h"

#include "speech/SpeedOffsets.h"

#include <gtest/gtest.h>

using velmor::speedOffset;

namespace {

QStringList speedCalls(const FakeSpeechEngine& engine) { return engine.callsOf({QStringLiteral("Speed")}); }

// One mode per speaker, all with usable names.
VoiceWindow voicesOf(const QStringList& speakers)
{
    QStringList names;
    for (qsizetype i = 0; i < speakers.size(); ++i)
        names << QStringLiteral("Female %1").arg(i + 1);
    return VoiceWindow(names, speakers);
}

} // namespace

TEST(SpeedOffset, EveryVoiceOfTheTable)
{
    const std::vector<std::pair<const char*, int>> table{
        {"Pierre", -10},  {"Anna", -30},    {"Stefan", -30},    {"Karen", -40},   {"Hans", -40},
        {"Linda", -40},   {"Alexander", -40}, {"Shin-Ah", -50}, {"Jun-Ho", -50},  {"Juliana", -30},
        {"Alexandre", -30}, {"Svetlana", -30}, {"Boris", -30},  {"Carmen", -20},  {"Julio", -20},
        {"Barbara", 20},  {"Stefano", 20},  {"Mary", 0},        {"Mike", 0},      {"Naoko", 0},
        {"Kenji", 0},     {"", 0}};
    for (const auto& [speaker, offset] : table)
        EXPECT_EQ(speedOffset(QString::fromLatin1(speaker), QString::fromLatin1(speaker)), offset) << speaker;
}

TEST(SpeedOffset, WholeNamesCaseSensitive)
{
    for (const char* speaker : {"pierre", "Pierre ", "ANNA", "Hans-Peter", "Barbara2"})
        EXPECT_EQ(speedOffset(QString::fromLatin1(speaker), QString::fromLatin1(speaker)), 0) << speaker;
}

TEST(SpeedOffset, VeroniqueByTheListEntryNotTheLabel)
{
    const QString accented = velmor::kVeroniqueAccented;
    EXPECT_EQ(speedOffset(accented, QStringLiteral("Veronique")), -10);
    EXPECT_EQ(speedOffset(accented, QString()), 0);
    // The label decides for every other voice.
    EXPECT_EQ(speedOffset(QStringLiteral("Pierre"), QStringLiteral("Mary")), -10);
    EXPECT_EQ(speedOffset(QStringLiteral("Mary"), QStringLiteral("Barbara")), 0);
}

TEST(SpeedOffset, EffectiveSpeedIsNotClamped)
{
    EXPECT_EQ(velmor::effectiveSpeed(130, QStringLiteral("Shin-Ah"), QStringLiteral("Shin-Ah")), 80);
    EXPECT_EQ(velmor::effectiveSpeed(188, QStringLiteral("Stefano"), QStringLiteral("Stefano")), 208);
}

TEST(SpeedOffset, BarRange)
{
    EXPECT_EQ(velmor::speedBarPosition(500), 188);
    EXPECT_EQ(velmor::speedBarPosition(-3), 130);
    EXPECT_EQ(velmor::speedBarPosition(160), 160);
}

TEST(SpeedBar, SendsTheSpeedWithTheVoicesOffset)
{
    const std::vector<std::tuple<const char*, int, int>> cases{
        {"Pierre", 160, 150}, {"Barbara", 160, 180}, {"Shin-Ah", 130, 80}};
    for (const auto& [speaker, position, sent] : cases) {
        VoiceWindow w = voicesOf({QString::fromLatin1(speaker)});
        w.start();
        w.bar.setValue(position);
        EXPECT_EQ(w.state.FSpd, position) << speaker;
        EXPECT_EQ(speedCalls(w.engine), QStringList{QStringLiteral("Speed:%1").arg(sent)}) << speaker;
        EXPECT_EQ(w.label4, QString::number(sent)) << speaker;
    }
}

TEST(SpeedBar, VeroniqueVoiceSlowsByTen)
{
    VoiceWindow w = voicesOf({QStringLiteral("Veronique")});
    w.start();
    EXPECT_EQ(w.label1, QStringLiteral("V\u00E9ronique"));
    EXPECT_EQ(w.label4, QStringLiteral("140"));
}

TEST(SpeedBar, ModeChangeMovesTheSpeedNotFSpd)
{
    VoiceWindow w = voicesOf({QStringLiteral("Linda"), QStringLiteral("Mary")});
    w.state.FSpd = 170;
    w.start();
    ASSERT_EQ(w.label4, QStringLiteral("130"));
    w.spinner.setValue(2);
    EXPECT_EQ(speedCalls(w.engine), QStringList{"Speed:170"});
    EXPECT_EQ(w.label4, QStringLiteral("170"));
    EXPECT_EQ(w.state.FSpd, 170);
    EXPECT_EQ(w.bar.value(), 170);
}

TEST(SpeedBar, WithoutEngineTheBarMovesAlone)
{
    VoiceWindow w({}, {});
    w.start();
    w.bar.setValue(170);
    w.speed.DSpeedButtonClick();
    EXPECT_EQ(w.state.FSpd, 150);
    EXPECT_EQ(w.bar.value(), 170);
    EXPECT_TRUE(w.engine.calls.isEmpty());
    EXPECT_TRUE(w.label4.isEmpty());
}

TEST(SpeedBar, EngineFailureLeavesTheLabel)
{
    VoiceWindow w = voicesOf({QStringLiteral("Mary")});
    w.start();
    w.engine.failNext = QStringLiteral("busy");
    EXPECT_THROW(w.speed.ScrollBar1Change(160), velmor::SpeechError);
    EXPECT_EQ(w.state.FSpd, 160);
    EXPECT_EQ(w.label4, QStringLiteral("150"));
}

TEST(DefaultSpeed, BarAtDefaultAppliesOnce)
{
    VoiceWindow w = voicesOf({QStringLiteral("Anna")});
    w.start();
    w.speed.DSpeedButtonClick();
    EXPECT_EQ(speedCalls(w.engine), QStringList{"Speed:120"});
    EXPECT_EQ(w.label4, QStringLiteral("120"));
}

TEST(DefaultSpeed, BarElsewhereJumpsAndAppliesTwice)
{
    VoiceWindow w = voicesOf({QStringLiteral("Anna")});
    w.start();
    w.bar.setValue(180);
    w.engine.clear();
    w.speed.DSpeedButtonClick();
    EXPECT_EQ(w.bar.value(), 150);
    EXPECT_EQ(w.state.FSpd, 150);
    EXPECT_EQ(speedCalls(w.engine), (QStringList{"Speed:120", "Speed:120"}));
    EXPECT_EQ(w.label4, QStringLiteral("120"));
}

TEST(StoredSpeed, OutOfRangeIsClampedThroughTheBar)
{
    VoiceWindow w = voicesOf({QStringLiteral("Mary")});
    w.state.FSpd = 500;
    w.voices.buildAtStart();
    w.speed.applyStoredSpeed();
    EXPECT_EQ(w.bar.value(), 188);
    EXPECT_EQ(w.state.FSpd, 188);
    // Once through the bar's change, once by the start-up itself.
    EXPECT_EQ(speedCalls(w.engine), (QStringList{"Speed:188", "Speed:188"}));
    EXPECT_EQ(w.label4, QStringLiteral("188"));
}

TEST(StoredSpeed, InRangeAppliesOnce)
{
    VoiceWindow w = voicesOf({QStringLiteral("Carmen")});
    w.state.FSpd = 150;
    w.voices.buildAtStart();
    w.speed.applyStoredSpeed();
    EXPECT_EQ(speedCalls(w.engine), QStringList{"Speed:130"});
}

TEST(StoredSpeed, KeptWithoutEngine)
{
    VoiceWindow w({}, {});
    w.state.FSpd = 500;
    w.voices.buildAtStart();
    w.speed.applyStoredSpeed();
    EXPECT_EQ(w.bar.value(), 188);
    EXPECT_EQ(w.state.FSpd, 500);
    EXPECT_TRUE(w.label4.isEmpty());
}

TEST(StoredSpeed, NoUsableModeSendsWithoutOffset)
{
    VoiceWindow w({"Adult1"}, {"Pierre"});
    w.voices.buildAtStart();
    w.speed.applyStoredSpeed();
    EXPECT_EQ(speedCalls(w.engine), QStringList{"Speed:150"});
}
