#include "FormFixture.h"
#include "QtPrinters.h"

#include "speech/SilentSpeechNotice.h"
#include "widgets/UPanel.h"

#include <QTest>
#include <gtest/gtest.h>

using velmor::SilentSpeechNotice;

TEST(SilentSpeechNotice, ShowsWhileSilentAndGivesThePanelBackWhenTheSoundReturns)
{
    FormFixture f;
    const QString modeName = QStringLiteral(" Female English (US)");
    f.ui.control<velmor::UPanel>("UPanel1").setCaption(modeName);
    f.engine->setSilent(true);
    EXPECT_EQ(f.ui.panelCaption(), SilentSpeechNotice::kCaption);
    // The return is told once: the next text gives the panel back.
    f.engine->setSilent(false);
    EXPECT_EQ(f.ui.panelCaption(), SilentSpeechNotice::kBackCaption);
    f.engine->fireStarted();
    EXPECT_EQ(f.ui.panelCaption(), modeName);
    f.engine->fireStarted();
    EXPECT_EQ(f.ui.panelCaption(), modeName);

    // Lost again before anything was spoken: back to the notice, and then to the mode name.
    f.engine->setSilent(true);
    f.engine->setSilent(false);
    f.engine->setSilent(true);
    EXPECT_EQ(f.ui.panelCaption(), SilentSpeechNotice::kCaption);
    f.engine->setSilent(false);
    f.engine->fireStarted();
    EXPECT_EQ(f.ui.panelCaption(), modeName);

    // A hint may take the panel meanwhile: each text spoken silently tells it again.
    f.engine->setSilent(true);
    f.form->AppHintShow(QStringLiteral("hint"));
    f.engine->fireStarted();
    EXPECT_EQ(f.ui.panelCaption(), SilentSpeechNotice::kCaption);

    // Something else in the panel stays when the sound returns.
    f.form->AppHintShow(QStringLiteral("later"));
    f.engine->setSilent(false);
    EXPECT_EQ(f.ui.panelCaption(), QStringLiteral("  later"));
}

TEST(SilentSpeechNotice, StartingWithoutASoundDeviceSaysSoOnceTheWindowIsUp)
{
    FormFixture f(2, true, {}, [](FakeSpeechEngine& engine) { engine.setSilent(true); });
    EXPECT_TRUE(QTest::qWaitFor([&] { return f.ui.panelCaption() == SilentSpeechNotice::kCaption; }, 1000));
    f.engine->setSilent(false);
    EXPECT_NE(f.ui.panelCaption(), SilentSpeechNotice::kCaption);
}
