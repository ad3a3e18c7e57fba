#include "app/survey_windows/EchogramBarRows.h"

#include "survey/EchogramModel.h"

#include <QImage>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <vector>

namespace {

using EchogramColours::Background;
using EchogramColours::Seabed;
using EchogramColours::Water;

constexpr double SeabedPenWidth = 3;

// Equal when the same in 1/64 of a pixel: the engine draws nothing for such a line.
bool SameIn26Dot6(double a, double b) {
    return int(a * 64) == int(b * 64);
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
    int nextFreeColumn = 0;
    for (const EchogramBar& bar : plan.Bars) {
        if (bar.X0 < nextFreeColumn || bar.X0 >= bar.X1 || bar.X1 > plan.Width || bar.Y < 0 ||
            bar.Y > plan.Height)
            return false;
        const EchogramPixelBlock seabed = SeabedPixels(bar, plan.Width, plan.Height);
        if (!seabed.Empty() && (seabed.Left != bar.X0 || seabed.Right != bar.X1))
            return false;
        nextFreeColumn = bar.X1;
    }
    return true;
}

void WriteEchogramBars(QImage& band, const EchogramPlan& plan,
                       const std::function<void(int top, int rows)>& put) {
    const int width = plan.Width;
    const int height = plan.Height;
    // Bars side by side, each over columns of its own: a pixel's colour is its bar's colour at
    // that row, water down to the seabed, the red seabed, then the background.
    struct Column {
        int Left;
        int Right;
        int WaterEnd;
        int SeabedTop;
        int SeabedBottom;
        std::uint32_t ColourAt(int row) const {
            if (row >= SeabedTop && row < SeabedBottom)
                return Seabed;
            return row < WaterEnd ? Water : Background;
        }
    };
    std::vector<Column> columns;
    columns.reserve(plan.Bars.size());
    for (const EchogramBar& bar : plan.Bars) {
        EchogramPixelBlock seabed = SeabedPixels(bar, width, height);
        if (seabed.Empty())
            seabed.Top = seabed.Bottom = 0;
        columns.push_back({bar.X0, bar.X1, bar.Y, seabed.Top, seabed.Bottom});
    }

    // Down the image a row differs from the one above only where a bar turns from water to
    // seabed or from seabed to background: each row is the row above with those bars redone.
    // The turns are sorted by row first (a count per row, then the bars in row order).
    std::vector<int> turnsFrom(size_t(height) + 1, 0);
    const auto eachTurn = [&](auto&& atTurn) {
        for (size_t i = 0; i < columns.size(); ++i)
            for (int row : {columns[i].WaterEnd, columns[i].SeabedTop, columns[i].SeabedBottom})
                if (row > 0 && row < height)
                    atTurn(row, int(i));
    };
    eachTurn([&](int row, int) { ++turnsFrom[size_t(row)]; });
    int turns = 0;
    for (int& count : turnsFrom) {
        const int here = count;
        count = turns;
        turns += here;
    }
    std::vector<int> turningColumns(static_cast<size_t>(turns));
    std::vector<int> filled(turnsFrom.begin(), turnsFrom.end() - 1);
    eachTurn([&](int row, int i) { turningColumns[size_t(filled[size_t(row)]++)] = i; });

    // The band is written from its first row down and handed on when full; the next band
    // starts from the row above it, the band's last.
    auto* bits = reinterpret_cast<std::uint32_t*>(band.bits());
    const qsizetype pixelsPerLine = band.bytesPerLine() / qsizetype(sizeof(std::uint32_t));
    const int bandRows = band.height();
    std::uint32_t* row = bits;
    int left = 0;
    for (const Column& column : columns) {
        std::fill(row + left, row + column.Left, Background);
        std::fill(row + column.Left, row + column.Right, column.ColourAt(0));
        left = column.Right;
    }
    std::fill(row + left, row + width, Background);
    int bandTop = 0;
    for (int y = 1; y < height; ++y) {
        const std::uint32_t* above = row;
        if (y - bandTop == bandRows) {
            put(bandTop, bandRows);
            bandTop = y;
            row = bits;
        } else {
            row += pixelsPerLine;
        }
        if (row != above) // a band of one row holds the row above already
            std::copy(above, above + width, row);
        for (int t = turnsFrom[size_t(y)]; t < turnsFrom[size_t(y) + 1]; ++t) {
            const Column& column = columns[size_t(turningColumns[size_t(t)])];
            std::fill(row + column.Left, row + column.Right, column.ColourAt(y));
        }
    }
    put(bandTop, height - bandTop);
}
