#include "tools/ScreenshotNtripWindow.h"

#include "app/TfRTCMParsing.h"
#include "app/TfrmNTRIPSettings.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPixmap>
#include <QThread>

#include <cstdio>

namespace {

void RunEventsFor(int milliseconds) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < milliseconds) {
        QApplication::processEvents(QEventLoop::AllEvents, 50);
        QThread::msleep(20);
    }
}

bool Save(QWidget* window, const QString& file) {
    const QPixmap picture = window->grab();
    if (picture.isNull() || !picture.save(file, "PNG"))
        return false;
    std::printf("%s\n", file.toLocal8Bit().constData());
    return true;
}

} // namespace

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
    if (!Save(frmNTRIPSettings, folder + QStringLiteral("/ntrip.png")))
        return false;
    frmNTRIPSettings->Button1Click();
    RunEventsFor(300);
    return fRTCMParsing && Save(fRTCMParsing, folder + QStringLiteral("/rtcm-report.png"));
}
