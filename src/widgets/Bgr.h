#pragma once

#include <QColor>
#include <cstdint>

namespace velmor {

// Colours are kept as 0x00BBGGRR values, red in the low byte, as the settings file stores them.
inline QColor colorFromBgr(std::uint32_t bgr)
{
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

inline std::uint32_t bgrFromColor(const QColor& color)
{
    return std::uint32_t(color.red()) | (std::uint32_t(color.green()) << 8)
        | (std::uint32_t(color.blue()) << 16);
}

} // namespace velmor
