#pragma once

// A numbered event mark on the map.
struct EventLabel {
    double X = 0.0;
    double Y = 0.0;
    int Number = 0;
};
