#pragma once

#include <QList>
#include <QRect>

namespace velmor {

inline constexpr QRect kDefaultWindowBounds{16, 16, 780, 580};

// The bounds a window starts with: the defaults when it will be maximised (restoring it then
// gives the defaults), or when no part of the saved bounds lies on any screen, since such a
// window could not be reached; otherwise the saved bounds.
QRect startBounds(const QRect& saved, bool maximised, const QList<QRect>& screens);

} // namespace velmor
