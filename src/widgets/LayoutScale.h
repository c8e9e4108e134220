#pragma once

#include <QRect>
#include <QSize>

class QFont;
class QWidget;

namespace velmor {

// The windows are laid out in pixels for a 9-point desktop font. With a larger desktop font
// every position and size grows in proportion to the font's height, so that captions keep
// fitting their controls; never below the laid-out size, but for a window of fixed size on a
// screen too small for it.
class LayoutScale {
public:
    static constexpr double kLayoutPointSize = 9.0;

    explicit LayoutScale(double factor = 1.0);
    // The scale for captions drawn in this font.
    static LayoutScale forFont(const QFont& desktopFont);
    // The scale for the application's font.
    static LayoutScale forDesktop();
    // This scale, made no larger than lets a window of a fixed laid-out size fit in the room,
    // smaller than the laid-out size on a screen too small for it; its pixel fonts follow, so
    // its captions still fit.
    LayoutScale fittedTo(QSize laidOutWindow, QSize room) const;
    // The room on the primary screen for a window's client area.
    static QSize screenRoom();

    double factor() const { return m_factor; }
    int operator()(int pixels) const;
    QSize operator()(QSize size) const;
    QRect operator()(QRect rect) const;
    // A scaled length back at the laid-out scale, for sizes the user changes and the settings keep.
    int unscaled(int pixels) const;

    // Grows the children of a region placed in pixels: their positions and sizes, fixed sizes and
    // fonts set in pixels.
    void growChildren(QWidget& region) const;
    // Grows a window of fixed size: its size, its own pixel font and its children.
    void growFixedWindow(QWidget& window) const;

private:
    double m_factor;
};

} // namespace velmor
