#include "app/TFShape.h"

TFShape* FShape = nullptr;

TFShape::TFShape(QWidget* parent) : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("FShape"));
    setWindowTitle(QStringLiteral("Vessel Geometry"));
    resize(156, 340);
}
