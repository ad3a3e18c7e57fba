#include "app/TFNav.h"

#include "app/TNavset.h"
#include "app/TfRealtime.h"
#include "app/TfWaterfal.h"

#include "app/SurveyStateAccess.h"

#include <QFrame>
#include <QMenuBar>
#include <QToolBar>

void TFNav::EnterCompactView() {
    tRealtime->hide();
    tDraw->hide();
    pRealtime->hide();
    navsetOpenBeforeCompactView_ = Navset && Navset->isVisible();
    if (Navset)
        Navset->close();
    // Changing the frame hides the window; it comes straight back without one.
    const bool visible = isVisible();
    setWindowFlag(Qt::FramelessWindowHint, true);
    menuBar()->hide();
    if (visible)
        show();
    if (fRealtime)
        fRealtime->SetbtHideImageIndex(1);
    if (fWaterfal)
        fWaterfal->hide();
    tShape->hide();
    if (fRealtime)
        fRealtime->hide();
}

void TFNav::RestoreChrome() {
    tRealtime->show();
    tDraw->show();
    tShape->show();
    pRealtime->show();
    const bool visible = isVisible();
    setWindowFlag(Qt::FramelessWindowHint, false);
    menuBar()->show();
    if (visible)
        show();
    if (Navset && navsetOpenBeforeCompactView_)
        Navset->show();
    navsetOpenBeforeCompactView_ = false;
    if (fRealtime)
        fRealtime->SetbtHideImageIndex(0);
    if (fWaterfal && SurveyAcquisitionState().EchogramActive)
        fWaterfal->show();
}
