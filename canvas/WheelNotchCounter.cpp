#include "canvas/WheelNotchCounter.h"

#include <algorithm>

namespace {
constexpr int DeltaPerNotch = 120;
// A single event never counts for more than this many notches.
constexpr int MaximumDelta = 100 * DeltaPerNotch;
} // namespace

int WheelNotchCounter::Add(int delta) {
    delta = std::clamp(delta, -MaximumDelta, MaximumDelta);
    if ((delta > 0 && Remainder < 0) || (delta < 0 && Remainder > 0))
        Remainder = 0;
    Remainder += delta;
    const int notches = Remainder / DeltaPerNotch;
    Remainder -= notches * DeltaPerNotch;
    return notches;
}
