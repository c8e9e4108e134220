#include "widgets/Contrast.h"

#include <algorithm>
#include <cmath>

namespace velmor {

namespace {

double linearChannel(double value)
{
    return value <= 0.04045 ? value / 12.92 : std::pow((value + 0.055) / 1.055, 2.4);
}

QColor withLightness(const QColor& color, double lightness)
{
    return QColor::fromHslF(color.hslHueF(), color.hslSaturationF(), float(lightness), color.alphaF()).toRgb();
}

// Moves the lightness towards the target (black's or white's) only as far as the ratio needs.
QColor nearestReaching(const QColor& color, const QColor& background, double minimumRatio, double target)
{
    double near = color.lightnessF();
    double far = target;
    for (int step = 0; step < 24; ++step) {
        const double middle = (near + far) / 2;
        if (contrastRatio(withLightness(color, middle), background) >= minimumRatio)
            far = middle;
        else
            near = middle;
    }
    return withLightness(color, far);
}

} // namespace

double relativeLuminance(const QColor& color)
{
    const QColor rgb = color.toRgb();
    return 0.2126 * linearChannel(rgb.redF()) + 0.7152 * linearChannel(rgb.greenF())
        + 0.0722 * linearChannel(rgb.blueF());
}

double contrastRatio(const QColor& a, const QColor& b)
{
    const double first = relativeLuminance(a);
    const double second = relativeLuminance(b);
    return (std::max(first, second) + 0.05) / (std::min(first, second) + 0.05);
}

QColor withContrast(const QColor& color, const QColor& background, double minimumRatio)
{
    if (contrastRatio(color, background) >= minimumRatio)
        return color;
    // Black or white, whichever reads better, stands at least 4.58:1 from any background.
    const bool darker = readableOn(background) == QColor(Qt::black);
    if (minimumRatio > contrastRatio(darker ? Qt::black : Qt::white, background))
        return readableOn(background);
    return nearestReaching(color, background, minimumRatio, darker ? 0.0 : 1.0);
}

QColor readableOn(const QColor& background)
{
    return contrastRatio(Qt::black, background) >= contrastRatio(Qt::white, background) ? QColor(Qt::black)
                                                                                         : QColor(Qt::white);
}

} // namespace velmor
