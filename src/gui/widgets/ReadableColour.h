#pragma once

#include <QColor>

namespace ravelmoor {

// The contrast ratio of two colours as accessibility guidelines define it:
// (lighter luminance + 0.05) / (darker luminance + 0.05), from 1 to 21.
double ContrastRatio(const QColor& a, const QColor& b);

// The least contrast of a text colour against its background.
inline constexpr double kReadableContrast = 4.5;

// `colour` for text on `background`: as it is on a light background (so a
// light theme keeps its colours); on a dark one mixed towards white just
// enough to reach kReadableContrast.
QColor ReadableOn(const QColor& colour, const QColor& background);

}  // namespace ravelmoor
