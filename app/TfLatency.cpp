#include "app/TfLatency.h"

TfLatency* fLatency = nullptr;

TfLatency::TfLatency(QWidget* parent) : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("fLatency"));
    setWindowTitle(QStringLiteral("Latency"));
    resize(220, 120);
}
