#include "widgets/Contrast.h"

#include <gtest/gtest.h>

using namespace velmor;

// Marks keep their hue and reach 3:1 on any text box background, light, mid or dark; marks
// that already stand out are left exactly as they are.
TEST(Contrast, MarksReachTheRatioOnEveryBackgroundAndKeepTheirHue)
{
    EXPECT_NEAR(contrastRatio(Qt::black, Qt::white), 21.0, 1e-9);
    EXPECT_NEAR(contrastRatio(Qt::white, Qt::white), 1.0, 1e-9);
    EXPECT_NEAR(contrastRatio(QColor(0x77, 0x77, 0x77), Qt::white), 4.48, 0.01);
    EXPECT_EQ(readableOn(QColor(0x20, 0x20, 0x20)), QColor(Qt::white));
    EXPECT_EQ(readableOn(QColor(0xF4, 0xF5, 0xE9)), QColor(Qt::black));

    const QColor marks[] = {QColor(0xD5, 0xE1, 0xD2), QColor(0xCA, 0xDA, 0xF0), QColor(0xC6, 0xC6, 0xFF),
                            QColor(255, 214, 92), Qt::red, Qt::gray, Qt::black, Qt::white};
    int moved = 0;
    for (int grey = 0; grey <= 255; grey += 15) {
        for (const QColor& background : {QColor(grey, grey, grey), QColor(grey, 255 - grey, grey / 2)}) {
            for (const QColor& mark : marks) {
                const QColor shown = withContrast(mark, background, 3.0);
                EXPECT_GE(contrastRatio(shown, background), 3.0) << mark.name().toStdString() << " on "
                                                                 << background.name().toStdString();
                if (contrastRatio(mark, background) >= 3.0) {
                    EXPECT_EQ(shown, mark);
                } else {
                    ++moved;
                    if (mark.hslSaturation() > 20 && shown.hslSaturation() > 20 && shown.lightness() > 10
                        && shown.lightness() < 245) {
                        EXPECT_NEAR(shown.hslHue(), mark.hslHue(), 2) << mark.name().toStdString();
                    }
                    // Moved no further than needed.
                    EXPECT_LT(contrastRatio(shown, background), 3.1) << mark.name().toStdString();
                }
            }
        }
    }
    EXPECT_GT(moved, 50);
    EXPECT_EQ(withContrast(Qt::gray, Qt::gray, 25.0), QColor(Qt::black));
}
