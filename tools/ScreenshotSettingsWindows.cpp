#include "tools/ScreenshotSettingsWindows.h"

#include "app/settings_windows/TFShape.h"
#include "app/settings_windows/TNavset.h"

#include <QPixmap>

QStringList SaveSettingsWindowPictures(const QString& output) {
    const struct {
        QWidget* form;
        const char* file;
    } windows[] = {{Navset, "navigation-settings.png"}, {FShape, "vessel-shape.png"}};
    QStringList written;
    for (const auto& window : windows) {
        if (!window.form)
            return {};
        const QString file = output + QLatin1Char('/') + QString::fromLatin1(window.file);
        const QPixmap picture = window.form->grab();
        if (picture.isNull() || !picture.save(file, "PNG"))
            return {};
        written << file;
    }
    return written;
}
