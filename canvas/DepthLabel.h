#pragma once

// A depth written on the map along the track (world position, depth in metres).
struct DepthLabel {
    double X = 0.0;
    double Y = 0.0;
    double Depth = 0.0;
};
