#include "survey/EchogramModel.h"

#include "canvas/CanvasGeometry.h"

#include "platform/NumberText.h"

#include <algorithm>
#include <cmath>

EchogramModel::EchogramModel(int capacity) : depths_(size_t(std::max(capacity, 1)), 0.0) {}

int EchogramModel::clampCount(int count) const {
    return std::clamp(count, 1, Capacity());
}

int EchogramModel::ClampDataWidth(int value) {
    return std::clamp(value, 1, EchogramLimits::HistoryCapacity);
}

int EchogramModel::ClampInterval(int value) {
    return std::clamp(value, EchogramLimits::ShortestInterval, EchogramLimits::LongestInterval);
}

void EchogramModel::Append(double depth, int count) {
    count = clampCount(count);
    std::rotate(depths_.begin(), depths_.begin() + 1, depths_.begin() + count);
    // A depth that is not a number is no depth.
    depths_[size_t(count - 1)] = std::isfinite(depth) ? depth : 0.0;
}

double EchogramModel::GridStep(double span) {
    const double rough = span / 4;
    if (!(rough > 0) || !std::isfinite(rough))
        return 1;
    const double magnitude = std::pow(10.0, std::floor(std::log10(rough)));
    const double fraction = rough / magnitude;
    if (fraction <= 1)
        return magnitude;
    if (fraction <= 2)
        return magnitude * 2;
    if (fraction <= 2.5)
        return magnitude * 2.5;
    if (fraction <= 5)
        return magnitude * 5;
    return magnitude * 10;
}

int EchogramModel::GridDecimals(double step) {
    if (step < 0.1)
        return 2;
    if (step < 1)
        return 1;
    return 0;
}

EchogramPlan EchogramModel::Plan(int width, int height, int count, double fallbackTop,
                                 double fallbackBottom) const {
    EchogramPlan plan;
    plan.Width = width;
    plan.Height = height;
    if (width < 1 || height < 1)
        return plan;
    count = clampCount(count);
    // The newest entries that fit, one pixel at least each.
    const int shown = std::min(count, width);
    const int first = count - shown;
    const auto depthAt = [this, first](int j) { return depths_[size_t(first + j)]; };

    // Scale over the depths shown.
    double least = 1e30;
    double most = -1e30;
    int n = 0;
    for (int j = 0; j < shown; ++j) {
        const double depth = depthAt(j);
        if (depth > 0) {
            least = std::min(least, depth);
            most = std::max(most, depth);
            ++n;
        }
    }
    double top = fallbackTop;
    double bottom = fallbackBottom;
    if (n > 3 && most > least) {
        const double margin = std::max((most - least) * 0.1, 0.3);
        top = std::max(least - margin, 0.0);
        bottom = most + margin;
    }
    double span = bottom - top;
    if (!(span > 0) || !std::isfinite(span))
        span = 1;
    plan.Top = top;
    plan.Bottom = bottom;

    std::vector<double> rows(size_t(shown), 0.0);
    for (int j = 0; j < shown; ++j) {
        const double depth = depthAt(j);
        if (depth > 0)
            rows[size_t(j)] = TruncateToPixel((depth - top) * height / span);
    }

    const double columnWidth = std::max(double(width) / shown, 1.0);
    for (int j = 0; j < shown; ++j) {
        if (!(depthAt(j) > 0))
            continue;
        plan.Bars.push_back({TruncateToPixel(j * columnWidth),
                             TruncateToPixel((j + 1) * columnWidth),
                             std::clamp(int(rows[size_t(j)]), 0, height)});
    }
    for (int k = 1; k < shown; ++k) {
        if (depthAt(k - 1) > 0 && depthAt(k) > 0)
            plan.Profile.push_back(
                {TruncateToPixel((k - 0.5) * columnWidth), int(rows[size_t(k - 1)]),
                 TruncateToPixel((k + 0.5) * columnWidth), int(rows[size_t(k)])});
    }

    // The grid counts its lines: a step too small to move a huge value still ends.
    const double step = GridStep(span);
    const int decimals = GridDecimals(step);
    plan.GridStep = step;
    double v = std::ceil(top / step) * step;
    for (int line = 0; line < EchogramLimits::MaxGridLines && v <= bottom; ++line, v += step) {
        const int y = TruncateToPixel((v - top) * height / span);
        if (y >= 0 && y <= height)
            plan.Grid.push_back({y, FormatFixed(v, decimals) + "m"});
    }

    const double newest = depthAt(shown - 1);
    if (newest > 0) {
        EchogramDepthBox box;
        const int row = int(rows[size_t(shown - 1)]);
        box.Leader = row > 5 && row < height - 30;
        box.LeaderX = width - 40;
        box.LeaderTop = row;
        box.LeaderBottom = height - 28;
        box.Left = width - 78;
        box.Top = height - 26;
        box.Right = width - 2;
        box.Bottom = height - 2;
        box.TextX = width - 75;
        box.TextY = height - 24;
        box.Text = FormatFixed(newest, 1) + "m";
        plan.DepthBox = box;
    }
    return plan;
}
