#include "QtPrinters.h"
#include "VoiceWindow.h"

#include "speech/SpeechEngine.h"

#include <QSignalBlocker>
#include <gtest/gtest.h>

namespace {

QStringList selectCalls(const FakeSpeechEngine& engine) { return engine.callsOf({QStringLiteral("SelectMode")}); }

// Modes 1 to 5; mode 2 is dropped and mode 4 is the Naoko voice, so Naoko is language ID 3.
VoiceWindow fiveModes()
{
    return VoiceWindow({"Female English (US)", "Adult1", "Male English (UK)", "Female Japanese", "Female Korean"},
                       {"Mary", "Adam", "Alexander", "Naoko", "Shin-Ah"});
}

} // namespace

TEST(LanguageIdAtStart, StoredIdBeyondTheListBecomesOne)
{
    VoiceWindow w({"Mary", "Mike", "Female A", "Male B"}, {"Mary", "Mike", "Anna", "Boris"});
    w.state.fid = 7;
    w.voices.buildAtStart();
    EXPECT_EQ(w.state.fid, 1);
    EXPECT_EQ(w.spinner.value(), 1);
    EXPECT_EQ(w.spinner.maximum(), 4);
    EXPECT_EQ(w.label1, QStringLiteral("Mary"));
    EXPECT_EQ(w.panel, QStringLiteral(" Mary"));
    EXPECT_EQ(w.hint, QStringLiteral("Mary"));
    // The spinner already showed 1, so no mode was selected: the engine stays on its first mode.
    EXPECT_TRUE(selectCalls(w.engine).isEmpty());
}

TEST(LanguageIdAtStart, StoredIdSelectsItsMode)
{
    VoiceWindow w = fiveModes();
    w.state.fid = 3;
    w.voices.buildAtStart();
    EXPECT_EQ(w.state.fid, 3);
    EXPECT_EQ(w.spinner.value(), 3);
    EXPECT_EQ(selectCalls(w.engine), QStringList{"SelectMode:4"});
    EXPECT_EQ(w.label1, QStringLiteral("Naoko"));
    EXPECT_EQ(w.panel, QStringLiteral(" Female Japanese"));
    EXPECT_EQ(w.state.fNaokoNo, 3);
    EXPECT_EQ(w.state.fModeNoList, (QStringList{"1", "3", "4", "5"}));
}

TEST(LanguageIdAtStart, ListingOnlyOnTheFirstRun)
{
    VoiceWindow later({"Mary"}, {"Mary"});
    later.voices.buildAtStart();
    EXPECT_TRUE(later.listings.empty());

    VoiceWindow first({"Mary", "Adult1"}, {"Mary", "Adam"});
    first.state.ffirst = true;
    first.voices.buildAtStart();
    ASSERT_EQ(first.listings.size(), 1u);
    EXPECT_EQ(first.listings.at(0).size(), 1u);
}

TEST(LanguageIdAtStart, NoUsableModeLeavesTheDisplaysAndTheStoredId)
{
    VoiceWindow w({"Adult1", "Child"}, {"Adam", "Cleo"});
    w.label1 = QStringLiteral("before");
    w.state.fid = 2;
    w.voices.buildAtStart();
    EXPECT_EQ(w.state.fIDCount, 0);
    EXPECT_EQ(w.state.fid, 2);
    EXPECT_EQ(w.label1, QStringLiteral("before"));
    EXPECT_TRUE(selectCalls(w.engine).isEmpty());
    w.voices.LIDUpDownChange();
    EXPECT_TRUE(selectCalls(w.engine).isEmpty());
}

TEST(LanguageIdAtStart, WithoutEngineNothingIsBuilt)
{
    VoiceWindow w({}, {});
    w.voices.buildAtStart();
    EXPECT_EQ(w.state.fIDCount, 0);
    EXPECT_TRUE(w.engine.calls.isEmpty());
}

TEST(LanguageIdSpinner, SelectsTheEntrysEngineMode)
{
    VoiceWindow w = fiveModes();
    w.start();
    w.spinner.setValue(2);
    EXPECT_EQ(w.state.fid, 2);
    EXPECT_EQ(selectCalls(w.engine), QStringList{"SelectMode:3"});
    EXPECT_EQ(w.label1, QStringLiteral("Alexander"));
    EXPECT_EQ(w.panel, QStringLiteral(" Male English (UK)"));
    EXPECT_EQ(w.hint, QStringLiteral("Male English (UK)"));
}

TEST(LanguageIdSpinner, SpeedFollowsTheSpeakerJustShown)
{
    VoiceWindow w = fiveModes();
    w.start();
    w.spinner.setValue(4);
    const QStringList order = w.engine.calls;
    EXPECT_EQ(order, (QStringList{"SelectMode:5", "Speed:100"}));
    EXPECT_EQ(w.label4, QStringLiteral("100"));
}

TEST(LanguageIdSpinner, VSpeakerShownWithAccent)
{
    VoiceWindow w({"Mary", "Male French"}, {"Mary", "Victor"});
    w.start();
    w.spinner.setValue(2);
    EXPECT_EQ(w.label1, QStringLiteral("V\u00E9ronique"));
    EXPECT_EQ(w.state.fSpeakerList.at(1), QStringLiteral("Veronique"));
}

TEST(LanguageIdSpinner, DoesNothingWithoutEngine)
{
    VoiceWindow w = fiveModes();
    w.start();
    w.state.fEngineOK = false;
    w.spinner.setValue(3);
    EXPECT_EQ(w.state.fid, 1);
    EXPECT_TRUE(w.engine.calls.isEmpty());
}

TEST(LanguageIdSpinner, EngineFailureStopsBeforeTheDisplays)
{
    VoiceWindow w = fiveModes();
    w.start();
    {
        const QSignalBlocker quiet(w.spinner);
        w.spinner.setValue(2);
    }
    w.engine.failNext = QStringLiteral("no such mode");
    EXPECT_THROW(w.voices.LIDUpDownChange(), velmor::SpeechError);
    EXPECT_EQ(w.state.fid, 2);
    EXPECT_EQ(w.label1, QStringLiteral("Mary"));
    EXPECT_EQ(w.panel, QStringLiteral(" Female English (US)"));
}

TEST(NaokoToggle, SwitchesToTheNaokoEntrysEngineMode)
{
    VoiceWindow w = fiveModes();
    w.start();
    ASSERT_EQ(w.state.fNaokoNo, 3);
    w.voices.JapanButtonClick();
    EXPECT_EQ(w.spinner.value(), 3);
    EXPECT_EQ(w.state.fid, 3);
    EXPECT_EQ(w.state.fPrevID, 1);
    // Once through the spinner's change, once directly.
    EXPECT_EQ(selectCalls(w.engine), (QStringList{"SelectMode:4", "SelectMode:4"}));
    EXPECT_EQ(w.label1, QStringLiteral("Naoko"));
    EXPECT_EQ(w.panel, QStringLiteral(" Female Japanese"));
    EXPECT_EQ(w.japanButtonColor, 0x000080FFu);
    EXPECT_TRUE(w.joyNaokoChecked);
}

TEST(NaokoToggle, SwitchesBackToThePreviousId)
{
    VoiceWindow w = fiveModes();
    w.start();
    w.spinner.setValue(2);
    w.voices.JapanButtonClick();
    w.engine.clear();
    w.voices.JapanButtonClick();
    EXPECT_EQ(w.spinner.value(), 2);
    EXPECT_EQ(w.state.fid, 2);
    EXPECT_EQ(selectCalls(w.engine), (QStringList{"SelectMode:3", "SelectMode:3"}));
    EXPECT_EQ(w.label1, QStringLiteral("Alexander"));
    EXPECT_EQ(w.japanButtonColor, 0x00B9C1D7u);
    EXPECT_FALSE(w.joyNaokoChecked);
    EXPECT_EQ(w.state.fPrevID, 2);
}

TEST(NaokoToggle, PreviousIdOutlivesLaterChoices)
{
    VoiceWindow w = fiveModes();
    w.start();
    w.spinner.setValue(2);
    w.voices.JapanButtonClick();
    w.voices.JapanButtonClick();
    w.spinner.setValue(4);
    EXPECT_EQ(w.state.fPrevID, 2);
}

TEST(NaokoToggle, NothingWhenOnNaokoWithoutAnEarlierId)
{
    VoiceWindow w = fiveModes();
    w.state.fid = 3;
    w.start();
    w.voices.JapanButtonClick();
    EXPECT_TRUE(w.engine.calls.isEmpty());
    EXPECT_EQ(w.state.fPrevID, 0);
    EXPECT_EQ(w.japanButtonColor, velmor::kNaokoOffFontColor);
    EXPECT_TRUE(w.imeCalls.isEmpty());
}

TEST(NaokoToggle, NothingWithoutANaokoVoice)
{
    VoiceWindow w({"Mary", "Mike"}, {"Mary", "Mike"});
    w.start();
    w.voices.JapanButtonClick();
    EXPECT_TRUE(w.engine.calls.isEmpty());
    EXPECT_EQ(w.state.fPrevID, 0);
}

TEST(NaokoToggle, InputMethodOnAJapaneseKeyboard)
{
    VoiceWindow w = fiveModes();
    w.start();
    w.japaneseKeyboard = true;
    w.imeMode = velmor::kImeHalfWidthAlphanumeric;
    w.voices.JapanButtonClick();
    EXPECT_TRUE(w.state.fImeHanEisu);
    EXPECT_EQ(w.imeCalls, QStringList{"open:25"});
    w.voices.JapanButtonClick();
    EXPECT_FALSE(w.state.fImeHanEisu);
    EXPECT_EQ(w.imeCalls, (QStringList{"open:25", "open:16"}));
}

TEST(NaokoToggle, InputMethodClosedOnTheWayBackUnlessItWasAlphanumeric)
{
    VoiceWindow w = fiveModes();
    w.start();
    w.imeMode = 9;
    w.voices.JapanButtonClick();
    EXPECT_FALSE(w.state.fImeHanEisu);
    EXPECT_TRUE(w.imeCalls.isEmpty());
    w.voices.JapanButtonClick();
    EXPECT_EQ(w.imeCalls, QStringList{"close"});
}

TEST(NaokoToggle, WorksWithoutInputMethodHooks)
{
    VoiceWindow w = fiveModes();
    w.start();
    velmor::VoiceSelection bare(w.state, &w.engine,
                                {.spinnerValue = [&w] { return w.spinner.value(); },
                                 .setSpinnerValue = [&w](int value) { w.spinner.setValue(value); },
                                 .setSpinnerRange = [](int, int) {},
                                 .showSpeaker = [](const QString&) {},
                                 .showModeName = [](const QString&, const QString&) {},
                                 .setSpeed = [] {},
                                 .writeListing = [](const std::vector<velmor::ListingEntry>&) {},
                                 .showNaoko = [](std::uint32_t, bool) {}});
    bare.JapanButtonClick();
    EXPECT_EQ(w.state.fid, 3);
    EXPECT_FALSE(w.state.fImeHanEisu);
    bare.JapanButtonClick();
    EXPECT_EQ(w.state.fid, 1);
}

TEST(LangIdInfo, RebuildsAndListsEveryTime)
{
    VoiceWindow w = fiveModes();
    w.start();
    w.engine.modeNames = QStringList{"Mary", "Female Japanese"};
    w.engine.speakers = QStringList{"Mary", "Naoko"};
    w.voices.FLID();
    EXPECT_EQ(w.state.fModeCount, 2);
    EXPECT_EQ(w.state.fIDCount, 2);
    EXPECT_EQ(w.state.fModeNameList, (QStringList{"Mary", "Female Japanese"}));
    EXPECT_EQ(w.state.fNaokoNo, 2);
    EXPECT_EQ(w.spinner.maximum(), 2);
    ASSERT_EQ(w.listings.size(), 1u);
    EXPECT_EQ(w.listings.at(0).at(1).idLine.text, QStringLiteral("ID2  Naoko,"));
}

TEST(LangIdInfo, ShrinkingListMovesTheIdToOne)
{
    VoiceWindow w = fiveModes();
    w.start();
    w.spinner.setValue(4);
    w.engine.modeNames = QStringList{"Mike", "Male German"};
    w.engine.speakers = QStringList{"Mike", "Stefan"};
    w.engine.clear();
    w.voices.FLID();
    EXPECT_EQ(w.state.fid, 1);
    EXPECT_EQ(w.spinner.value(), 1);
    EXPECT_EQ(w.label1, QStringLiteral("Mike"));
    EXPECT_EQ(w.hint, QStringLiteral("Mike"));
    // Naoko is gone from the engine, but the toggle still remembers its ID.
    EXPECT_EQ(w.state.fNaokoNo, 3);
}

TEST(LangIdInfo, EngineWithoutModesTurnsSpeechOff)
{
    VoiceWindow w = fiveModes();
    w.start();
    w.engine.modeNames.clear();
    w.engine.speakers.clear();
    w.voices.FLID();
    EXPECT_FALSE(w.state.fEngineOK);
    EXPECT_EQ(w.state.fModeCount, 0);
    EXPECT_EQ(w.state.fIDCount, 4);
    EXPECT_EQ(w.state.fSpeakerList.size(), 4);
    EXPECT_TRUE(w.listings.empty());
}

TEST(LangIdInfo, EngineBackAfterLosingItsModes)
{
    VoiceWindow w({}, {});
    w.start();
    ASSERT_FALSE(w.state.fEngineOK);
    w.engine.modeNames = QStringList{"Mary"};
    w.engine.speakers = QStringList{"Mary"};
    w.voices.FLID();
    EXPECT_TRUE(w.state.fEngineOK);
    EXPECT_EQ(w.label1, QStringLiteral("Mary"));
}

TEST(VoiceDisplayOf, OutOfRangeIdsHaveNone)
{
    VoiceWindow w = fiveModes();
    w.start();
    EXPECT_FALSE(velmor::voiceDisplay(w.state, 0).has_value());
    EXPECT_FALSE(velmor::voiceDisplay(w.state, 5).has_value());
    const auto last = velmor::voiceDisplay(w.state, 4);
    ASSERT_TRUE(last.has_value());
    EXPECT_EQ(last->engineMode, 5);
    EXPECT_EQ(last->speaker, QStringLiteral("Shin-Ah"));
}
