#include "positioning/rtcm/RtcmBaseStationLog.h"

#include "platform/Clock.h"
#include "platform/DateTimeText.h"
#include "platform/EventLog.h"
#include "platform/NumberText.h"

#include <cstdio>

namespace {

// "2417: 41.01234567, 28.97654321, 45.12m"
std::string StationText(int32_t stationId, const Wgs84Position& position) {
    return std::to_string(stationId) + ": " + FormatLogFixed(position.latitude, 8, 12) + ", " +
           FormatLogFixed(position.longitude, 8, 12) + ", " +
           FormatLogFixed(position.height, 2, 10) + "m";
}

// Base-station entries carry the seconds of the time and then a literal "000".
std::string EntryTimeText(const LocalDateTime& t) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d%02d%02d000", t.hour, t.minute, t.second);
    return DateText(t) + " " + text;
}

} // namespace

std::string BaseStationLogLine(int32_t stationId, const Wgs84Position& position) {
    return "Base #" + StationText(stationId, position);
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
    // The run's events log, like every other entry of the run: a station that shows up after
    // midnight is found beside the marks and the other entries of the survey it belongs to.
    return AppendEventsLogLine("Auto Event:\t" + EntryTimeText(Clock::now()) +
                                   "\tNTRIP Base Station #" + StationText(stationId, position),
                               EventsLogPath());
}
