#include "app/WindowBounds.h"

#include <gtest/gtest.h>

using velmor::kDefaultWindowBounds;
using velmor::startBounds;

TEST(StartBounds, SavedBoundsOnAScreenAreKeptEvenPartly)
{
    const QList<QRect> screens{{0, 0, 1920, 1080}};
    EXPECT_EQ(startBounds({100, 50, 800, 600}, false, screens), QRect(100, 50, 800, 600));
    EXPECT_EQ(startBounds({1800, 20, 800, 600}, false, screens), QRect(1800, 20, 800, 600));
}

TEST(StartBounds, TitleBarMustBeReachable)
{
    const QList<QRect> screens{{0, 0, 1920, 1080}};
    EXPECT_EQ(startBounds({1919, 100, 800, 600}, false, screens), kDefaultWindowBounds);
    EXPECT_EQ(startBounds({1880, 100, 800, 600}, false, screens), QRect(1880, 100, 800, 600));
    EXPECT_EQ(startBounds({-761, 100, 800, 600}, false, screens), kDefaultWindowBounds);
    EXPECT_EQ(startBounds({100, -20, 800, 600}, false, screens), kDefaultWindowBounds);
    EXPECT_EQ(startBounds({100, 1075, 800, 600}, false, screens), kDefaultWindowBounds);
    EXPECT_EQ(startBounds({100, 1070, 800, 600}, false, screens), QRect(100, 1070, 800, 600));
}

TEST(StartBounds, SizeIsCappedToTheScreenThatHoldsTheTitleBar)
{
    const QList<QRect> twoScreens{{0, 0, 1920, 1080}, {1920, 0, 1280, 1024}};
    EXPECT_EQ(startBounds({0, 0, 100000, 100000}, false, twoScreens), QRect(0, 0, 1920, 1080));
    EXPECT_EQ(startBounds({2000, 10, 32767, 500}, false, twoScreens), QRect(2000, 10, 1280, 500));
}

TEST(StartBounds, MaximisedStartsFromTheDefaults)
{
    EXPECT_EQ(startBounds({-8, -8, 1936, 1056}, true, {{0, 0, 1920, 1080}}), kDefaultWindowBounds);
}

TEST(StartBounds, WindowOffEveryScreenGetsTheDefaults)
{
    const QList<QRect> twoScreens{{0, 0, 1920, 1080}, {1920, 0, 1280, 1024}};
    EXPECT_EQ(startBounds({3300, 100, 700, 500}, false, twoScreens), kDefaultWindowBounds);
    EXPECT_EQ(startBounds({2000, 100, 700, 500}, false, twoScreens), QRect(2000, 100, 700, 500));
    EXPECT_EQ(startBounds({-5000, -5000, 780, 580}, false, twoScreens), kDefaultWindowBounds);
    EXPECT_EQ(startBounds({10, 10, 0, 0}, false, twoScreens), kDefaultWindowBounds);
}
