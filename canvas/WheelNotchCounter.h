#pragma once

// Turns wheel deltas (eighths of a degree, 120 to a notch of a common wheel) into whole
// notches. Fine-grained wheels and touchpads send fractions of a notch: they add up, so that a
// notch's worth of them zooms once and no more.
class WheelNotchCounter {
public:
    // The whole notches the delta completes (positive forward); a change of direction drops
    // the fraction gathered the other way.
    int Add(int delta);

private:
    int Remainder = 0;
};
