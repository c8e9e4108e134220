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
    f.form->UPanel1->setCaption(modeName);
    f.engine->setSilent(true);
    EXPECT_EQ(f.form->UPanel1->caption(), SilentSpeechNotice::kCaption);
    // The return is told once: the next text gives the panel back.
    f.engine->setSilent(false);
    EXPECT_EQ(f.form->UPanel1->caption(), SilentSpeechNotice::kBackCaption);
    f.engine->fireStarted();
    EXPECT_EQ(f.form->UPanel1->caption(), modeName);
    f.engine->fireStarted();
    EXPECT_EQ(f.form->UPanel1->caption(), modeName);

    // Lost again before anything was spoken: back to the notice, and then to the mode name.
    f.engine->setSilent(true);
    f.engine->setSilent(false);
    f.engine->setSilent(true);
    EXPECT_EQ(f.form->UPanel1->caption(), SilentSpeechNotice::kCaption);
    f.engine->setSilent(false);
    f.engine->fireStarted();
    EXPECT_EQ(f.form->UPanel1->caption(), modeName);

    // A hint may take the panel meanwhile: each text spoken silently tells it again.
    f.engine->setSilent(true);
    f.form->AppHintShow(QStringLiteral("hint"));
    f.engine->fireStarted();
    EXPECT_EQ(f.form->UPanel1->caption(), SilentSpeechNotice::kCaption);

    // Something else in the panel stays when the sound returns.
    f.form->AppHintShow(QStringLiteral("later"));
    f.engine->setSilent(false);
    EXPECT_EQ(f.form->UPanel1->caption(), QStringLiteral("  later"));
}

TEST(SilentSpeechNotice, StartingWithoutASoundDeviceSaysSoOnceTheWindowIsUp)
{
    FormFixture f(2, true, {}, [](FakeSpeechEngine& engine) { engine.setSilent(true); });
    EXPECT_TRUE(QTest::qWaitFor([&] { return f.form->UPanel1->caption() == SilentSpeechNotice::kCaption; }, 1000));
    f.engine->setSilent(false);
    EXPECT_NE(f.form->UPanel1->caption(), SilentSpeechNotice::kCaption);
}
