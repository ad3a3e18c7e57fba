#pragma once

#include <cstdint>
#include <string>

// Program-wide values the map's overlays read at every paint. They live here, beside the
// canvas that draws them, so that the windows that write them (the device settings window for
// the display settings, the map tick for the status line and the fix quality) and the canvas
// share one definition without the canvas depending on those windows.

// The GNSS status line of the last map tick; empty until the first tick.
extern std::string OverlayStatusText;
// The GGA fix quality of the last position; 0 until one is received.
extern int CurrentFixQuality;

// Depth labels: handed to the canvas by the map tick through its depth-label settings.
extern bool ShowDepthLabels;
extern double DepthLabelSpacing;       // metres
extern std::string DepthLabelFontName; // "Arial" once the settings window is created
extern int DepthLabelFontSize;
extern uint32_t DepthLabelColor;

// Event labels and the depth and speed readout, read by the canvas directly.
extern int EventLabelFontSize;
extern uint32_t EventLabelColor;
extern int OverlayFontSize;
extern uint32_t OverlayDepthColor;
extern uint32_t OverlaySpeedColor;
