#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace EchogramLimits {
// Entries the program's history holds, and so the most DataWidth may be.
constexpr int HistoryCapacity = 200;
// The timer period the echogram accepts (ms): 0 would spin the timer.
constexpr int ShortestInterval = 20;
constexpr int LongestInterval = 1000;
// At most this many grid lines, whatever the depths.
constexpr int MaxGridLines = 64;
// Fallback scale when there are too few depths to scale by (m).
constexpr double FallbackTop = 0.0;
constexpr double FallbackBottom = 50.0;
} // namespace EchogramLimits

// One sounding's bar: filled from the top (X0..X1, 0..Y), a red seabed line at Y.
struct EchogramBar {
    int X0 = 0;
    int X1 = 0;
    int Y = 0;
};

// A segment of the profile line joining the centres of two neighbouring bars.
struct EchogramSegment {
    int X0 = 0;
    int Y0 = 0;
    int X1 = 0;
    int Y1 = 0;
};

// A dotted depth line across the window and its label ("20m") at (3, Y + 2).
struct EchogramGridLine {
    int Y = 0;
    std::string Label;
};

// The newest depth in a yellow box at the bottom right, with a leader from its seabed row.
struct EchogramDepthBox {
    bool Leader = false; // only when the row lies well inside the window
    int LeaderX = 0;
    int LeaderTop = 0;
    int LeaderBottom = 0;
    int Left = 0; // box, exclusive right and bottom
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    int TextX = 0;
    int TextY = 0;
    std::string Text; // "12.3m"
};

// What one drawing of the echogram paints, decided without a painter.
struct EchogramPlan {
    int Width = 0;
    int Height = 0;
    double Top = 0;    // depth at the top edge (m)
    double Bottom = 0; // depth at the bottom edge (m)
    double GridStep = 0;
    std::vector<EchogramBar> Bars;
    std::vector<EchogramSegment> Profile;
    std::vector<EchogramGridLine> Grid;
    std::optional<EchogramDepthBox> DepthBox;
};

// The echogram's depth history and its scaling: the newest `count` entries drawn as a strip
// chart, oldest at the left. An entry of 0 or less is no depth.
class EchogramModel {
public:
    explicit EchogramModel(int capacity = EchogramLimits::HistoryCapacity);

    int Capacity() const { return int(depths_.size()); }
    const std::vector<double>& Depths() const { return depths_; }

    // Moves entries 1..count-1 one place towards the oldest and stores `depth` as entry
    // count-1 (count is kept within 1..capacity).
    void Append(double depth, int count);

    // The drawing of entries 0..count-1 in a W x H window. A window narrower than `count`
    // pixels shows the newest entries, one pixel each, up to its right edge.
    EchogramPlan Plan(int width, int height, int count,
                      double fallbackTop = EchogramLimits::FallbackTop,
                      double fallbackBottom = EchogramLimits::FallbackBottom) const;

    // The grid step for a span: a quarter of it rounded up to 1, 2, 2.5 or 5 times a power
    // of ten; and the decimals its labels take.
    static double GridStep(double span);
    static int GridDecimals(double step);

    // The stored settings made safe: DataWidth within 1..capacity, Interval within 20..1000 ms.
    static int ClampDataWidth(int value);
    static int ClampInterval(int value);

private:
    int clampCount(int count) const;

    std::vector<double> depths_;
};
