#include "app/TNavset.h"

TNavset* Navset = nullptr;

TNavset::TNavset(QWidget* parent) : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("Navset"));
    setWindowTitle(QStringLiteral("Navigation Settings"));
    resize(185, 296);
    // Created visible.
    show();
}
