#include "app/main_window/ProgramRestart.h"

#include "platform/EventLog.h"
#include "platform/Shell.h"

#include <QCoreApplication>

namespace {
bool requested = false;
}

void RequestRestart() {
    requested = true;
}

bool RestartRequested() {
    return requested;
}

bool StartRequestedRestart() {
    if (!requested)
        return false;
    requested = false;
    const QString program = QCoreApplication::applicationFilePath();
    if (Shell::startProgram(program, {}))
        return true;
    AutoEventLog("Restart: cannot start " + program.toStdString(), EventsLogPath());
    return false;
}
