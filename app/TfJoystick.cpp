#include "app/TfJoystick.h"

TfJoystick* fJoystick = nullptr;

TfJoystick::TfJoystick(QWidget* parent) : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("fJoystick"));
    setWindowTitle(QStringLiteral("Battery"));
    resize(131, 42);
    // Created visible.
    show();
}
