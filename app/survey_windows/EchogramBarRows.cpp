#include "app/survey_windows/EchogramBarRows.h"

#include "survey/EchogramModel.h"

#include <QImage>

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

constexpr std::uint32_t Background = 0xfff0f8ffu; // QColor(240, 248, 255)
constexpr std::uint32_t Water = 0xff64b4ffu;      // QColor(100, 180, 255)
constexpr std::uint32_t Seabed = 0xffff0000u;     // QColor(255, 0, 0)
constexpr double SeabedPenWidth = 3;

// Equal when the same in 1/64 of a pixel: the engine draws nothing for such a line.
bool SameIn26Dot6(double a, double b) {
    return int(a * 64) == int(b * 64);
}

void FillBlock(QImage& image, const EchogramPixelBlock& block, std::uint32_t colour) {
    if (block.Empty())
        return;
    for (int row = block.Top; row < block.Bottom; ++row) {
        auto* pixels = reinterpret_cast<std::uint32_t*>(image.scanLine(row));
        std::fill(pixels + block.Left, pixels + block.Right, colour);
    }
}

} // namespace

EchogramPixelBlock SeabedPixels(const EchogramBar& bar, int width, int height) {
    // The engine strokes a wide solid line as a rectangle laid across it: the pen's width is
    // taken relative to the line's length, the horizontal line turned into a vertical one of
    // that half-height, and its sides then rounded to whole pixels. Every step is kept as the
    // engine has it (doubles, the same operations in the same order).
    const double x0 = bar.X0;
    const double x1 = bar.X1;
    const double length = std::abs(x1 - x0);
    if (length == 0)
        return {};
    double relativeWidth = SeabedPenWidth / length;
    const double centreX = (x0 + x1) * 0.5;
    const double halfLength = std::abs(x1 - x0) * 0.5;
    const double halfHeight = relativeWidth * halfLength;
    double top = double(bar.Y) - halfHeight;
    double bottom = double(bar.Y) + halfHeight;
    relativeWidth = 1 / relativeWidth;
    const double halfWidth = 0.5 * relativeWidth * (bottom - top);
    double left = centreX - halfWidth;
    double right = centreX + halfWidth;
    left = std::clamp(left, 0.0, double(width));
    right = std::clamp(right, 0.0, double(width));
    top = std::clamp(top, 0.0, double(height));
    bottom = std::clamp(bottom, 0.0, double(height));
    if (SameIn26Dot6(left, right) || SameIn26Dot6(top, bottom))
        return {};
    return {int(left + 0.5), int(right + 0.5), int(top + 0.5), int(bottom + 0.5)};
}

bool BarsWritableAsRows(const EchogramPlan& plan) {
    return std::all_of(plan.Bars.begin(), plan.Bars.end(), [&](const EchogramBar& bar) {
        return bar.X0 >= 0 && bar.X0 < bar.X1 && bar.X1 <= plan.Width && bar.Y >= 0 &&
               bar.Y <= plan.Height;
    });
}

void WriteEchogramBars(QImage& image, const EchogramPlan& plan) {
    FillBlock(image, {0, plan.Width, 0, plan.Height}, Background);
    // Bar after bar, water then seabed, as the painter paints them: where one bar's seabed
    // reaches into the next column, the next bar's water covers it there as on the screen.
    for (const EchogramBar& bar : plan.Bars) {
        FillBlock(image, {bar.X0, bar.X1, 0, bar.Y}, Water);
        FillBlock(image, SeabedPixels(bar, plan.Width, plan.Height), Seabed);
    }
}
