#include "FormFixture.h"
#include "QtPrinters.h"

#include "core/FormState.h"
#include "widgets/FlatButton.h"
#include "widgets/IndicatorLabel.h"
#include "widgets/InfoLine.h"
#include "widgets/LozengeCheckBox.h"
#include "widgets/MouthView.h"
#include "widgets/TRichEdit98.h"
#include "widgets/UPanel.h"
#include "widgets/UpDownEdit.h"

#include <QAbstractButton>
#include <QAction>
#include <QScrollBar>
#include <QSlider>
#include <QSplitter>
#include <QStatusTipEvent>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

struct Placed {
    const char* name;
    QRect geometry;
    const char* caption;
};

} // namespace

TEST(MainWindowRoster, ControlsSitWhereTheLayoutPutsThemWithTheirCaptions)
{
    FormFixture f;
    const Placed placed[] = {
        {"M_FileButton", {2, 7, 30, 25}, "&File"},     {"M_EditButton", {36, 7, 30, 25}, "&Edit"},
        {"M_HelpButton", {71, 7, 29, 25}, "&Help"},    {"C_MemoryButton", {106, 8, 53, 25}, "Memory"},
        {"PauseButton", {165, 8, 60, 25}, "Pause"},    {"ResetButton", {234, 9, 47, 25}, "Reset"},
        {"SpeechButton", {304, 8, 72, 25}, "Velmor"},  {"BandButton", {381, 9, 24, 25}, "B"},
        {"SelTextButton", {409, 9, 25, 25}, "ST"},     {"OpenButton", {439, 9, 41, 25}, "Open"},
        {"SaveButton", {486, 9, 38, 25}, "Save"},      {"PlainSaveButton", {542, 9, 33, 25}, "Plain"},
        {"UniSaveButton", {581, 9, 27, 25}, "Uni"},    {"NewButton", {614, 9, 31, 25}, "New"},
        {"FindButton", {651, 9, 29, 25}, "Find"},      {"JapanButton", {686, 9, 22, 25}, "&N"},
        {"DicButton", {713, 10, 25, 23}, "&dic"},      {"DicButton2", {744, 11, 25, 23}, "d&ic"},
        {"LIDButton", {188, 212, 92, 22}, "Lang ID-info"},
        {"ClipSpeechCheckBox", {20, 211, 152, 22}, " Speech Clipboard "},
        {"ShowCheckBox", {20, 277, 70, 20}, " Show"},  {"SICheckBox", {20, 373, 106, 20}, " speech-info"},
        {"DSpeedButton", {17, 310, 102, 19}, "Default Speed"},
        {"HelpButton", {135, 375, 130, 19}, "Key name-info on/off"},
        {"MarkButton", {108, 411, 40, 19}, "Mark"},    {"MarkingButton", {156, 411, 40, 19}, "Mark"},
        {"MResetButton", {208, 411, 55, 19}, "Reset"}, {"SCLCheckBox", {20, 444, 68, 20}, " toClip"},
        {"WordReadCheckBox", {97, 445, 50, 20}, "Joy"}, {"OffRepButton", {156, 445, 40, 19}, "once"},
        {"HotKeyCheckBox", {99, 278, 22, 20}, ""},
    };
    for (const Placed& p : placed) {
        auto* control = f.form->findChild<QAbstractButton*>(QString::fromLatin1(p.name));
        ASSERT_NE(control, nullptr) << p.name;
        EXPECT_EQ(control->geometry(), p.geometry) << p.name;
        EXPECT_EQ(control->text(), QString::fromUtf8(p.caption)) << p.name;
    }
    EXPECT_EQ(f.ui.control<velmor::MouthView>("DirectSS1").geometry(), QRect(24, 18, 240, 162));
    EXPECT_EQ(f.ui.control<velmor::IndicatorLabel>("IsSpeechLabel").geometry(), QRect(292, 18, 3, 8));
    EXPECT_EQ(f.ui.control<velmor::IndicatorLabel>("SaveLabel").geometry(), QRect(531, 18, 3, 8));
    EXPECT_EQ(f.ui.control<QWidget>("TopPanel").height(), 37);
    EXPECT_GE(f.ui.control<velmor::UPanel>("UPanel1").height(), 22);
}

TEST(MainWindowRoster, RangesHintsAndNonVisualComponents)
{
    FormFixture f;
    EXPECT_EQ(f.ui.control<QScrollBar>("ScrollBar1").minimum(), 130);
    EXPECT_EQ(f.ui.control<QScrollBar>("ScrollBar1").maximum(), 188);
    EXPECT_EQ(f.ui.control<QSlider>("VTrackBar1").maximum(), 65535);
    EXPECT_EQ(f.ui.control<velmor::UpDownEdit>("RepUpDown").minimum(), 1);
    EXPECT_EQ(f.ui.control<velmor::UpDownEdit>("RepUpDown").maximum(), 100);
    EXPECT_EQ(f.ui.control<velmor::FlatButton>("SpeechButton").toolTip(), QStringLiteral("Speech Ctrl + P"));
    EXPECT_EQ(f.ui.control<velmor::FlatButton>("BandButton").toolTip(), QStringLiteral("Band(Speech Line)  Ctrl + B"));
    EXPECT_EQ(f.ui.control<velmor::UpDownEdit>("RepUpDown").toolTip(), QStringLiteral("Repetition-number 1-100"));
    EXPECT_EQ(f.ui.timer().interval(), 200);
    EXPECT_TRUE(f.ui.timer().isSingleShot());
    EXPECT_FALSE(f.ui.timer().isActive());
    EXPECT_EQ(f.ui.textBox().maxLength(), 100'000'000);
    for (ActionId item : {ActionId::Speech1, ActionId::Band1, ActionId::SelText1, ActionId::Pause1, ActionId::Reset1,
                          ActionId::Exit1, ActionId::New1, ActionId::Joyful1})
        EXPECT_EQ(f.ui.action(item).objectName(), QString::fromLatin1(velmor::actionName(item))) << item;
    EXPECT_EQ(f.ui.action(ActionId::Speech1).shortcut(), QKeySequence(QStringLiteral("Ctrl+P")));
}

TEST(MainWindowCreation, StartsWithTheFirstCaptionAndEngineBounds)
{
    FormFixture f(2, false);
    EXPECT_EQ(f.ui.title(), QStringLiteral("Velmor   Line: 1      Col: 0    "));
    EXPECT_TRUE(f.ui.state().fEngineOK);
    EXPECT_EQ(f.engine->maxSpeed, 188);
    EXPECT_EQ(f.engine->minSpeed, 130);
    EXPECT_TRUE(f.engine->calls.indexOf(QStringLiteral("MaxSpeed:188")) < f.engine->calls.indexOf(QStringLiteral("MinSpeed:130")));
    EXPECT_EQ(f.ui.state().fVeronique, QStringLiteral("V\u00E9ronique"));
    EXPECT_TRUE(f.informed.isEmpty());
}

TEST(MainWindowCreation, WithoutModesSaysSoAndGoesOn)
{
    FormFixture f(0);
    EXPECT_EQ(f.informed, QStringList{QStringLiteral("Speech Engine was not found")});
    EXPECT_FALSE(f.ui.state().fEngineOK);
    EXPECT_EQ(f.engine->maxSpeed, 188);
    EXPECT_TRUE(f.form->isVisible());
}

TEST(MainWindowCaption, ShowsTheCaretLineFromOneAndColumnFromZero)
{
    FormFixture f;
    f.setText(QStringLiteral("abc\ndefgh"));
    f.ui.textBox().setSelection(7, 0);
    EXPECT_EQ(f.ui.title(), QStringLiteral("Velmor_L   Line: 2      Col: 3    "));
    EXPECT_EQ(f.ui.state().fRow, 1);
    EXPECT_EQ(f.ui.state().fCol, 3);
}

TEST(MainWindowClose, UnmodifiedTextClosesWithoutAQuestion)
{
    FormFixture f;
    f.engine->clear();
    EXPECT_TRUE(f.form->close());
    EXPECT_TRUE(f.questions.isEmpty());
    EXPECT_EQ(f.engine->calls, QStringList{"ResetAudio"});
    EXPECT_FALSE(f.ui.state().ffirst);
}

TEST(MainWindowClose, ModifiedTextAnsweredNoKeepsWindowAndText)
{
    FormFixture f;
    f.ui.type(QStringLiteral("keep me"));
    f.engine->clear();
    EXPECT_FALSE(f.form->close());
    EXPECT_TRUE(f.form->isVisible());
    EXPECT_EQ(f.ui.text(), QStringLiteral("keep me"));
    ASSERT_EQ(f.questions.size(), 1);
    EXPECT_EQ(f.questions[0], QStringLiteral("Are you sure you want to delete the text?\n内容を廃棄します。よろしいですか"));
    EXPECT_EQ(f.engine->calls,
              (QStringList{"ResetAudio", "SpeakText:Are you sure you want to delete the text? Y or N"}));
    EXPECT_TRUE(f.ui.state().ffirst);
}

TEST(MainWindowClose, QuestionIsNotSpokenWithoutSpeechInfo)
{
    FormFixture f;
    f.ui.control<velmor::LozengeCheckBox>("SICheckBox").setChecked(false);
    f.ui.type(QStringLiteral("x"));
    f.engine->clear();
    f.answerYes = true;
    EXPECT_TRUE(f.form->close());
    EXPECT_EQ(f.questions.size(), 1);
    EXPECT_EQ(f.engine->calls, QStringList{"ResetAudio"});
}

TEST(MainWindowClose, ExitCommandGoesThroughTheQuestion)
{
    FormFixture f;
    f.ui.type(QStringLiteral("x"));
    f.trigger(ActionId::Exit1);
    EXPECT_EQ(f.questions.size(), 1);
    EXPECT_TRUE(f.form->isVisible());
}

TEST(MainWindowClose, SwitchedVoiceIsNotRemembered)
{
    FormFixture f;
    f.ui.state().fid = 3;
    f.ui.state().fPrevID = 2;
    EXPECT_TRUE(f.form->close());
    EXPECT_EQ(f.ui.state().fid, 2);
}

TEST(MainWindowHints, GoToTheInformationPanelOnlyWhenTheControlPanelIsWide)
{
    FormFixture f;
    QStatusTipEvent tip(QStringLiteral("Speech Ctrl + P"));
    QApplication::sendEvent(f.form.get(), &tip);
    EXPECT_EQ(f.ui.panelCaption(), QStringLiteral("  Speech Ctrl + P"));
    QStatusTipEvent empty{QString()};
    QApplication::sendEvent(f.form.get(), &empty);
    EXPECT_EQ(f.ui.panelCaption(), QStringLiteral("  "));

    f.ui.control<QSplitter>("Splitter1").setSizes({279, 400});
    f.ui.control<velmor::UPanel>("UPanel1").setCaption(QStringLiteral(" mode"));
    QApplication::sendEvent(f.form.get(), &tip);
    EXPECT_EQ(f.ui.panelCaption(), QStringLiteral(" mode"));
}

TEST(MainWindowState, MaximiseSetsAndRestoreClearsTheFlag)
{
    FormFixture f;
    f.form->showMaximized();
    QApplication::processEvents();
    EXPECT_TRUE(f.ui.state().fMaxForm);
    f.form->showNormal();
    QApplication::processEvents();
    EXPECT_FALSE(f.ui.state().fMaxForm);
}

TEST(MainWindowShow, PutsTheSelectionBarAndFocusOnTheTextBox)
{
    FormFixture f;
    EXPECT_TRUE(f.ui.textBox().selectionBarShown());
    EXPECT_TRUE(f.ui.textBox().hasFocus());
    EXPECT_FALSE(f.ui.unsavedMark());
    EXPECT_FALSE(f.ui.speakingMark());
}

TEST(MainWindowShow, TabWalksTheControlsInTheAnnouncedOrderAndBack)
{
    FormFixture f;
    f.setText(QStringLiteral("abc"));
    const QStringList announced = {"ScrollBar1",     "ClipSpeechCheckBox", "LIDUpDown",       "ShowCheckBox",
                                   "SICheckBox",     "SCLCheckBox",        "RepUpDown",       "HotKeyCheckBox",
                                   "WordReadCheckBox", "MarkCheckButton",  "VTrackBar1",      "RichEdit98"};
    QStringList forward;
    for (qsizetype i = 0; i < announced.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QWidget* focus = QApplication::focusWidget();
        // A spin box's focus sits in its line edit.
        while (focus && focus->objectName().isEmpty())
            focus = focus->parentWidget();
        forward << (focus ? focus->objectName() : QStringLiteral("(none)"));
    }
    EXPECT_EQ(forward, announced);
    EXPECT_EQ(f.ui.textBox().wholeText(), QStringLiteral("abc"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_TRUE(f.ui.control<QSlider>("VTrackBar1").hasFocus());
}

TEST(MainWindowShow, InfoLineTakesThePanelColour)
{
    FormFixture f;
    f.ui.control<velmor::InfoLine>("ULabel98").showText(QStringLiteral("spoken"), QStringLiteral("Sans"));
    QApplication::processEvents();
    const QImage shot = f.ui.control<velmor::InfoLine>("ULabel98").grab().toImage();
    EXPECT_EQ(shot.pixelColor(shot.width() - 3, shot.height() / 2), f.ui.control<velmor::UPanel>("UPanel1").color());
}

TEST(MainWindowShow, TextBoxTakesTheBackgroundColour)
{
    FormFixture f;
    QApplication::processEvents();
    const QImage shot = f.ui.textBox().viewport()->grab().toImage();
    EXPECT_EQ(shot.pixelColor(shot.width() - 3, shot.height() - 3), QColor(0xF4, 0xF5, 0xE9));
}
