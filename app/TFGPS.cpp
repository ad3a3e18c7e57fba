#include "app/TFGPS.h"

TFGPS* FGPS = nullptr;

TFGPS::TFGPS(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("FGPS"));
    setWindowTitle(QStringLiteral("Settings"));
    resize(640, 480);
}
