#include "widgets/LayoutScale.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace velmor {

namespace {

// Fonts set in pixels do not follow the desktop font: they grow with the layout.
void growPixelFont(QWidget& widget, double factor)
{
    if (!widget.testAttribute(Qt::WA_SetFont))
        return;
    QFont font = widget.font();
    if (font.pixelSize() <= 0)
        return;
    font.setPixelSize(qRound(font.pixelSize() * factor));
    widget.setFont(font);
}

} // namespace

LayoutScale::LayoutScale(double factor) : m_factor(std::max(1.0, factor)) {}

LayoutScale LayoutScale::forFont(const QFont& desktopFont)
{
    QFont laidOutFont(desktopFont);
    laidOutFont.setPointSizeF(kLayoutPointSize);
    return LayoutScale(QFontMetricsF(desktopFont).height() / QFontMetricsF(laidOutFont).height());
}

LayoutScale LayoutScale::forDesktop() { return forFont(QApplication::font()); }

LayoutScale LayoutScale::fittedTo(QSize laidOutWindow, QSize room) const
{
    if (laidOutWindow.isEmpty() || room.isEmpty())
        return *this;
    LayoutScale fitted;
    fitted.m_factor = std::min({m_factor, double(room.width()) / laidOutWindow.width(),
                                double(room.height()) / laidOutWindow.height()});
    return fitted;
}

QSize LayoutScale::screenRoom()
{
    // The frame and title bar of a usual desktop, which the window's own size leaves out.
    constexpr QSize kFrameAllowance{16, 40};
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry().size() - kFrameAllowance : QSize();
}

int LayoutScale::operator()(int pixels) const { return qRound(pixels * m_factor); }

QSize LayoutScale::operator()(QSize size) const { return {(*this)(size.width()), (*this)(size.height())}; }

QRect LayoutScale::operator()(QRect rect) const
{
    return {(*this)(rect.x()), (*this)(rect.y()), (*this)(rect.width()), (*this)(rect.height())};
}

int LayoutScale::unscaled(int pixels) const { return qRound(pixels / m_factor); }

void LayoutScale::growChildren(QWidget& region) const
{
    if (m_factor == 1.0)
        return;
    for (QWidget* child : region.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (child->isWindow())
            continue;
        if (child->minimumSize() == child->maximumSize())
            child->setFixedSize((*this)(child->minimumSize()));
        child->setGeometry((*this)(child->geometry()));
        growPixelFont(*child, m_factor);
    }
}

void LayoutScale::growFixedWindow(QWidget& window) const
{
    if (m_factor == 1.0)
        return;
    window.setFixedSize((*this)(window.minimumSize()));
    growPixelFont(window, m_factor);
    growChildren(window);
}

} // namespace velmor
