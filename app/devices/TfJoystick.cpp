#include "app/devices/TfJoystick.h"

#include "app/devices/TFGPS.h"

#include "platform/ErrorBoundary.h"
#include "platform/NumberText.h"

#include <QComboBox>
#include <QFont>
#include <QLabel>
#include <QTimer>

TfJoystick* fJoystick = nullptr;

TfJoystick::TfJoystick(const TFGPS* deviceSettings, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint),
      DeviceSettings(deviceSettings) {
    setObjectName(QStringLiteral("fJoystick"));
    setWindowTitle(QStringLiteral("Battery"));
    setFixedSize(131, 42);

    pBattery = new QLabel(this);
    pBattery->setObjectName(QStringLiteral("pBattery"));
    // A panel whose caption is the battery value: never translated.
    pBattery->setProperty("designClass", QStringLiteral("TPanel"));
    pBattery->setGeometry(0, 0, 131, 41);
    pBattery->setAlignment(Qt::AlignCenter);
    pBattery->setFrameShape(QFrame::Panel);
    pBattery->setFrameShadow(QFrame::Raised);
    QFont font(QStringLiteral("Segoe UI"));
    font.setPixelSize(13);
    font.setBold(true);
    pBattery->setFont(font);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1000);
    connect(Timer1, &QTimer::timeout, this, [this] { ErrorBoundary::run([this] { Timer1Timer(); }); });
    Timer1->start();

    // Created visible.
    show();
}

void TfJoystick::Timer1Timer() {
    // Only the sounder type that sends a battery value keeps the window on the screen; the
    // window has no way back of its own.
    if (!DeviceSettings ||
        DeviceSettings->cSBESMessage->currentText() != QLatin1String("Tavrin SMT"))
        hide();
}

void TfJoystick::ShowBatteryValue(double value) {
    pBattery->setText(QString::fromStdString(FormatFixed(value, 2)));
}
