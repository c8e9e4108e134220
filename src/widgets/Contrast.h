#pragma once

#include <QColor>

namespace velmor {

// The least contrast of a mark in the text box against the box's background.
inline constexpr double kMarkContrast = 3.0;

// The relative luminance of a colour, 0 (black) to 1 (white), as the WCAG contrast rules define it.
double relativeLuminance(const QColor& color);

// The WCAG contrast ratio of two colours, 1 (the same) to 21 (black on white).
double contrastRatio(const QColor& a, const QColor& b);

// The colour with its hue and saturation kept and its lightness moved just far enough away from
// the background's to reach the ratio: darker on a light background, lighter on a dark one. A
// colour that already reaches it comes back as it is; a ratio beyond reach gives black or white.
QColor withContrast(const QColor& color, const QColor& background, double minimumRatio);

// Black or white, whichever reads better on the colour.
QColor readableOn(const QColor& background);

} // namespace velmor
