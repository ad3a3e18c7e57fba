#include "app/TOffsets.h"

TOffsets* Offsets = nullptr;

TOffsets::TOffsets(QWidget* parent) : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("Offsets"));
    setWindowTitle(QStringLiteral("Offsets Essential for Post Processing / Recovery"));
    resize(420, 360);
}
