#pragma once

#include "canvas/MapDisplaySettings.h"

class IniFile;

// [OVERLAY_SETTINGS] "FontSize" is stored as text: anything that is not a whole number gives 40.
// The program entry and the main window's creation read it before the device settings window
// exists, so that the first paint of the map already uses it.
int ReadOverlayFontSize(const IniFile& ini);
