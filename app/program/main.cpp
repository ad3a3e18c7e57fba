#include "app/main_window/ProgramRestart.h"
#include "app/main_window/TFNav.h"
#include "app/program/ProgramStart.h"

#include "platform/DataPaths.h"
#include "platform/NumericLocale.h"
#include "platform/ProcessMemory.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    BoundTheHeapForADayOfSurveying();
    // The day's folders are fixed from the date at start, before anything else runs.
    BuildDataPaths();
    const EntrySettings settings = ReadEntrySettings();
    QApplication application(argc, argv);
    ResetNumericLocale();
    const int result = RunProgramEntry([&settings] {
        ApplyStartStyle(settings.ThemeStyle);
        QApplication::setApplicationName(QStringLiteral("Tavrin SD"));
        WatchEndRequests();
        CreateApplicationWindows();
        FNav->show();
        return QApplication::exec();
    });
    DestroyApplicationWindows();
    StopWatchingEndRequests();
    // Only now are the auto-save and the settings written and the ports closed.
    StartRequestedRestart();
    return result;
}
