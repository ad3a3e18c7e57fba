#include "tools/ScreenshotArea.h"

#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>

bool SaveScreenArea(const QString& file, const QRect& area) {
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return false;
    const QPixmap picture = screen->grabWindow(0).copy(area & screen->geometry());
    return !picture.isNull() && picture.save(file, "PNG");
}
