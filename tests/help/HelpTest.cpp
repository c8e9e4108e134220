#include "FormFixture.h"
#include "QtPrinters.h"

#include "core/SpeakingState.h"
#include "help/KeyNameText.h"
#include "help/TForm2.h"
#include "widgets/FlatButton.h"
#include "widgets/InfoLine.h"
#include "widgets/LozengeCheckBox.h"
#include "widgets/TRichEdit98.h"
#include "widgets/UPanel.h"
#include "widgets/UpDownEdit.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QScrollBar>
#include <QSlider>
#include <QSplitter>
#include <QStatusTipEvent>
#include <QTest>
#include <gtest/gtest.h>

using velmor::TForm2;

namespace {

const QStringList kKeyNameSpeech{
    "Shortcut key name information   ",
    "Velmor   Control plus P   ",
    "Band Line speech   Control plus B   ",
    "SelText speech    Control plus T   ",
    "Pause and Resume   Control plus E   ",
    "Reset    Control plus R   ",
    "Speech Clipboards Memory  Control plus M   ",
    "New or Clear    Control plus N   ",
    "Open    Control plus O   ",
    "Save    Control plus S   ",
    "Save as PlainText      Ctrl plus L   ",
    "Save as UnicodeText    Control plus U   ",
    "Find Text     Control plus F   ",
    "Speech Clipboard on off    Control plus H   ",
    "Show Mouth on off    Control plus W   ",
    "Speech Information and alphabet on off    Control plus I   ",
    "toClipboard   Control plus D   ",
    "Short cut key name    Control plus K   ",
    "HotKeyCheckBox on off    Control plus Y   ",
    "Joyful writing    Control plus J   ",
    "Marking on off   Alt plus M   ",
    "ID Naoko on off    Alt plus N   ",
    "dic start   Alt plus D   ",
    "dic start2   Alt plus I   ",
    "Tab order fourteen counts   ",
    "Text Edit Box   ",
    "Speed bar   ",
    "Speech Clipboard on off   ",
    "Language ID information   ",
    "Show Mouth on off   ",
    "Speech information and alphabet on off   ",
    "DoubleClick word toClipboard on off  ",
    "Repetition Number 1-100count  ",
    "HotKeyCheckBox on off   ",
    "Joyful writing   on off   ",
    "Marking on off  ",
    "Main Volume Control   ",
    "blank",
    "blank",
};

TForm2* keyNameWindow()
{
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (auto* form2 = qobject_cast<TForm2*>(window))
            return form2;
    }
    return nullptr;
}

// The window deletes itself once control is back in the event loop.
bool closedAndGone(QPointer<TForm2> window)
{
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return window.isNull() && keyNameWindow() == nullptr;
}

QStringList spokenAndReset(FakeSpeechEngine& engine)
{
    return engine.callsOf({QStringLiteral("SpeakText"), QStringLiteral("ResetAudio")});
}

} // namespace

TEST(KeyNameText, ThirtyLinesJoinedByCarriageReturnsWithAlignedKeys)
{
    const QString text = velmor::keyNameText();
    EXPECT_FALSE(text.contains(QLatin1Char('\n')));
    EXPECT_FALSE(text.endsWith(QLatin1Char('\r')));
    const QStringList lines = text.split(QLatin1Char('\r'));
    ASSERT_EQ(lines.size(), 30);
    EXPECT_EQ(lines[0], QStringLiteral("  <Shortcut key name-information>"));
    for (int row = 1; row <= 23; ++row)
        EXPECT_EQ(lines[row].size(), 26) << row;
    EXPECT_EQ(lines[1], QStringLiteral("Velmor              Ctrl+P"));
    EXPECT_EQ(lines[6], QStringLiteral("Clipboard's Memory  Ctrl+M"));
    EXPECT_EQ(lines[11], QStringLiteral("Save as UnicodeText Ctrl+U"));
    EXPECT_EQ(lines[18], QStringLiteral("HotKey-CheckBox     Ctrl+Y"));
    EXPECT_EQ(lines[20], QStringLiteral("Marking              Alt+M"));
    EXPECT_EQ(lines[23], QStringLiteral("dic start2           Alt+I"));
    EXPECT_EQ(lines[24], QStringLiteral("  <Tab-order fourteen counts>"));
    EXPECT_EQ(lines.mid(25), (QStringList{"Edit Box, Speed bar, Speech Clipboard, ", "Lang ID-info, Show Mouth, ",
                                          "Speech-info, toClipboard, Repetition-",
                                          "Number, HotKeyCheckBox, Joyful writing,",
                                          "Marking, Volume Control, blank, blank"}));
}

TEST(KeyNameWindow, OpensOnceReadsTheListAndStopsTheReadingWhenClosed)
{
    FormFixture f;
    f.form->speakingState().start(velmor::SpeechKind::WholeText);
    f.form->PauseButtonClick();
    ASSERT_EQ(f.ui.control<velmor::FlatButton>("PauseButton").text(), QStringLiteral("Resume"));
    f.engine->clear();
    QTest::keyClick(f.form.get(), Qt::Key_K, Qt::ControlModifier);

    QPointer<TForm2> window = keyNameWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(QTest::qWaitForWindowActive(window.data()));
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Key name information"));
    EXPECT_TRUE(window->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(window->HelpLabel->text(), velmor::keyNameText());
    EXPECT_EQ(window->HelpLabel->geometry(), QRect(9, 6, 361, 523));
    EXPECT_EQ(window->CloseButton->text(), QStringLiteral("Close"));
    EXPECT_EQ(f.engine->spoken, kKeyNameSpeech);
    EXPECT_EQ(f.engine->calls.first(), QStringLiteral("ResetAudio"));
    EXPECT_EQ(f.form->speakingState().fSpeechKind(), velmor::SpeechKind::None);
    EXPECT_FALSE(f.form->speakingState().fPaused());
    EXPECT_EQ(f.ui.control<velmor::FlatButton>("PauseButton").text(), QStringLiteral("Pause"));

    // Again from the main window: the same window stays, silent, and a repetition is cancelled.
    f.engine->clear();
    f.form->speakingState().start(velmor::SpeechKind::CaretLine);
    f.form->speakingState().nextRepetition(3);
    f.form->speakingState().nextRepetition(3);
    QApplication::setActiveWindow(f.form.get());
    QTest::keyClick(f.form.get(), Qt::Key_K, Qt::ControlModifier);
    EXPECT_EQ(keyNameWindow(), window.data());
    EXPECT_TRUE(f.engine->calls.isEmpty());
    EXPECT_EQ(f.form->speakingState().fSpeechKind(), velmor::SpeechKind::None);
    EXPECT_EQ(f.form->speakingState().fRepCount(), 1);

    // Ctrl+K in the key-name window closes it and silences the reading at once.
    f.form->speakingState().start(velmor::SpeechKind::Selection);
    f.form->speakingState().nextRepetition(4);
    f.form->speakingState().pause();
    QApplication::setActiveWindow(window.data());
    QTest::keyClick(window.data(), Qt::Key_K, Qt::ControlModifier);
    EXPECT_TRUE(closedAndGone(window));
    EXPECT_EQ(f.engine->calls, QStringList{"ResetAudio"});
    EXPECT_FALSE(f.form->speakingState().fPaused());
    EXPECT_EQ(f.form->speakingState().fRepCount(), 1);
}

TEST(KeyNameWindow, ClosesOnEnterSpaceAClickOrItsButtonAndNotOnOtherKeys)
{
    FormFixture f;
    f.ui.control<velmor::LozengeCheckBox>("SICheckBox").setChecked(false);
    const std::function<void(TForm2&)> closers[] = {
        [](TForm2& w) { QTest::keyClick(&w, Qt::Key_Return); },
        [](TForm2& w) { QTest::keyClick(&w, Qt::Key_Space); },
        [](TForm2& w) { QTest::mouseClick(w.HelpLabel, Qt::LeftButton); },
        [](TForm2& w) { QTest::mouseClick(&w, Qt::LeftButton, {}, QPoint(5, 560)); },
        [](TForm2& w) { w.CloseButton->click(); },
    };
    for (const auto& close : closers) {
        f.ui.click("HelpButton");
        QPointer<TForm2> window = keyNameWindow();
        ASSERT_NE(window, nullptr);
        QTest::keyClick(window.data(), Qt::Key_A);
        QTest::keyClick(window.data(), Qt::Key_Escape);
        ASSERT_TRUE(window->isVisible());
        close(*window);
        EXPECT_TRUE(closedAndGone(window));
    }
}

TEST(KeyNameWindow, SilentWithSpeechInfoOffAndAbsentWithoutAnEngine)
{
    FormFixture f;
    f.ui.control<velmor::LozengeCheckBox>("SICheckBox").setChecked(false);
    f.form->speakingState().start(velmor::SpeechKind::WholeText);
    f.form->speakingState().nextRepetition(2);
    f.engine->clear();
    f.ui.click("HelpButton");
    ASSERT_NE(keyNameWindow(), nullptr);
    EXPECT_TRUE(f.engine->calls.isEmpty());
    EXPECT_EQ(f.form->speakingState().fSpeechKind(), velmor::SpeechKind::WholeText);
    EXPECT_EQ(f.form->speakingState().fRepCount(), 2);

    QPointer<TForm2> window = keyNameWindow();
    window->close();
    ASSERT_TRUE(closedAndGone(window));

    FormFixture none(0);
    none.ui.click("HelpButton");
    EXPECT_EQ(keyNameWindow(), nullptr);
}

TEST(KeyNameWindow, GoesWithTheMainWindow)
{
    QPointer<TForm2> window;
    {
        FormFixture f;
        f.ui.click("HelpButton");
        window = keyNameWindow();
        ASSERT_NE(window, nullptr);
        EXPECT_FALSE(window->testAttribute(Qt::WA_QuitOnClose));
    }
    EXPECT_TRUE(window.isNull());
}

TEST(SpokenHelp, EachItemSaysItsControlAndMovesTheFocus)
{
    FormFixture f(0, true, {}, [](FakeSpeechEngine& engine) {
        engine.modeNames = {"Female English (US)", "Male English (US)"};
        engine.speakers = {"Mary", "Mike"};
    });
    QWidget* focus = nullptr;
    auto item = [&](ActionId id) {
        f.ui.textBox().setFocus();
        f.engine->clear();
        f.trigger(id);
        focus = QApplication::focusWidget();
        return spokenAndReset(*f.engine);
    };
    const QString reset = QStringLiteral("ResetAudio");
    auto said = [&](const QStringList& texts) {
        QStringList calls{reset};
        for (const QString& text : texts)
            calls << QStringLiteral("SpeakText:") + text;
        return calls;
    };

    f.setText(QStringLiteral("first\nsecond line"));
    f.ui.textBox().setSelection(9, 0);
    f.ui.control<QScrollBar>("ScrollBar1").setFocus();
    f.engine->clear();
    f.trigger(ActionId::TextEdit1);
    EXPECT_EQ(spokenAndReset(*f.engine), said({"Text Edit Box", "Line number1", "Column number  3"}));
    EXPECT_EQ(QApplication::focusWidget(), &f.ui.textBox());

    f.ui.control<QScrollBar>("ScrollBar1").setValue(160);
    EXPECT_EQ(item(ActionId::Speedbar1), said({"Speed bar", "Position  160", "Set Right or Left key "}));
    EXPECT_EQ(focus, &f.ui.control<QScrollBar>("ScrollBar1"));

    EXPECT_EQ(item(ActionId::Clipboard1), said({"Speech Clipboard on   ", "Control plus H, on off   "}));
    EXPECT_EQ(focus, &f.ui.textBox());
    f.ui.control<velmor::LozengeCheckBox>("ClipSpeechCheckBox").setChecked(false);
    EXPECT_EQ(item(ActionId::Clipboard1), said({"Speech Clipboard off   ", "Control plus H, on off   "}));

    f.ui.control<velmor::UpDownEdit>("LIDUpDown").setValue(2);
    EXPECT_EQ(item(ActionId::Lang1), said({"Language ID   2", "Mike", "Male English (US)"}));
    EXPECT_EQ(focus, &f.ui.control<velmor::UpDownEdit>("LIDUpDown"));

    EXPECT_EQ(item(ActionId::MouthShow1), said({"Show Mouth on    ", "Control plus W, on off   "}));
    f.ui.click("ShowCheckBox");
    EXPECT_EQ(item(ActionId::MouthShow1), said({"Show Mouth off   ", "Control plus W, on off   "}));

    EXPECT_EQ(item(ActionId::SpeechInformation1),
              said({"speech information and alphabet on    ", "Control plus I, on off   "}));
    f.ui.control<velmor::LozengeCheckBox>("SICheckBox").setChecked(false);
    EXPECT_EQ(item(ActionId::SpeechInformation1),
              said({"speech information and alphabet off   ", "Control plus I, on off   "}));

    f.ui.control<velmor::LozengeCheckBox>("SCLCheckBox").setChecked(true);
    EXPECT_EQ(item(ActionId::toClipboard1), said({"DoubleClick word toClipboard on    ", "Control plus D, on off   "}));
    f.ui.control<velmor::LozengeCheckBox>("SCLCheckBox").setChecked(false);
    EXPECT_EQ(item(ActionId::toClipboard1), said({"DoubleClick word toClipboard off   ", "Control plus D, on off   "}));

    f.ui.control<velmor::UpDownEdit>("RepUpDown").setValue(12);
    EXPECT_EQ(item(ActionId::Repetition1), said({"Repetition number   12"}));
    EXPECT_EQ(focus, &f.ui.control<velmor::UpDownEdit>("RepUpDown"));

    const QString resetKey = QStringLiteral("\"Reset_Button\" HotKey  Control plus Alt plus R");
    EXPECT_EQ(item(ActionId::HotKeyCheckBox1), said({resetKey, "Check on    ", "Control plus Y, on off   "}));
    f.ui.click("HotKeyCheckBox");
    EXPECT_EQ(item(ActionId::HotKeyCheckBox1), said({resetKey, "Check off   ", "Control plus Y, on off   "}));

    const QString joyful = QStringLiteral("Joyful weriting  Control plus J");
    f.ui.control<velmor::LozengeCheckBox>("WordReadCheckBox").setChecked(true);
    EXPECT_EQ(item(ActionId::Joyfulwriting1), said({joyful, "Check on    ", "Control plus J, on off   "}));
    f.ui.control<velmor::LozengeCheckBox>("WordReadCheckBox").setChecked(false);
    EXPECT_EQ(item(ActionId::Joyfulwriting1), said({joyful, "Check off   ", "Control plus J, on off   "}));

    f.ui.state().fMarkCheck = true;
    EXPECT_EQ(item(ActionId::Marking2), said({"Marking on    ", "Alt plus M, on off   "}));
    f.ui.state().fMarkCheck = false;
    EXPECT_EQ(item(ActionId::Marking2), said({"Marking off   ", "Alt plus M, on off   "}));

    f.ui.control<QSlider>("VTrackBar1").setValue(65535);
    EXPECT_EQ(item(ActionId::VolumeControl2), said({"Volume Control", "Position  100", "Right or Left key "}));
    EXPECT_EQ(focus, &f.ui.control<QSlider>("VTrackBar1"));
    f.ui.control<QSlider>("VTrackBar1").setValue(654);
    EXPECT_EQ(item(ActionId::VolumeControl2), said({"Volume Control", "Position  0", "Right or Left key "}));
}

TEST(SpokenHelp, SpeaksWithoutAnEngineModeAndLeavesTheSpeakingStateAlone)
{
    FormFixture f(0);
    f.form->speakingState().start(velmor::SpeechKind::CaretLine);
    f.form->speakingState().nextRepetition(3);
    f.form->speakingState().nextRepetition(3);
    f.form->speakingState().pause();
    f.engine->clear();
    f.trigger(ActionId::Lang1);
    EXPECT_EQ(spokenAndReset(*f.engine), (QStringList{"ResetAudio", "SpeakText:Language ID   1"}));
    f.trigger(ActionId::TextEdit1);
    EXPECT_EQ(f.engine->spoken.size(), 4);
    EXPECT_EQ(f.form->speakingState().fSpeechKind(), velmor::SpeechKind::CaretLine);
    EXPECT_EQ(f.form->speakingState().fRepCount(), 3);
    EXPECT_TRUE(f.form->speakingState().fPaused());
}

TEST(InformationPanel, CaptionFaceColourAndHintsDownToTheNarrowestWidePanel)
{
    FormFixture f;
    EXPECT_EQ(f.ui.control<velmor::UPanel>("UPanel1").font().family(), QStringLiteral("ＭＳ Ｐ明朝"));
    EXPECT_EQ(f.ui.control<velmor::UPanel>("UPanel1").font().pixelSize(), 15);
    EXPECT_EQ(f.ui.control<velmor::UPanel>("UPanel1").palette().color(QPalette::WindowText), QColor(0x4D, 0x73, 0xB3));
    EXPECT_EQ(f.ui.control<velmor::InfoLine>("ULabel98").viewport()->cursor().shape(), Qt::ArrowCursor);
    EXPECT_FALSE(f.ui.control<velmor::InfoLine>("ULabel98").focusPolicy() & Qt::TabFocus);

    f.ui.control<QSplitter>("Splitter1").setSizes({280, 400});
    ASSERT_EQ(f.ui.control<QWidget>("Panel1").width(), 280);
    QStatusTipEvent tip(QStringLiteral("Ctrl + K"));
    QApplication::sendEvent(f.form.get(), &tip);
    EXPECT_EQ(f.ui.panelCaption(), QStringLiteral("  Ctrl + K"));
    EXPECT_EQ(f.ui.control<velmor::UPanel>("UPanel1").accessibleName(), QStringLiteral("Ctrl + K"));
}
