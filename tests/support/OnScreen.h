#pragma once

#include <QApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <QWidget>

// The posted requests to paint and the paints Qt then sends: a pass each, and one more to show
// that nothing else follows.
inline void DeliverPaints() {
    for (int pass = 0; pass < 3; ++pass)
        QApplication::processEvents();
}

// What the screen holds of a shown window, as the platform shows it.
inline QImage OnScreen(QWidget& window) {
    return window.screen()->grabWindow(window.winId()).toImage().convertToFormat(
        QImage::Format_RGB32);
}
