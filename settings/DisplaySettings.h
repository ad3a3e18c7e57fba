#pragma once

#include "canvas/MapDisplaySettings.h"

#include <cstdint>
#include <string>

class IniFile;

// [OVERLAY_SETTINGS] "FontSize" is stored as text: anything that is not a whole number gives 40.
// The program entry and the main window's creation read it before the device settings window
// exists, so that the first paint of the map already uses it.
int ReadOverlayFontSize(const IniFile& ini);

// Number texts of the display settings. Each falls back as the settings window has always done
// when the text does not convert; nothing is reported.

// A grid step in metres: below 0.01 m, not finite or not a number gives 100 m (a smaller step
// would draw millions of grid lines).
double GridSpacingFromText(const std::string& text);
// A whole number, blanks around it passed over; `fallback` when it is not one.
int IntegerSettingFromText(const std::string& text, int fallback);
// A finite number; `fallback` when it is not one.
double NumberSettingFromText(const std::string& text, double fallback);

// The screenshot timer for a stored or typed interval in seconds.
struct ScreenshotTimerSetting {
    bool running = true;
    int intervalMs = 60000;
};
// 0 or less stops the timer; an interval longer than the timer holds runs at the longest one.
ScreenshotTimerSetting ScreenshotTimerFromSeconds(int64_t seconds);
// A text that is not a whole number gives 60 s.
ScreenshotTimerSetting ScreenshotTimerFromText(const std::string& text);
