#include "app/TfRunline1.h"

TfRunline1* fRunline1 = nullptr;

TfRunline1::TfRunline1(QWidget* parent) : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("fRunline1"));
    setWindowTitle(QStringLiteral("Runline Generator"));
    resize(320, 280);
}
