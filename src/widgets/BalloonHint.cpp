#include "widgets/BalloonHint.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>

namespace velmor {

namespace {

constexpr int kPadding = 6;
constexpr int kRadius = 7;
constexpr int kTailHeight = 10;
constexpr int kTailLeft = 10;  // where the tail leaves the body, from its left edge
constexpr int kTailWidth = 12;
constexpr int kTailTipX = 6;   // the tip's distance from the balloon's left edge
constexpr int kPointerGap = 18; // below the pointer, clear of the arrow

QFont hintFont()
{
    QFont font(QStringLiteral("Times New Roman"));
    font.setPixelSize(15);
    return font;
}

} // namespace

BalloonHint::BalloonHint()
    : QWidget(nullptr, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowTransparentForInput
                           | Qt::NoDropShadowWindowHint | Qt::WindowDoesNotAcceptFocus)
{
    setObjectName(QStringLiteral("BalloonHint"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFont(hintFont());
}

QRect BalloonHint::bodyRect() const
{
    const int top = m_tailBelow ? 0 : kTailHeight;
    return QRect(0, top, width(), height() - kTailHeight);
}

QPainterPath BalloonHint::outline() const
{
    const QRectF body = QRectF(bodyRect()).adjusted(0.5, 0.5, -0.5, -0.5);
    QPainterPath balloon;
    balloon.addRoundedRect(body, kRadius, kRadius);
    QPolygonF tail;
    if (m_tailBelow) {
        tail << QPointF(kTailLeft, body.bottom() - 1) << QPointF(kTailTipX, height() - 0.5)
             << QPointF(kTailLeft + kTailWidth, body.bottom() - 1);
    } else {
        tail << QPointF(kTailLeft, body.top() + 1) << QPointF(kTailTipX, 0.5)
             << QPointF(kTailLeft + kTailWidth, body.top() + 1);
    }
    QPainterPath tailPath;
    tailPath.addPolygon(tail);
    tailPath.closeSubpath();
    return balloon.united(tailPath).simplified();
}

void BalloonHint::showText(const QString& text, QPoint pointer)
{
    m_text = text;
    const QFontMetrics metrics(font());
    const QRect textSize = metrics.boundingRect(QRect(0, 0, 480, 2000), Qt::TextWordWrap, text);
    const QSize size(std::max(textSize.width() + 2 * kPadding, kTailLeft + kTailWidth + kRadius),
                     textSize.height() + 2 * kPadding + kTailHeight);

    QRect screen(QPoint(0, 0), size);
    if (const QScreen* at = QGuiApplication::screenAt(pointer))
        screen = at->availableGeometry();
    else if (const QScreen* primary = QGuiApplication::primaryScreen())
        screen = primary->availableGeometry();
    m_tailBelow = pointer.y() + kPointerGap + size.height() > screen.bottom();
    const int x = std::clamp(pointer.x() - kTailTipX, screen.left(), std::max(screen.left(), screen.right() - size.width()));
    const int y = m_tailBelow ? pointer.y() - size.height() - 2 : pointer.y() + kPointerGap;
    setGeometry(QRect(QPoint(x, y), size));
    m_textRect = bodyRect().adjusted(kPadding, kPadding, -kPadding, -kPadding);
    // The window takes the balloon's shape: nothing around it covers what lies behind.
    setMask(QRegion(outline().toFillPolygon().toPolygon()));
    update();
    show();
    raise();
}

void BalloonHint::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(kInkColor, 1));
    painter.setBrush(kFillColor);
    painter.drawPath(outline());
    painter.drawText(m_textRect, Qt::TextWordWrap, m_text);
}

} // namespace velmor
