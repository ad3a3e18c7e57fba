#include "platform/EventLog.h"

#include "platform/Clock.h"
#include "platform/DataPaths.h"
#include "platform/DateTimeText.h"
#include "platform/FileIO.h"

std::string EventsLogPath() {
    return LogFolder + TodayString() + " Events.log";
}

bool AutoEventLog(const std::string& text, const std::string& fileName) {
    return AppendEventsLogLine("Auto Event:\t" + DateTimeText(Clock::now()) + "\t" + text, fileName);
}

bool AppendEventsLogLine(const std::string& line, const std::string& fileName) {
    return AppendToFile(fileName, "\n" + line);
}
