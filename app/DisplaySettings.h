#pragma once

#include <cstdint>

class IniFile;

// Display settings shared by the device settings window, the map tick and the map's overlays.
// The program entry and the main window's creation read the overlay values before the device
// settings window exists, so that the first paint already uses them.
extern int OverlayFontSize;        // big digits of the depth and speed readout, points
extern uint32_t OverlayDepthColor; // 0x00BBGGRR
extern uint32_t OverlaySpeedColor; // 0x00BBGGRR

// [OVERLAY_SETTINGS] "FontSize" is stored as text: anything that is not a whole number gives 40.
int ReadOverlayFontSize(const IniFile& ini);
