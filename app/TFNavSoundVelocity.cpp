// The main window's sound velocity command.
#include "app/TFNav.h"

#include "app/TfSVP.h"
#include "platform/ErrorBoundary.h"

#include <QAction>

void TFNav::BindSoundVelocityHandlers() {
    connect(SoundVelocityProfile1, &QAction::triggered, this,
            [this] { ErrorBoundary::run([this] { SoundVelocityProfile1Click(); }); });
}

void TFNav::SoundVelocityProfile1Click() {
    // The window is made at start; it keeps its lists while hidden.
    if (!fSVP)
        return;
    fSVP->show();
    fSVP->raise();
}
