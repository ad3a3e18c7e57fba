#include "tools/ScreenshotMapTools.h"
#include "tools/ScreenshotArea.h"

#include "app/main_window/TFNav.h"
#include "app/runlines/TfRunline1.h"

#include "canvas/TTavrinCanvas.h"

#include "tests/support/EventLoopWait.h"

#include <QApplication>
#include <QLineEdit>
#include <QPixmap>
#include <QRadioButton>
#include <QScreen>

QStringList SaveMapToolPictures(const QString& output) {
    if (!FNav || !FNav->fcad || !fRunline1)
        return {};
    TTavrinCanvas* canvas = FNav->fcad;
    canvas->WorldSet(-100, 500, 700, -100);

    // A route drawn as the operator draws it, handed to the window at the drawing's end.
    fRunline1->show();
    // The window's show restores its stored position; this picture wants it beside the map.
    fRunline1->move(FNav->frameGeometry().right() + 10, FNav->y() + 40);
    fRunline1->rbParallel->setChecked(true);
    fRunline1->eSpacing->setText(QStringLiteral("25"));
    fRunline1->eLength->setText(QStringLiteral("100"));
    fRunline1->bDrawRouteClick();
    fRunline1->SetRoutePoints({{0, 0}, {250, 50}, {350, 250}, {600, 300}});
    // Over the other tool windows that the start shows.
    FNav->raise();
    fRunline1->raise();
    RunEventsFor(500);
    const QString runline = output + QStringLiteral("/runline.png");
    if (!SaveScreenArea(runline, FNav->frameGeometry() | fRunline1->frameGeometry()))
        return {};
    fRunline1->hide();

    FNav->HideChrome();
    RunEventsFor(800);
    const QString compact = output + QStringLiteral("/compact.png");
    const bool saved = SaveScreenArea(compact, FNav->frameGeometry());
    FNav->RestoreChrome();
    if (!saved)
        return {};
    return {runline, compact};
}
