#include "platform/EventLog.h"

#include "platform/Clock.h"
#include "platform/DataPaths.h"
#include "platform/DateTimeText.h"
#include "platform/DurableLogWriter.h"

#include <iostream>
#include <mutex>

namespace {

// Entries come from the user-interface thread and from the workers (the corrections stream's
// base station): one writer for every events log, one at a time.
std::mutex writerMutex;

DurableLogWriter& Writer() {
    // Its own reports cannot go to the events log it could not write.
    static DurableLogWriter writer([](const std::string& text) { std::cerr << text << '\n'; });
    return writer;
}

} // namespace

std::string EventsLogPath() {
    return LogFolder + TodayString() + " Events.log";
}

bool AutoEventLog(const std::string& text, const std::string& fileName) {
    return AppendEventsLogLine("Auto Event:\t" + DateTimeText(Clock::now()) + "\t" + text, fileName);
}

bool AppendEventsLogLine(const std::string& line, const std::string& fileName) {
    std::lock_guard lock(writerMutex);
    DurableLogWriter& writer = Writer();
    // A missing folder is not the events log's to make (the survey's writers make the day
    // folder again, and tell the operator, before they log it); an entry waits only for room.
    const int log =
        writer.addLog(fileName, std::string(), false, "Events log",
                      {.endsTornLine = false, .makesFolder = false, .waitsOnlyForRoom = true});
    return writer.append(log, "\n" + line);
}

void RetryWaitingEventsLogLines(bool force) {
    std::lock_guard lock(writerMutex);
    Writer().retryPending(force);
}

std::vector<WaitingEventsLog> WaitingEventsLogLines() {
    std::lock_guard lock(writerMutex);
    std::vector<WaitingEventsLog> logs;
    for (const DurableLogWriter::Waiting& waiting : Writer().waiting())
        logs.push_back({waiting.path, waiting.rows});
    return logs;
}
