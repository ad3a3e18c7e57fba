#include "tools/ScreenshotSurveyWindows.h"

#include "app/survey_windows/TOffsets.h"
#include "app/survey_windows/TfLatency.h"
#include "app/survey_windows/TfRealtime.h"
#include "app/survey_windows/TfWaterfal.h"
#include "tools/ScreenshotArea.h"
#include "tools/ScreenshotSoundVelocity.h"

#include "survey/LatencyMeter.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>

#include <cmath>

namespace {

bool Save(QWidget* window, const QString& folder, const QString& name) {
    if (!window)
        return false;
    window->show();
    QApplication::processEvents();
    return SaveWindowPicture(window, folder + QLatin1Char('/') + name);
}

} // namespace

bool SaveSurveyWindowScreenshots(const QString& folder) {
    bool saved = true;
    if (Offsets) {
        Offsets->show();
        Offsets->OffsetA->setText(QStringLiteral("0.85"));
        Offsets->OffsetB->setText(QStringLiteral("3.10"));
        Offsets->OffsetC->setText(QStringLiteral("2.25"));
        Offsets->SV->setText(QStringLiteral("1482"));
        Offsets->TideHt->setText(QStringLiteral("0.35"));
        Offsets->Location->setText(QStringLiteral("Harbour entrance"));
        Offsets->SurveyBoat->setText(QStringLiteral("Survey launch 2"));
        Offsets->Surveyor->setText(QStringLiteral("Duty surveyor"));
        Offsets->Timer1Timer();
        saved = Save(Offsets, folder, QStringLiteral("Offsets.png")) && saved;
    }
    if (fRealtime) {
        fRealtime->Fixed->setText(QStringLiteral("RTK Fixed"));
        fRealtime->Speed->setText(QStringLiteral("4.2 kn"));
        fRealtime->SatelliteLabel->setText(QStringLiteral("17"));
        fRealtime->LAntennaH->setText(QStringLiteral("41.237"));
        fRealtime->LTideHt->setText(QStringLiteral("0.412"));
        fRealtime->lDepthHi->setText(QStringLiteral("12.4"));
        fRealtime->lDepthLo->setText(QStringLiteral("12.9"));
        saved = Save(fRealtime, folder, QStringLiteral("fRealtime.png")) && saved;
    }
    if (fLatency) {
        LatencyMeter meter;
        for (int latency : {38, 41, 35, 52, 44}) {
            meter.Start(1000);
            meter.Finish(1000 + latency);
        }
        fLatency->ShowLatency(meter);
        saved = Save(fLatency, folder, QStringLiteral("fLatency.png")) && saved;
    }
    if (fWaterfal) {
        fWaterfal->show();
        // A seabed shoaling from 14 m to 9 m with a ripple, one sounding per column.
        for (int i = 0; i < fWaterfal->DataWidth; ++i)
            DrawEchogram(14.0 - 5.0 * i / fWaterfal->DataWidth + 0.4 * std::sin(i / 3.0), 0.0, 50.0,
                         fWaterfal->DataWidth);
        saved = Save(fWaterfal, folder, QStringLiteral("fWaterfal.png")) && saved;
    }
    saved = SaveSoundVelocityScreenshots(folder) && saved;
    return saved;
}
