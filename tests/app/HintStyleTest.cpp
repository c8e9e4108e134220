#include "QtPrinters.h"

#include "app/HintStyle.h"
#include "widgets/BalloonHint.h"

#include <QApplication>
#include <QHelpEvent>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

using namespace velmor;

namespace {

bool sendHintRequest(QWidget* control)
{
    const QPoint at = control->rect().center();
    QHelpEvent request(QEvent::ToolTip, at, control->mapToGlobal(at));
    QApplication::sendEvent(control, &request);
    return request.isAccepted();
}

} // namespace

TEST(BalloonHints, ShowAControlsHintInABalloonForItsTimeAndAgainOnlyAfterThePointerLeft)
{
    BalloonHints hints;
    qApp->installEventFilter(&hints);
    QWidget window;
    window.resize(300, 100);
    auto* first = new QPushButton(QStringLiteral("first"), &window);
    first->setGeometry(10, 10, 80, 30);
    first->setToolTip(QStringLiteral("Speech Ctrl + P"));
    auto* second = new QPushButton(QStringLiteral("second"), &window);
    second->setGeometry(100, 10, 80, 30);
    second->setToolTip(QStringLiteral("Band(Speech Line)  Ctrl + B"));
    auto* plain = new QPushButton(QStringLiteral("plain"), &window);
    plain->setGeometry(190, 10, 80, 30);
    window.show();
    const BalloonHint& balloon = hints.balloon();

    EXPECT_TRUE(sendHintRequest(first));
    ASSERT_TRUE(balloon.isVisible());
    EXPECT_EQ(balloon.text(), QStringLiteral("Speech Ctrl + P"));
    // The tail points at the pointer; the window has the balloon's shape, not a box's.
    EXPECT_GT(balloon.mask().rectCount(), 2);
    const QImage look = const_cast<BalloonHint&>(balloon).grab().toImage();
    EXPECT_EQ(look.pixelColor(look.width() / 2, look.height() / 2), BalloonHint::kFillColor);

    EXPECT_TRUE(sendHintRequest(second));
    EXPECT_EQ(balloon.text(), QStringLiteral("Band(Speech Line)  Ctrl + B"));
    EXPECT_FALSE(sendHintRequest(plain));

    ASSERT_TRUE(QTest::qWaitFor([&] { return !balloon.isVisible(); }, 10000));
    sendHintRequest(second);
    EXPECT_FALSE(balloon.isVisible());
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(second, &leave);
    sendHintRequest(second);
    EXPECT_TRUE(balloon.isVisible());
    QTest::mouseClick(second, Qt::LeftButton);
    EXPECT_FALSE(balloon.isVisible());
}

TEST(HintTimingStyle, WakesAfterAPauseAndStaysAwakeWhileAHintShows)
{
    HintTimingStyle style;
    EXPECT_EQ(style.styleHint(QStyle::SH_ToolTip_WakeUpDelay, nullptr, nullptr, nullptr), kHintPauseMs);
    EXPECT_GE(style.styleHint(QStyle::SH_ToolTip_FallAsleepDelay, nullptr, nullptr, nullptr), kHintHidePauseMs);
}
