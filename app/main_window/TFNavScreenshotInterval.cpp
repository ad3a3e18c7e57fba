#include "app/devices/TFGPS.h"
#include "app/main_window/TFNav.h"
#include "settings/DisplaySettings.h"

#include "platform/IniFile.h"

#include <QLineEdit>
#include <QSignalBlocker>
#include <QTimer>

void TFNav::ApplyStoredScreenshotInterval(const IniFile& ini) {
    const QString stored =
        ini.readString(QStringLiteral("SCREENSHOT"), QStringLiteral("Interval"), QStringLiteral("60"));
    // 0 or less stops the timer, a text that is no whole number gives 60 s, and an interval
    // too long for the timer runs at the longest one it holds.
    const ScreenshotTimerSetting timer = ScreenshotTimerFromText(stored.toStdString());
    tScreenshot->setInterval(timer.intervalMs);
    if (timer.running)
        tScreenshot->start();
    else
        tScreenshot->stop();
    // The settings window only writes the interval; this is where its edit learns it.
    if (FGPS && FGPS->eScreenshotInterval) {
        const QSignalBlocker blocker(FGPS->eScreenshotInterval);
        FGPS->eScreenshotInterval->setText(stored);
    }
}
