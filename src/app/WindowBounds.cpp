#include "app/WindowBounds.h"

#include <algorithm>

namespace velmor {

QRect startBounds(const QRect& saved, bool maximised, const QList<QRect>& screens)
{
    if (maximised || saved.width() <= 0 || saved.height() <= 0)
        return kDefaultWindowBounds;
    const bool reachable =
        std::any_of(screens.begin(), screens.end(), [&saved](const QRect& screen) { return screen.intersects(saved); });
    return reachable ? saved : kDefaultWindowBounds;
}

} // namespace velmor
