#pragma once

#include "QtBenchmarkMain.h"

#include "platform/AppPaths.h"
#include "platform/DataPaths.h"
#include "platform/Dialogs.h"
#include "platform/ScriptedDialogs.h"

#include <QTemporaryDir>

#include <cstdlib>

// The main of a benchmark that runs the program's windows: a temporary HOME with the settings
// file in it (the data folders below it), dialogs that never wait for a person, then the widget
// benchmarks; `beforeTheApplicationEnds` as there.
inline int RunProgramBenchmarks(int argc, char** argv,
                                const std::function<void()>& beforeTheApplicationEnds = {}) {
    QTemporaryDir home;
    setenv("HOME", home.path().toLocal8Bit().constData(), 1);
    AppPaths::setApplicationFolder(home.path().toStdString());
    BuildDataPaths();
    ScriptedDialogs dialogs;
    Dialogs::install(&dialogs);
    const int result = RunWidgetBenchmarks(argc, argv, beforeTheApplicationEnds);
    Dialogs::install(nullptr);
    return result;
}
