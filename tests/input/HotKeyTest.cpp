#include "FormFixture.h"
#include "QtPrinters.h"

#include "core/SpeakingState.h"
#include "input/HotKeyCodes.h"
#include "input/HotKeySwitch.h"
#include "input/THookHotKey.h"
#include "widgets/FlatButton.h"
#include "widgets/LozengeCheckBox.h"
#include "widgets/TRichEdit98.h"
#include "widgets/UPanel.h"
#include "widgets/UpDownEdit.h"

#include <QAction>
#include <QKeySequenceEdit>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace velmor;

namespace {

QAction* menuItem(FormFixture& f) { return &f.ui.action(ActionId::HotKeyCheck); }

const QString kGrabResetKey = QStringLiteral("grab:1:82:3"); // 'R', Alt|Ctrl

} // namespace

TEST(HotKeyCodes, CtrlAltRIsTheShortcutValueAndItsX11Grab)
{
    const int value = shortcutValue(QKeyCombination(Qt::ControlModifier | Qt::AltModifier, Qt::Key_R));
    EXPECT_EQ(value, 49234);
    EXPECT_EQ(shortcutValue(QKeyCombination(Qt::ShiftModifier, Qt::Key_F2)), 0x2000 + 0x71);
    EXPECT_EQ(shortcutValue(QKeyCombination(Qt::ControlModifier, Qt::Key_Escape)), 0);

    const HotKeyParts parts = splitShortcut(value);
    EXPECT_EQ(parts.keyCode, 0x52);
    EXPECT_EQ(parts.modifiers, kHotKeyAlt | kHotKeyCtrl);
    EXPECT_EQ(splitShortcut(0x2000 + 0x41).modifiers, kHotKeyShift);

    EXPECT_TRUE(isAcceptableHotKey(value));
    EXPECT_FALSE(isAcceptableHotKey(0x52));
    EXPECT_FALSE(isAcceptableHotKey(0x2000 + 0x52));
    EXPECT_TRUE(isAcceptableHotKey(0x8000 + 0x2000 + 0x52));

    EXPECT_EQ(keysymOfVirtualKey(0x52), 0x72u); // XK_r
    EXPECT_EQ(keysymOfVirtualKey('7'), 0x37u);
    EXPECT_EQ(keysymOfVirtualKey(0x70), 0xFFBEu); // XK_F1
    EXPECT_EQ(keysymOfVirtualKey(0x0D), 0u);
    EXPECT_EQ(x11ModifierMask(parts.modifiers), 4 | 8);         // Control | Mod1
    EXPECT_EQ(x11ModifierMask(kHotKeyShift | kHotKeyCtrl), 1 | 4); // Shift | Control

    // Keycodes 8, 9, 10 with two symbols each: "r" sits on keycode 10, its capital in the
    // second column of keycode 9.
    const KeyboardMapping mapping{8, 2, {0x61, 0x41, 0x62, 0x52, 0x72, 0x52}};
    EXPECT_EQ(keycodeOf(0x72, mapping), std::optional<std::uint8_t>(10));
    EXPECT_EQ(keycodeOf(0x52, mapping), std::optional<std::uint8_t>(9));
    EXPECT_EQ(keycodeOf(0x7A, mapping), std::nullopt);
    EXPECT_EQ(keycodeOf(0, mapping), std::nullopt);

    EXPECT_EQ(lockVariants(16), (std::vector<std::uint16_t>{0, 2, 16, 18})); // Mod2 is Num Lock
    EXPECT_EQ(lockVariants(0), (std::vector<std::uint16_t>{0, 2}));
}

TEST(HotKeySwitch, RegistersAtStartAndFollowsTheCheckBoxAndCtrlY)
{
    FormFixture f;
    EXPECT_EQ(f.ui.control<QKeySequenceEdit>("HotKey1").keySequence(), QKeySequence(QStringLiteral("Ctrl+Alt+R")));
    EXPECT_FALSE(f.ui.control<QKeySequenceEdit>("HotKey1").isVisible());
    EXPECT_EQ(f.ui.control("HotKeyCheckBox").toolTip(), QStringLiteral("\"Reset\" HotKey on/off  Ctrl + Alt + R"));
    EXPECT_EQ(f.shortcuts->calls, QStringList{kGrabResetKey});
    EXPECT_TRUE(menuItem(f)->isChecked());
    EXPECT_EQ(menuItem(f)->shortcut(), QKeySequence(QStringLiteral("Ctrl+Y")));

    f.shortcuts->calls.clear();
    f.ui.click("HotKeyCheckBox");
    EXPECT_FALSE(menuItem(f)->isChecked());
    f.ui.click("HotKeyCheckBox");
    EXPECT_TRUE(menuItem(f)->isChecked());
    EXPECT_EQ(f.shortcuts->calls, (QStringList{"release:1", kGrabResetKey}));

    f.shortcuts->calls.clear();
    QTest::keyClick(f.form.get(), Qt::Key_Y, Qt::ControlModifier);
    EXPECT_FALSE(f.ui.control<LozengeCheckBox>("HotKeyCheckBox").isChecked());
    EXPECT_FALSE(menuItem(f)->isChecked());
    f.trigger(ActionId::HotKeyCheck);
    EXPECT_TRUE(f.ui.control<LozengeCheckBox>("HotKeyCheckBox").isChecked());
    EXPECT_TRUE(menuItem(f)->isChecked());
    EXPECT_EQ(f.shortcuts->calls, (QStringList{"release:1", kGrabResetKey}));
}

TEST(HotKeySwitch, PressBringsTheWindowForwardAndResetsPausedSpeech)
{
    FormFixture f;
    f.setText(QStringLiteral("Some words to read."));
    f.ui.click("SpeechButton");
    f.ui.control<UpDownEdit>("RepUpDown").setValue(3);
    f.ui.click("PauseButton");
    f.ui.timer().start();
    f.engine->clear();

    f.shortcuts->press(1);
    EXPECT_EQ(f.shortcuts->broughtForward, QList<QWidget*>{f.form.get()});
    EXPECT_EQ(f.engine->calls, QStringList{"ResetAudio"});
    EXPECT_FALSE(f.form->speakingState().fPaused());
    EXPECT_EQ(f.ui.control<velmor::FlatButton>("PauseButton").text(), QStringLiteral("Pause"));
    EXPECT_EQ(f.form->speakingState().fSpeechKind(), velmor::SpeechKind::None);
    EXPECT_EQ(f.form->speakingState().fRepCount(), 1);
    EXPECT_FALSE(f.ui.control<QTimer>("Timer1").isActive());

    // Other identifiers only bring the window forward; without activation nothing comes forward.
    f.engine->clear();
    f.shortcuts->press(2);
    EXPECT_TRUE(f.engine->calls.isEmpty());
    f.ui.control<THookHotKey>("HookHotKey1").Activate = false;
    f.shortcuts->press(1);
    EXPECT_EQ(f.shortcuts->broughtForward.size(), 2);
    EXPECT_EQ(f.engine->calls, QStringList{"ResetAudio"});
}

TEST(HotKeySwitch, WithoutAnEngineThePressOnlyBringsTheWindowForward)
{
    FormFixture f(0);
    f.engine->clear();
    f.shortcuts->press(1);
    EXPECT_EQ(f.shortcuts->broughtForward.size(), 1);
    EXPECT_TRUE(f.engine->callsOf({"ResetAudio"}).isEmpty());
}

TEST(HotKeySwitch, KeyHeldByAnotherProgramIsSaidOnceWhileTheSwitchStaysOn)
{
    FormFixture f;
    f.shortcuts->answer = ShortcutOutcome::HeldByOther;
    f.ui.click("HotKeyCheckBox");
    f.ui.click("HotKeyCheckBox");
    EXPECT_TRUE(f.ui.control<LozengeCheckBox>("HotKeyCheckBox").isChecked());
    EXPECT_TRUE(menuItem(f)->isChecked());
    EXPECT_EQ(f.ui.panelCaption(), HotKeySwitch::kHeldByOtherCaption);

    f.ui.control<UPanel>("UPanel1").setCaption(QStringLiteral(" other"));
    f.trigger(ActionId::HotKeyCheck);
    f.trigger(ActionId::HotKeyCheck);
    EXPECT_EQ(f.ui.panelCaption(), QStringLiteral(" other"));

    // A desktop without the service is not reported as a program holding the key.
    FormFixture g;
    g.shortcuts->answer = ShortcutOutcome::Unavailable;
    g.ui.control<UPanel>("UPanel1").setCaption(QStringLiteral(" mode"));
    g.trigger(ActionId::HotKeyCheck);
    g.trigger(ActionId::HotKeyCheck);
    EXPECT_EQ(g.ui.panelCaption(), QStringLiteral(" mode"));
}

TEST(HotKeySwitch, KeyTheDesktopDidNotGrantIsSaidWhileTheSwitchStaysOn)
{
    FormFixture f;
    f.ui.control<UPanel>("UPanel1").setCaption(QStringLiteral(" mode"));
    emit f.shortcuts->refused(1);
    EXPECT_EQ(f.ui.panelCaption(), HotKeySwitch::kNotGrantedCaption);
    EXPECT_TRUE(f.ui.control<LozengeCheckBox>("HotKeyCheckBox").isChecked());

    // A late answer for a key the user has switched off since says nothing.
    f.ui.click("HotKeyCheckBox");
    f.ui.control<UPanel>("UPanel1").setCaption(QStringLiteral(" mode"));
    emit f.shortcuts->refused(1);
    EXPECT_EQ(f.ui.panelCaption(), QStringLiteral(" mode"));
}

TEST(HotKeySwitch, CloseReleasesTheKeyOnlyWhenItGoesAheadAndSavesTheSwitch)
{
    QTemporaryDir folder;
    const QString ini = folder.filePath(QStringLiteral("velmor.ini"));
    {
        FormFixture f(2, true, ini);
        f.setText(QStringLiteral("unsaved"));
        f.ui.textBox().setModified(true);
        f.shortcuts->calls.clear();
        f.answerYes = false;
        EXPECT_FALSE(f.form->close());
        EXPECT_TRUE(f.shortcuts->calls.isEmpty());
        EXPECT_EQ(f.shortcuts->held, QList<int>{1});

        f.answerYes = true;
        EXPECT_TRUE(f.form->close());
        EXPECT_EQ(f.shortcuts->calls, QStringList{"release:1"});
    }
    {
        FormFixture f(2, true, ini);
        f.trigger(ActionId::HotKeyCheck);
        f.shortcuts->calls.clear();
        EXPECT_TRUE(f.form->close());
        EXPECT_TRUE(f.shortcuts->calls.isEmpty());
    }
    FormFixture f(2, true, ini);
    EXPECT_FALSE(f.ui.control<LozengeCheckBox>("HotKeyCheckBox").isChecked());
    EXPECT_FALSE(menuItem(f)->isChecked());
    EXPECT_TRUE(f.shortcuts->calls.isEmpty());
}
