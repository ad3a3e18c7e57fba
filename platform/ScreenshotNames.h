#pragma once

#include "platform/Clock.h"

#include <string>
#include <vector>

// Where a monitor sits on the virtual desktop, in pixels.
struct MonitorRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

// The label of each monitor in the order given: "Primary" for a single one; otherwise "Left",
// "Right" or "Middle" by the left edges of the others, else "Top" or "Bottom" by their top
// edges, else "Monitor" and its position from 1. A label already given to an earlier monitor
// gets this monitor's position appended ("Left3"), so that no picture of a tick replaces
// another.
std::vector<std::string> MonitorLabels(const std::vector<MonitorRect>& monitors);

// Folder + "VXQ yyyy-mm-dd hhnnss " + label + ".png".
std::string ScreenshotFileName(const std::string& folder, const LocalDateTime& when,
                               const std::string& label);

// The screenshots' folder under the day's folder.
std::string ScreenshotFolder(const std::string& dayFolder);
