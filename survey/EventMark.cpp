#include "survey/EventMark.h"

#include "canvas/CanvasModel.h"
#include "platform/DateTimeText.h"
#include "platform/EventLog.h"
#include "platform/IniFile.h"
#include "platform/NumberText.h"

#include <algorithm>

namespace {

const QString Section = QStringLiteral("EVENTS");
const QString NumberKey = QStringLiteral("Event Number");

std::string MarkTimeText(const LocalDateTime& when) {
    const bool midnight =
        when.hour == 0 && when.minute == 0 && when.second == 0 && when.millisecond == 0;
    return midnight ? DateText(when) : DateText(when) + " " + TimeText(when);
}

} // namespace

std::string EventMarkEntry(int number, const LocalDateTime& when, double easting, double northing,
                           const std::string& depthHigh, const std::string& depthLow,
                           double gridHeading) {
    return "\nEvent No:" + std::to_string(number) + ",Date & Time:" + MarkTimeText(when) +
           ",Easting:" + FormatLogFixed(easting, 2) + ",Northing:" + FormatLogFixed(northing, 2) +
           ",True Depth:" + depthHigh + ",True Depth:" + depthLow +
           ",Heading:" + FormatLogFixed(gridHeading, 2);
}

EventMarkResult AddEventMark(CanvasModel& canvas, const QString& settingsFile,
                             const std::string& eventsLogPath, const EventMarkValues& values) {
    EventMarkResult result;
    {
        IniFile ini(settingsFile);
        result.number = ini.readInteger(Section, NumberKey, 0) + 1;
        canvas.AddEventLabel(values.easting, values.northing, result.number);
        ini.writeInteger(Section, NumberKey, result.number);
        if (!ini.flush()) {
            result.error = "Unable to write to " + settingsFile.toStdString();
            return result;
        }
    }
    const std::string entry =
        EventMarkEntry(result.number, Clock::now(), values.easting, values.northing,
                       values.depthHigh, values.depthLow, values.gridHeading);
    // Through the events log's own writer, so that a mark made while the disk is full waits in
    // memory behind the entries before it instead of being lost or going in out of order.
    result.logged = AppendEventsLogLine(entry.substr(1), eventsLogPath);
    if (!result.logged) {
        const std::vector<WaitingEventsLog> waiting = WaitingEventsLogLines();
        const bool waits = std::any_of(waiting.begin(), waiting.end(), [&](const auto& log) {
            return log.path == eventsLogPath;
        });
        result.error = "Event " + std::to_string(result.number) + " was not written to " +
                       eventsLogPath +
                       (waits ? ": it waits in memory for room on the disk and goes in once there "
                                "is room"
                              : "");
    }
    return result;
}

bool ResetEventNumber(const QString& settingsFile, const std::string& eventsLogPath) {
    {
        IniFile ini(settingsFile);
        ini.writeInteger(Section, NumberKey, 0);
        if (!ini.flush())
            return false;
    }
    AutoEventLog("Event number was reset.", eventsLogPath);
    return true;
}
