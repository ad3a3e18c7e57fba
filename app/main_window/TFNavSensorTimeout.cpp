#include "app/main_window/TFNav.h"

#include "app/survey_windows/TfRealtime.h"
#include "app/widgets/TFMsg.h"

#include "platform/EventLog.h"

#include <QGroupBox>

void TFNav::ZSENSORTimeout(QObject*) {
    const QString text = QStringLiteral("Sensor TimeOut.");
    if (FMsg)
        FMsg->AddMessage(text);
    AutoEventLog(text.toStdString(), EventsLogPath());
    if (fRealtime) {
        TfRealtime::SetBoxColour(fRealtime->DepthFrameHi, QColor(255, 0, 0));
        TfRealtime::SetBoxColour(fRealtime->DepthFrameLo, QColor(255, 0, 0));
    }
}
