// Pictures of the device settings window, one per page, and of the battery window, for
// tavrin_screenshot.

#include "tools/ScreenshotDeviceWindows.h"

#include "app/devices/TFGPS.h"
#include "app/devices/TfJoystick.h"

#include "tests/support/EventLoopWait.h"

#include <QPixmap>
#include <QTabWidget>

namespace {

bool Save(QWidget* window, const QString& file, QStringList& saved) {
    const QPixmap picture = window->grab();
    if (picture.isNull() || !picture.save(file, "PNG"))
        return false;
    saved << file;
    return true;
}

} // namespace

bool SaveDeviceWindowScreenshots(const QString& output, QStringList& saved) {
    if (!FGPS || !fJoystick)
        return false;
    const char* pages[] = {"gps", "sensor", "geodetic", "global", "monitor"};
    FGPS->show();
    for (int i = 0; i < FGPS->SettingTabs->count() && i < int(std::size(pages)); ++i) {
        FGPS->SettingTabs->setCurrentIndex(i);
        RunEventsFor(200);
        if (!Save(FGPS, output + QStringLiteral("/device-settings-%1.png").arg(pages[i]), saved))
            return false;
    }
    FGPS->SettingTabs->setCurrentWidget(FGPS->tGlobalSetting);
    FGPS->hide();

    // The panel stays empty until the sounder's first battery value: show one.
    fJoystick->ShowBatteryValue(12.5);
    fJoystick->show();
    RunEventsFor(200);
    return Save(fJoystick, output + QStringLiteral("/battery.png"), saved);
}
