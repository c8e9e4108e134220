#include "widgets/MouthView.h"

#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

using velmor::MouthView;

TEST(MouthView, OpensWithTheLevelAndClosesAfterSpeech)
{
    MouthView mouth(QStringLiteral("DirectSS1"), nullptr);
    double level = 0.0;
    mouth.followLevel([&level] { return level; });
    EXPECT_FALSE(mouth.isFollowing());
    mouth.speak();
    level = 0.05;
    QTest::qWait(100);
    EXPECT_GT(mouth.opening(), 0.3);
    level = 0.0;
    mouth.settle();
    QTest::qWait(100);
    EXPECT_EQ(mouth.opening(), 0.0);
    EXPECT_FALSE(mouth.isFollowing());
}

TEST(MouthView, OpeningStaysWithinItsRange)
{
    MouthView mouth(QStringLiteral("DirectSS1"), nullptr);
    mouth.setOpening(4.0);
    EXPECT_EQ(mouth.opening(), 1.0);
    mouth.setOpening(-1.0);
    EXPECT_EQ(mouth.opening(), 0.0);
}
