#include "FormFixture.h"
#include "QtPrinters.h"

#include "core/FormState.h"
#include "widgets/FlatButton.h"
#include "widgets/LozengeCheckBox.h"
#include "widgets/MouthView.h"
#include "widgets/TRichEdit98.h"
#include "widgets/UPanel.h"
#include "widgets/UpDownEdit.h"

#include <QAction>
#include <QLabel>
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// A fake engine whose modes look like the embedded engine's.
void nameModes(FakeSpeechEngine& engine)
{
    engine.modeNames = {"Female English (US)", "Male English (US)", "Robot voice that is far too long", "Female Japanese",
                        "Female French (FR)"};
    engine.speakers = {"Mary", "Mike", "R2", "Naoko", "Veronique"};
}


} // namespace

class MainWindowVoices : public ::testing::Test {
protected:
    void SetUp() override { f = std::make_unique<FormFixture>(0, true, QString(), nameModes); fake = f->engine; }
    std::unique_ptr<FormFixture> f;
    FakeSpeechEngine* fake = nullptr;
};

TEST_F(MainWindowVoices, FirstStartListsTheUsableModesAndShowsTheFirst)
{
    const WindowDriver& ui = f->ui;
    EXPECT_EQ(ui.state().fIDCount, 4);
    EXPECT_EQ(ui.control<velmor::UpDownEdit>("LIDUpDown").maximum(), 4);
    EXPECT_EQ(ui.control<QLabel>("Label1").text(), QStringLiteral("Mary"));
    EXPECT_EQ(ui.panelCaption(), QStringLiteral(" Female English (US)"));
    const QString listing = ui.text();
    EXPECT_TRUE(listing.startsWith(QStringLiteral("ID1  Mary,\n  Female English (US).\nID2  Mike,")));
    EXPECT_TRUE(listing.contains(QStringLiteral("ID4  V\u00E9ronique,")));
    EXPECT_FALSE(listing.contains(QStringLiteral("R2")));
    EXPECT_EQ(ui.textBox().selStart(), 0);
    EXPECT_EQ(ui.control<QLabel>("Label4").text(), QStringLiteral("150"));
}

TEST_F(MainWindowVoices, SpinnerSelectsTheEngineModeAndSpeedOffset)
{
    const WindowDriver& ui = f->ui;
    fake->clear();
    ui.control<velmor::UpDownEdit>("LIDUpDown").setValue(4);
    EXPECT_TRUE(fake->calls.contains(QStringLiteral("SelectMode:5")));
    EXPECT_EQ(ui.control<QLabel>("Label1").text(), QStringLiteral("V\u00E9ronique"));
    // A screen reader hears the voice, not only its number.
    EXPECT_TRUE(ui.control<velmor::UpDownEdit>("LIDUpDown").accessibleDescription().startsWith(QStringLiteral("4 V\u00E9ronique, ")));
    EXPECT_EQ(ui.state().fid, 4);
    EXPECT_EQ(ui.control<QLabel>("Label4").text(), QStringLiteral("140"));
    EXPECT_EQ(fake->speed, 140);
}

TEST_F(MainWindowVoices, NaokoButtonSwitchesOnAndBack)
{
    const WindowDriver& ui = f->ui;
    ui.control<velmor::UpDownEdit>("LIDUpDown").setValue(2);
    fake->clear();
    ui.click("JapanButton");
    EXPECT_EQ(ui.control<velmor::UpDownEdit>("LIDUpDown").value(), 3);
    EXPECT_TRUE(fake->calls.contains(QStringLiteral("SelectMode:4")));
    EXPECT_EQ(ui.control<QLabel>("Label1").text(), QStringLiteral("Naoko"));
    EXPECT_TRUE(f->ui.action(ActionId::JoyNaoko1).isChecked());
    EXPECT_EQ(ui.state().fPrevID, 2);
    ui.click("JapanButton");
    EXPECT_EQ(ui.control<velmor::UpDownEdit>("LIDUpDown").value(), 2);
    EXPECT_EQ(ui.control<QLabel>("Label1").text(), QStringLiteral("Mike"));
    EXPECT_FALSE(f->ui.action(ActionId::JoyNaoko1).isChecked());
}

TEST_F(MainWindowVoices, ListingKeepsUnsavedEditsUnsaved)
{
    const WindowDriver& ui = f->ui;
    ui.textBox().setPlainText(QStringLiteral("my notes"));
    ui.textBox().setModified(true);
    ui.click("LIDButton");
    EXPECT_TRUE(ui.text().startsWith(QStringLiteral("my notes\nID1  Mary,")));
    EXPECT_TRUE(ui.textBox().isModified());
    ui.textBox().setModified(false);
    ui.click("LIDButton");
    EXPECT_TRUE(ui.textBox().isModified()); // the last entry is a "V" speaker
}

TEST_F(MainWindowVoices, SpeedBarAndDefaultSpeed)
{
    const WindowDriver& ui = f->ui;
    ui.control<QScrollBar>("ScrollBar1").setValue(170);
    EXPECT_EQ(ui.state().FSpd, 170);
    EXPECT_EQ(fake->speed, 170);
    ui.click("DSpeedButton");
    EXPECT_EQ(ui.control<QScrollBar>("ScrollBar1").value(), 150);
    EXPECT_EQ(fake->speed, 150);
}

// "Wide speed range" widens the bar to the command line's speeds; a speed that fits the range
// switched to stays, one that does not moves to the nearer end and reaches the engine.
TEST_F(MainWindowVoices, WideSpeedRangeWidensTheBarAndClampsOnlyWhatDoesNotFit)
{
    const WindowDriver& ui = f->ui;
    auto& bar = ui.control<QScrollBar>("ScrollBar1");
    bar.setValue(170);
    ui.trigger(ActionId::WideSpeedRange1);
    EXPECT_EQ(std::pair(bar.minimum(), bar.maximum()), std::pair(80, 450));
    EXPECT_EQ(bar.value(), 170);
    bar.setValue(80);
    EXPECT_EQ(ui.state().FSpd, 80);
    EXPECT_EQ(fake->speed, 80);
    bar.setValue(450);
    EXPECT_EQ(fake->speed, 450);

    ui.trigger(ActionId::WideSpeedRange1);
    EXPECT_EQ(std::pair(bar.minimum(), bar.maximum()), std::pair(130, 188));
    EXPECT_EQ(bar.value(), 188);
    EXPECT_EQ(ui.state().FSpd, 188);
    EXPECT_EQ(fake->speed, 188);
    ui.trigger(ActionId::WideSpeedRange1);
    EXPECT_EQ(bar.value(), 188);
}

TEST_F(MainWindowVoices, MouthCheckBoxAndMenuItemMoveTogether)
{
    const WindowDriver& ui = f->ui;
    ui.click("ShowCheckBox");
    EXPECT_FALSE(ui.control<velmor::MouthView>("DirectSS1").isVisible());
    EXPECT_FALSE(f->ui.action(ActionId::Show1).isChecked());
    f->ui.action(ActionId::Show1).trigger();
    EXPECT_TRUE(ui.control<velmor::MouthView>("DirectSS1").isVisible());
    EXPECT_TRUE(ui.control<velmor::LozengeCheckBox>("ShowCheckBox").isChecked());

    ui.click("SICheckBox");
    EXPECT_FALSE(f->ui.action(ActionId::SpeechHelp1).isChecked());
    f->ui.action(ActionId::SpeechHelp1).trigger();
    EXPECT_TRUE(ui.control<velmor::LozengeCheckBox>("SICheckBox").isChecked());
}
