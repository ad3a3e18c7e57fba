#include "app/TfRealtime.h"

#include "app/TFGPS.h"

#include "platform/ErrorBoundary.h"

#include <QFrame>
#include <QTimer>

TfRealtime* fRealtime = nullptr;

TfRealtime::TfRealtime(QWidget* parent) : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("fRealtime"));
    setWindowTitle(QStringLiteral("Realtime Data"));
    resize(192, 382);

    LowFreqFrame = new QFrame(this);
    LowFreqFrame->setObjectName(QStringLiteral("LowFreqFrame"));
    LowFreqFrame->setGeometry(0, 289, 192, 98);
    LowFreqFrame->setVisible(false);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setSingleShot(true);
    Timer1->setInterval(10000);
    connect(Timer1, &QTimer::timeout, this, [this] { ErrorBoundary::run([this] { Timer1Timer(); }); });
    Timer1->start();
}

void TfRealtime::ShowLowFreqFrame() {
    if (!LowFreqFrame->isHidden())
        return;
    LowFreqFrame->setVisible(true);
    resize(width(), 387);
}

void TfRealtime::HideLowFreqFrame() {
    if (LowFreqFrame->isHidden())
        return;
    LowFreqFrame->setVisible(false);
    resize(width(), 289);
}

void TfRealtime::Timer1Timer() {
    if (Timer1) {
        Timer1->deleteLater();
        Timer1 = nullptr;
    }
    if (FGPS)
        FGPS->cSBESMessageChange(TFGPS::TypeChangeSource::DelayedStart);
}
