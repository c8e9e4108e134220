#include "speech/AudioOutput.h"

#include <gtest/gtest.h>

using velmor::PlaybackClock;

namespace {

// 1000 bytes per second on a clock the test moves by hand.
class PlaybackClockTest : public ::testing::Test {
protected:
    void advanceMs(qint64 ms) { now += ms * 1000; }

    qint64 now = 5'000'000;
    PlaybackClock clock{1000, [this] { return now; }};
};

TEST_F(PlaybackClockTest, PlaysQueuedBytesInRealTimeButNeverMoreThanQueued)
{
    clock.queue(500);
    EXPECT_EQ(clock.played(), 0);
    advanceMs(200);
    EXPECT_EQ(clock.played(), 200);
    clock.queue(100);
    advanceMs(300);
    EXPECT_EQ(clock.played(), 500);
    advanceMs(1000);
    EXPECT_EQ(clock.played(), 600);
    EXPECT_EQ(clock.queued(), 600);
}

TEST_F(PlaybackClockTest, AfterRunningDryPlaysNewBytesFromWhenTheyAreQueued)
{
    clock.queue(100);
    advanceMs(5000);
    clock.queue(100);
    EXPECT_EQ(clock.played(), 100);
    advanceMs(50);
    EXPECT_EQ(clock.played(), 150);
}

TEST_F(PlaybackClockTest, StandsStillWhileSuspended)
{
    clock.queue(1000);
    advanceMs(100);
    clock.suspend();
    advanceMs(5000);
    EXPECT_EQ(clock.played(), 100);
    clock.queue(100);
    EXPECT_EQ(clock.played(), 100);
    clock.resume();
    advanceMs(100);
    EXPECT_EQ(clock.played(), 200);
}

TEST_F(PlaybackClockTest, ResetForgetsEverythingAndEndsASuspension)
{
    clock.queue(1000);
    advanceMs(100);
    clock.suspend();
    clock.reset();
    EXPECT_EQ(clock.played(), 0);
    EXPECT_EQ(clock.queued(), 0);
    clock.queue(100);
    advanceMs(40);
    EXPECT_EQ(clock.played(), 40);
}

} // namespace
