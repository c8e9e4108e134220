#include "app/WindowBounds.h"

#include <QEvent>
#include <QWidget>
#include <QWindow>
#include <algorithm>

namespace velmor {

namespace {

QRect defaultsOnScreen(const QRect& defaults, const QList<QRect>& screens)
{
    if (screens.isEmpty() || screens.front().contains(defaults))
        return defaults;
    const QRect& screen = screens.front();
    QRect bounds(defaults.topLeft(), defaults.size().boundedTo(screen.size()));
    bounds.moveLeft(std::clamp(bounds.left(), screen.left(), screen.right() + 1 - bounds.width()));
    bounds.moveTop(std::clamp(bounds.top(), screen.top(), screen.bottom() + 1 - bounds.height()));
    return bounds;
}

} // namespace

QRect startBounds(const QRect& saved, bool maximised, const QList<QRect>& screens, const QRect& defaults)
{
    if (maximised || saved.width() <= 0 || saved.height() <= 0)
        return defaultsOnScreen(defaults, screens);
    for (const QRect& screen : screens) {
        const QRect bounds(saved.topLeft(), saved.size().boundedTo(screen.size()));
        const QRect titleBar(bounds.left(), bounds.top(), bounds.width(), kTitleBarHeight);
        const QRect reachable = titleBar.intersected(screen);
        if (reachable.width() >= kTitleBarGrip.width() && reachable.height() >= kTitleBarGrip.height())
            return bounds;
    }
    return defaultsOnScreen(defaults, screens);
}

QRect outerBounds(const QWidget& window)
{
    const QWindow* handle = window.windowHandle();
    return handle ? handle->frameGeometry() : window.frameGeometry();
}

namespace {

// Waits on the window's events for its first framed moment in the normal state at the size
// it was given.
class FrameAllowance : public QObject {
public:
    FrameAllowance(QWidget& window, QSize outer) : QObject(&window), m_window(window), m_outer(outer)
    {
        window.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::Show:
        case QEvent::WindowStateChange:
            settle();
            break;
        default:
            break;
        }
        return false;
    }

private:
    // A window started maximised gets its size back only when it is restored; a window of
    // another size (a tiling window manager's, say) keeps it.
    void settle()
    {
        if (!m_window.isVisible() || m_window.windowState() != Qt::WindowNoState || m_window.size() != m_outer)
            return;
        const QSize frame = outerBounds(m_window).size() - m_window.size();
        if (frame.isNull())
            return;
        m_window.removeEventFilter(this);
        deleteLater();
        m_window.resize(m_outer - frame);
    }

    QWidget& m_window;
    QSize m_outer;
};

} // namespace

void setOuterBounds(QWidget& window, const QRect& bounds)
{
    window.move(bounds.topLeft());
    window.resize(bounds.size());
    new FrameAllowance(window, bounds.size());
}

} // namespace velmor
