#include "app/TfWaterfal.h"

TfWaterfal* fWaterfal = nullptr;

TfWaterfal::TfWaterfal(QWidget* parent) : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("fWaterfal"));
    setWindowTitle(QStringLiteral("Acoustic Waterfall"));
    resize(400, 200);
}
