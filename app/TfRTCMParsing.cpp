#include "app/TfRTCMParsing.h"

TfRTCMParsing* fRTCMParsing = nullptr;

TfRTCMParsing::TfRTCMParsing(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("fRTCMParsing"));
    setWindowTitle(QStringLiteral("RTCM Message Parser"));
    resize(624, 441);
}
