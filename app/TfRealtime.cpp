#include "app/TfRealtime.h"

TfRealtime* fRealtime = nullptr;

TfRealtime::TfRealtime(QWidget* parent) : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("fRealtime"));
    setWindowTitle(QStringLiteral("Realtime Data"));
    resize(192, 382);
}
