#include "tests/support/TestEnvironment.h"

#include "platform/AppPaths.h"
#include "platform/DataPaths.h"
#include "platform/Dialogs.h"
#include "platform/ProcessMemory.h"
#include "platform/NumericLocale.h"

#include <QApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>

namespace {
QTemporaryDir* homeDir = nullptr;
ScriptedDialogs* scripted = nullptr;
} // namespace

QString TestEnvironment::home() {
    return homeDir->path();
}

QString TestEnvironment::settingsFile() {
    return homeDir->path() + QStringLiteral("/TavrinSD.INI");
}

ScriptedDialogs& TestEnvironment::dialogs() {
    return *scripted;
}

int main(int argc, char** argv) {
    // As the program does: the long runs measure its memory.
    BoundTheHeapForADayOfSurveying();
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QTemporaryDir home;
    if (!home.isValid())
        return 2;
    homeDir = &home;
    setenv("HOME", home.path().toLocal8Bit().constData(), 1);

    QApplication application(argc, argv);
    ResetNumericLocale();
    // Everything the program keeps beside itself (settings, NTRIP profiles, language files,
    // sound velocity lists) goes into this process's own folder: tests run in parallel from
    // one shared executable folder and must neither see nor leave each other's files there.
    AppPaths::setApplicationFolder(home.path().toStdString());
    BuildDataPaths();

    ScriptedDialogs dialogs;
    scripted = &dialogs;
    Dialogs::install(&dialogs);

    ::testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    Dialogs::install(nullptr);
    return result;
}
