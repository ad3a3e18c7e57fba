#include "app/TfSVP.h"

TfSVP* fSVP = nullptr;

TfSVP::TfSVP(QWidget* parent) : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("fSVP"));
    setWindowTitle(QStringLiteral("Sound Velocity"));
    resize(703, 369);
}
