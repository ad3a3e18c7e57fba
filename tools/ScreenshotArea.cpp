#include "tools/ScreenshotArea.h"

#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QWidget>

#include <cstdio>

bool SaveScreenArea(const QString& file, const QRect& area) {
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return false;
    const QPixmap picture = screen->grabWindow(0).copy(area & screen->geometry());
    return !picture.isNull() && picture.save(file, "PNG");
}

bool SaveWindowPicture(QWidget* window, const QString& file) {
    if (!window)
        return false;
    const QPixmap picture = window->grab();
    if (picture.isNull() || !picture.save(file, "PNG"))
        return false;
    std::printf("%s\n", file.toLocal8Bit().constData());
    return true;
}
