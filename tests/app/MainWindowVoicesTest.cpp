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

QAction* action(FormFixture& f, const char* name) { return f.form->findChild<QAction*>(QString::fromLatin1(name)); }

} // namespace

class MainWindowVoices : public ::testing::Test {
protected:
    void SetUp() override { f = std::make_unique<FormFixture>(0, true, QString(), nameModes); fake = f->engine; }
    std::unique_ptr<FormFixture> f;
    FakeSpeechEngine* fake = nullptr;
};

TEST_F(MainWindowVoices, FirstStartListsTheUsableModesAndShowsTheFirst)
{
    velmor::TForm1& form = *f->form;
    EXPECT_EQ(form.state().fIDCount, 4);
    EXPECT_EQ(form.LIDUpDown->maximum(), 4);
    EXPECT_EQ(form.Label1->text(), QStringLiteral("Mary"));
    EXPECT_EQ(form.UPanel1->caption(), QStringLiteral(" Female English (US)"));
    const QString listing = form.RichEdit98->toPlainText();
    EXPECT_TRUE(listing.startsWith(QStringLiteral("ID1  Mary,\n  Female English (US).\nID2  Mike,")));
    EXPECT_TRUE(listing.contains(QStringLiteral("ID4  V\u00E9ronique,")));
    EXPECT_FALSE(listing.contains(QStringLiteral("R2")));
    EXPECT_EQ(form.RichEdit98->selStart(), 0);
    EXPECT_EQ(form.Label4->text(), QStringLiteral("150"));
}

TEST_F(MainWindowVoices, SpinnerSelectsTheEngineModeAndSpeedOffset)
{
    velmor::TForm1& form = *f->form;
    fake->clear();
    form.LIDUpDown->setValue(4);
    EXPECT_TRUE(fake->calls.contains(QStringLiteral("SelectMode:5")));
    EXPECT_EQ(form.Label1->text(), QStringLiteral("V\u00E9ronique"));
    EXPECT_EQ(form.state().fid, 4);
    EXPECT_EQ(form.Label4->text(), QStringLiteral("140"));
    EXPECT_EQ(fake->speed, 140);
}

TEST_F(MainWindowVoices, NaokoButtonSwitchesOnAndBack)
{
    velmor::TForm1& form = *f->form;
    form.LIDUpDown->setValue(2);
    fake->clear();
    form.JapanButton->click();
    EXPECT_EQ(form.LIDUpDown->value(), 3);
    EXPECT_TRUE(fake->calls.contains(QStringLiteral("SelectMode:4")));
    EXPECT_EQ(form.Label1->text(), QStringLiteral("Naoko"));
    EXPECT_TRUE(action(*f, "JoyNaoko1")->isChecked());
    EXPECT_EQ(form.state().fPrevID, 2);
    form.JapanButton->click();
    EXPECT_EQ(form.LIDUpDown->value(), 2);
    EXPECT_EQ(form.Label1->text(), QStringLiteral("Mike"));
    EXPECT_FALSE(action(*f, "JoyNaoko1")->isChecked());
}

TEST_F(MainWindowVoices, ListingKeepsUnsavedEditsUnsaved)
{
    velmor::TForm1& form = *f->form;
    form.RichEdit98->setPlainText(QStringLiteral("my notes"));
    form.RichEdit98->setModified(true);
    form.LIDButton->click();
    EXPECT_TRUE(form.RichEdit98->toPlainText().startsWith(QStringLiteral("my notes\nID1  Mary,")));
    EXPECT_TRUE(form.RichEdit98->isModified());
    form.RichEdit98->setModified(false);
    form.LIDButton->click();
    EXPECT_TRUE(form.RichEdit98->isModified()); // the last entry is a "V" speaker
}

TEST_F(MainWindowVoices, SpeedBarAndDefaultSpeed)
{
    velmor::TForm1& form = *f->form;
    form.ScrollBar1->setValue(170);
    EXPECT_EQ(form.state().FSpd, 170);
    EXPECT_EQ(fake->speed, 170);
    form.DSpeedButton->click();
    EXPECT_EQ(form.ScrollBar1->value(), 150);
    EXPECT_EQ(fake->speed, 150);
}

TEST_F(MainWindowVoices, MouthCheckBoxAndMenuItemMoveTogether)
{
    velmor::TForm1& form = *f->form;
    form.ShowCheckBox->click();
    EXPECT_FALSE(form.DirectSS1->isVisible());
    EXPECT_FALSE(action(*f, "Show1")->isChecked());
    action(*f, "Show1")->trigger();
    EXPECT_TRUE(form.DirectSS1->isVisible());
    EXPECT_TRUE(form.ShowCheckBox->isChecked());

    form.SICheckBox->click();
    EXPECT_FALSE(action(*f, "SpeechHelp1")->isChecked());
    action(*f, "SpeechHelp1")->trigger();
    EXPECT_TRUE(form.SICheckBox->isChecked());
}
