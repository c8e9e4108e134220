#pragma once

#include <QList>
#include <QRect>

class QWidget;

namespace velmor {

// Outer bounds of the main window, frame and title bar included.
inline constexpr QRect kDefaultWindowBounds{16, 16, 780, 580};

// The part of a window's top edge that must lie on a screen for the user to grab the title
// bar and drag the window back.
inline constexpr int kTitleBarHeight = 24;
inline constexpr QSize kTitleBarGrip{40, 10};

// The bounds a window starts with: the defaults when it will be maximised (restoring it then
// gives the defaults) or when its title bar could not be reached on any screen; otherwise the
// saved bounds, made no larger than the screen that holds the title bar. The defaults are
// brought onto the first screen (the primary one) when they do not fit it.
QRect startBounds(const QRect& saved, bool maximised, const QList<QRect>& screens,
                  const QRect& defaults = kDefaultWindowBounds);

// A top-level window's outer bounds as the window system gives them now. The widget's own
// frame geometry keeps the frame it saw at the last move or resize, and a window manager may
// change the frame afterwards (none on the sides of a maximised window, say).
QRect outerBounds(const QWidget& window);

// Places a top-level window at outer bounds. The frame's size is known only once the window
// manager has framed the shown window, so the size is first given to the client area and
// taken back by the frame's size then, while the client area still has that size.
void setOuterBounds(QWidget& window, const QRect& bounds);

} // namespace velmor
