#include "gui/widgets/ReadableColour.h"

#include <algorithm>
#include <cmath>

namespace ravelmoor {
namespace {

double Linear(double channel) {
    return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
}

double Luminance(const QColor& colour) {
    return 0.2126 * Linear(colour.redF()) + 0.7152 * Linear(colour.greenF()) +
           0.0722 * Linear(colour.blueF());
}

// Where black and white text stand out equally: above it a background is light.
constexpr double kLightBackground = 0.179;

}  // namespace

double ContrastRatio(const QColor& a, const QColor& b) {
    const double first = Luminance(a);
    const double second = Luminance(b);
    return (std::max(first, second) + 0.05) / (std::min(first, second) + 0.05);
}

QColor ReadableOn(const QColor& colour, const QColor& background) {
    if (Luminance(background) >= kLightBackground ||
        ContrastRatio(colour, background) >= kReadableContrast)
        return colour;
    constexpr int kSteps = 40;
    QColor mixed = colour;
    for (int step = 1; step <= kSteps; ++step) {
        const double towardsWhite = static_cast<double>(step) / kSteps;
        auto mix = [towardsWhite](int channel) {
            return static_cast<int>(std::lround(channel + (255 - channel) * towardsWhite));
        };
        mixed = QColor(mix(colour.red()), mix(colour.green()), mix(colour.blue()));
        if (ContrastRatio(mixed, background) >= kReadableContrast) break;
    }
    return mixed;
}

}  // namespace ravelmoor
