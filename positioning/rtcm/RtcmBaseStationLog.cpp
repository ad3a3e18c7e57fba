#include "positioning/rtcm/RtcmBaseStationLog.h"

#include "platform/AppPaths.h"
#include "platform/Clock.h"
#include "platform/DateTimeText.h"
#include "platform/FileIO.h"
#include "platform/NumberText.h"

#include <cstdio>
#include <filesystem>

namespace {

// "2417: 41.01234567, 28.97654321, 45.12m"
std::string StationText(int32_t stationId, const Wgs84Position& position) {
    return std::to_string(stationId) + ": " + FormatFixed(position.latitude, 8, 12) + ", " +
           FormatFixed(position.longitude, 8, 12) + ", " + FormatFixed(position.height, 2, 10) +
           "m";
}

std::string LogFolderOfDate(const std::string& date) {
    return AppPaths::dataRoot() + date + "/LOG/";
}

// Base-station entries carry the seconds of the time and then a literal "000".
std::string EntryTimeText(const LocalDateTime& t) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d%02d%02d000", t.hour, t.minute, t.second);
    return DateText(t) + " " + text;
}

// The events log is small; a file past this size is not something to load and rewrite.
constexpr size_t MaximumEventsLogSize = size_t(256) << 20;

} // namespace

std::string BaseStationLogLine(int32_t stationId, const Wgs84Position& position) {
    return "Base #" + StationText(stationId, position);
}

std::string BaseStationEventsLogPath() {
    const std::string date = DateText(Clock::now());
    return LogFolderOfDate(date) + date + " Events.log";
}

std::vector<std::string> SplitLogLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        const size_t feed = text.find('\n', start);
        if (feed == std::string::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        size_t end = feed;
        if (end > start && text[end - 1] == '\r')
            --end;
        lines.push_back(text.substr(start, end - start));
        start = feed + 1;
    }
    return lines;
}

bool WriteBaseStationEntry(int32_t stationId, const Wgs84Position& position) {
    namespace fs = std::filesystem;
    // One reading of the clock, so that the folder, the file and the entry agree at midnight.
    const LocalDateTime now = Clock::now();
    const std::string date = DateText(now);
    const std::string folder = LogFolderOfDate(date);
    const std::string path = folder + date + " Events.log";

    std::error_code error;
    if (!fs::is_directory(folder, error))
        return false; // the folder is not created here: no entry

    std::vector<std::string> lines;
    if (fs::exists(fs::symlink_status(path, error)) || fs::exists(path, error)) {
        // A log that exists but cannot be read must not be replaced by the new entry alone.
        const auto content = ReadWholeFile(path, MaximumEventsLogSize);
        if (!content)
            return false;
        lines = SplitLogLines(*content);
    }
    lines.push_back("Auto Event:\t" + EntryTimeText(now) + "\tNTRIP Base Station #" +
                    StationText(stationId, position));

    std::string text;
    for (const std::string& line : lines)
        text += line + "\r\n";
    return WriteFileAtomically(path, text);
}
