#include "settings/DisplaySettings.h"

#include "platform/IniFile.h"
#include "platform/NumberText.h"

#include <algorithm>
#include <cmath>
#include <limits>

int ReadOverlayFontSize(const IniFile& ini) {
    const QString text = ini.readString(QStringLiteral("OVERLAY_SETTINGS"),
                                        QStringLiteral("FontSize"), QStringLiteral("40"));
    int size = 40;
    // Blanks around the number are passed over, as for every other whole number in the file.
    if (!ParseInteger(text.trimmed(), size))
        size = 40;
    return size;
}

namespace {

std::string TrimmedText(const std::string& text) {
    return QString::fromStdString(text).trimmed().toStdString();
}

} // namespace

double GridSpacingFromText(const std::string& text) {
    double spacing = 0;
    if (!ParseNumber(TrimmedText(text), spacing) || !std::isfinite(spacing) || spacing < 0.01)
        return 100.0;
    return spacing;
}

int IntegerSettingFromText(const std::string& text, int fallback) {
    int value = 0;
    return ParseInteger(TrimmedText(text), value) ? value : fallback;
}

double NumberSettingFromText(const std::string& text, double fallback) {
    double value = 0;
    return ParseNumber(TrimmedText(text), value) && std::isfinite(value) ? value : fallback;
}

ScreenshotTimerSetting ScreenshotTimerFromSeconds(int64_t seconds) {
    constexpr int64_t longestSeconds = std::numeric_limits<int>::max() / 1000;
    ScreenshotTimerSetting setting;
    setting.running = seconds > 0;
    setting.intervalMs = int(std::clamp<int64_t>(seconds, 1, longestSeconds) * 1000);
    return setting;
}

ScreenshotTimerSetting ScreenshotTimerFromText(const std::string& text) {
    int64_t seconds = 0;
    if (!ParseInteger64(TrimmedText(text), seconds))
        seconds = 60;
    return ScreenshotTimerFromSeconds(seconds);
}
