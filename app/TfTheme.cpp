#include "app/TfTheme.h"

TfTheme* fTheme = nullptr;

TfTheme::TfTheme(QWidget* parent) : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("fTheme"));
    setWindowTitle(QStringLiteral("Theme Selection"));
    resize(320, 612);
}
