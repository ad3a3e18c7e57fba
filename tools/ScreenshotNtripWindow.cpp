#include "tools/ScreenshotNtripWindow.h"

#include "app/ntrip/TfRTCMParsing.h"
#include "app/ntrip/TfrmNTRIPSettings.h"
#include "tests/support/EventLoopWait.h"
#include "tools/ScreenshotArea.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPixmap>
#include <QThread>

#include <cstdio>


bool SaveNtripScreenshots(const QString& folder) {
    if (!frmNTRIPSettings)
        return false;
    QElapsedTimer waited;
    waited.start();
    while (!frmNTRIPSettings->windowTitle().contains(QStringLiteral("Receiving Data")) &&
           waited.elapsed() < 20000)
        RunEventsFor(100);
    if (!frmNTRIPSettings->windowTitle().contains(QStringLiteral("Receiving Data")))
        std::fprintf(stderr, "the NTRIP window did not reach \"Receiving Data\"\n");
    frmNTRIPSettings->show();
    RunEventsFor(1500); // counters and progress move
    if (!SaveWindowPicture(frmNTRIPSettings, folder + QStringLiteral("/ntrip.png")))
        return false;
    frmNTRIPSettings->Button1Click();
    RunEventsFor(300);
    return fRTCMParsing && SaveWindowPicture(fRTCMParsing, folder + QStringLiteral("/rtcm-report.png"));
}
