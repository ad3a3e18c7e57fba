#include "platform/ScreenshotNames.h"

#include <cstdio>
#include <set>

std::vector<std::string> MonitorLabels(const std::vector<MonitorRect>& monitors) {
    std::vector<std::string> labels;
    labels.reserve(monitors.size());
    if (monitors.size() == 1) {
        labels.emplace_back("Primary");
        return labels;
    }
    std::set<std::string> used;
    for (size_t i = 0; i < monitors.size(); ++i) {
        int left = 0, right = 0, above = 0, below = 0;
        for (size_t j = 0; j < monitors.size(); ++j) {
            if (j == i)
                continue;
            if (monitors[j].left < monitors[i].left)
                ++left;
            if (monitors[j].left > monitors[i].left)
                ++right;
            if (monitors[j].top < monitors[i].top)
                ++above;
            if (monitors[j].top > monitors[i].top)
                ++below;
        }
        const std::string position = std::to_string(i + 1);
        std::string label;
        if (left == 0 && right > 0)
            label = "Left";
        else if (right == 0 && left > 0)
            label = "Right";
        else if (left > 0 && right > 0)
            label = "Middle";
        else if (above == 0 && below > 0)
            label = "Top";
        else if (below == 0 && above > 0)
            label = "Bottom";
        else
            label = "Monitor" + position;
        if (!used.insert(label).second) {
            label += position;
            used.insert(label);
        }
        labels.push_back(label);
    }
    return labels;
}

std::string ScreenshotFileName(const std::string& folder, const LocalDateTime& when,
                               const std::string& label) {
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "%04d-%02d-%02d %02d%02d%02d", when.year, when.month,
                  when.day, when.hour, when.minute, when.second);
    return folder + "VXQ " + stamp + " " + label + ".png";
}

std::string ScreenshotFolder(const std::string& dayFolder) {
    return dayFolder + "PNG/";
}
