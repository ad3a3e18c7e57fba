// The compact view: the realtime window's hide button or a double-click in the GNSS status box
// shows the map alone, without tool bars, status panel, menu or border; a second double-click
// there or Escape brings it all back. The realtime window's hide button shows image 1 meanwhile.

#include "app/main_window/TFNav.h"

#include "app/settings_windows/TNavset.h"
#include "app/survey_windows/SurveyStateAccess.h"
#include "app/survey_windows/TfRealtime.h"
#include "app/survey_windows/TfWaterfal.h"
#include "app/widgets/TavrinKeyboard.h"

#include <QFrame>
#include <QMenuBar>
#include <QToolBar>
#include <QWindow>

void TFNav::setBorderShown(bool shown) {
    Qt::WindowFlags flags = windowFlags();
    flags.setFlag(Qt::FramelessWindowHint, !shown);
    QWindow* handle = windowHandle();
    if (!handle || !isVisible()) {
        setWindowFlags(flags);
        return;
    }
    // Told to the window system while the window stays on the screen. Setting the widget's
    // flag hides the window and shows it again at once, and a window manager busy enough to
    // see the two out of order lets go of the window: no border, no place of its own.
    overrideWindowFlags(flags);
    handle->setFlags(flags);
}

void TFNav::HideChrome() {
    tRealtime->hide();
    tDraw->hide();
    tShape->hide();
    pRealtime->hide();
    // Closing the navigation settings window stores its settings.
    if (Navset)
        Navset->close();
    setBorderShown(false);
    menuBar()->hide();
    // The panels were placed over the status bar's edge of a client area that is gone now.
    for (QWidget* panel :
         {static_cast<QWidget*>(NumericKeypad), static_cast<QWidget*>(SimpleKeyboard)})
        if (panel)
            panel->hide();
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
    setBorderShown(true);
    menuBar()->show();
    chromeHidden_ = false;
    if (fRealtime)
        fRealtime->SetbtHideImageIndex(0);
    if (fWaterfal && SurveyAcquisitionState().EchogramActive)
        fWaterfal->show();
    tShape->show();
}
