// The compact view: the realtime window's hide button or a double-click in the GNSS status box
// shows the map alone, without tool bars, status panel, menu or border; a second double-click
// there or Escape brings it all back. The realtime window's hide button shows image 1 meanwhile.

#include "app/main_window/TFNav.h"

#include "app/settings_windows/TNavset.h"
#include "app/survey_windows/SurveyStateAccess.h"
#include "app/survey_windows/TfRealtime.h"
#include "app/survey_windows/TfWaterfal.h"

#include <QFrame>
#include <QMenuBar>
#include <QToolBar>

void TFNav::HideChrome() {
    tRealtime->hide();
    tDraw->hide();
    tShape->hide();
    pRealtime->hide();
    // Closing the navigation settings window stores its settings.
    if (Navset)
        Navset->close();
    setWindowFlag(Qt::FramelessWindowHint, true);
    menuBar()->hide();
    // Changing a window flag hides the window; it comes back at once.
    show();
    if (fWaterfal)
        fWaterfal->hide();
    if (fRealtime) {
        fRealtime->SetbtHideImageIndex(1);
        fRealtime->hide();
    }
    chromeHidden_ = true;
}

void TFNav::RestoreChrome() {
    tRealtime->show();
    tDraw->show();
    pRealtime->show();
    if (Navset)
        Navset->show();
    setWindowFlag(Qt::FramelessWindowHint, false);
    menuBar()->show();
    show();
    chromeHidden_ = false;
    if (fRealtime)
        fRealtime->SetbtHideImageIndex(0);
    if (fWaterfal && SurveyAcquisitionState().EchogramActive)
        fWaterfal->show();
    tShape->show();
}
