#include "platform/ColorValue.h"

#include <algorithm>
#include <cmath>

namespace {

double Linear(int channel) {
    const double c = channel / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double Luminance(const QColor& colour) {
    const QColor rgb = colour.toRgb();
    return 0.2126 * Linear(rgb.red()) + 0.7152 * Linear(rgb.green()) + 0.0722 * Linear(rgb.blue());
}

QColor Mix(const QColor& from, const QColor& to, double share) {
    const auto channel = [share](int a, int b) { return int(std::lround(a + (b - a) * share)); };
    return QColor(channel(from.red(), to.red()), channel(from.green(), to.green()),
                  channel(from.blue(), to.blue()));
}

} // namespace

QColor ColorFromBgr(uint32_t bgr) {
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

uint32_t BgrFromColor(const QColor& color) {
    return uint32_t(color.red()) | (uint32_t(color.green()) << 8) |
           (uint32_t(color.blue()) << 16);
}

double ContrastRatio(const QColor& a, const QColor& b) {
    const double la = Luminance(a);
    const double lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

bool IsDarkColour(const QColor& colour) {
    // Where black and white text reach the same contrast.
    return Luminance(colour) < 0.179;
}

QColor ReadableOn(const QColor& designed, const QColor& background, double minimum) {
    if (ContrastRatio(designed, background) >= minimum)
        return designed.toRgb();
    const QColor end = IsDarkColour(background) ? QColor(Qt::white) : QColor(Qt::black);
    for (int step = 1; step <= 20; ++step) {
        const QColor mixed = Mix(designed.toRgb(), end, step / 20.0);
        if (ContrastRatio(mixed, background) >= minimum)
            return mixed;
    }
    return end;
}

uint32_t ReadableBgr(uint32_t designed, uint32_t background) {
    return BgrFromColor(ReadableOn(ColorFromBgr(designed), ColorFromBgr(background)));
}
