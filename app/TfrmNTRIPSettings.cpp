#include "app/TfrmNTRIPSettings.h"

TfrmNTRIPSettings* frmNTRIPSettings = nullptr;

TfrmNTRIPSettings::TfrmNTRIPSettings(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("frmNTRIPSettings"));
    setWindowTitle(QStringLiteral("Tavrin NTRIP Client"));
    resize(640, 520);
}
