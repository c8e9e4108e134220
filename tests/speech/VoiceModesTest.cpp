#include "QtPrinters.h"

#include "speech/VoiceModes.h"

#include <gtest/gtest.h>

using velmor::buildVoiceModes;
using velmor::InstalledVoice;
using velmor::VoiceMode;

namespace {

TEST(VoiceModes, EachInstalledVoiceIsAModeNamedAfterIt)
{
    const auto modes = buildVoiceModes({{"gmw/en-US", QStringLiteral("English (America)")},
                                        {"jpx/ja", QStringLiteral("Japanese")}});
    ASSERT_EQ(modes.size(), 2u);
    EXPECT_EQ(modes[0].voiceName(), QByteArray("gmw/en-US"));
    EXPECT_EQ(modes[0].name, QStringLiteral("English (America)"));
    EXPECT_EQ(modes[0].speaker, QStringLiteral("English (America)"));
    EXPECT_EQ(modes[1].voiceName(), QByteArray("jpx/ja"));
    EXPECT_EQ(modes[1].name, QStringLiteral("Japanese"));
}

TEST(VoiceModes, AVariantIsAddedToTheVoiceName)
{
    const VoiceMode mode{"jpx/ja", "f3", QStringLiteral("Japanese"), QStringLiteral("f3")};
    EXPECT_EQ(mode.voiceName(), QByteArray("jpx/ja+f3"));
}

} // namespace
