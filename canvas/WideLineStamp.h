#pragma once

#include <cstdint>
#include <vector>

// The pixels a short line of a wide solid pen (round caps and joins, not smoothed) covers,
// found once by letting the painter stroke that very line alone on a scratch image, and kept
// as runs relative to the line's start. A line between whole pixels covers the same pixels
// wherever it lies, so the thousands of segments of a day's track, each a few pixels to a few
// dozen long, are copied from stamps instead of each being stroked again.
class WideLineStamp {
public:
    // Pixels of one row, relative to the line's start.
    struct Run {
        int Row;
        int Column;
        int Length;
    };
    // Lines whose ends lie at most this far apart on each axis, and pens up to this wide, have
    // stamps; longer lines and wider pens are stroked.
    static constexpr int MaxReach = 64;
    static constexpr int MaxWidth = 32;

    static bool Covers(int penWidth, int dx, int dy) {
        return penWidth >= 2 && penWidth <= MaxWidth && dx >= -MaxReach && dx <= MaxReach &&
               dy >= -MaxReach && dy <= MaxReach;
    }
    // The runs of the line from (0, 0) to (dx, dy); `Covers` must hold. Kept per thread.
    static const std::vector<Run>& RunsFor(int penWidth, int dx, int dy);
};
