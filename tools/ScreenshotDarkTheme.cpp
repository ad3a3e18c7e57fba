#include "tools/ScreenshotDarkTheme.h"
#include "tools/ScreenshotArea.h"

#include "app/main_window/TFNav.h"
#include "app/settings_windows/TNavset.h"
#include "app/widgets/StyleManager.h"
#include "app/widgets/TfTheme.h"
#include "canvas/MapDisplaySettings.h"
#include "canvas/TTavrinCanvas.h"
#include "survey/MapStatusText.h"

#include "tests/support/EventLoopWait.h"

#include <QListWidget>

namespace {

// As the operator does: the chooser's preview, which also gives the map the theme's panel
// colour, then the title-bar close, which keeps the preview and stores nothing.
bool ChooseTheme(const QString& name) {
    FNav->themeSelection1->trigger();
    const auto items = fTheme->lbThemeList->findItems(name, Qt::MatchExactly);
    if (items.isEmpty())
        return false;
    fTheme->lbThemeList->setCurrentItem(items.front());
    fTheme->close();
    return StyleManager::activeStyleName() == name;
}

// The map as a survey leaves it: depth labels along the track, two event numbers, the depth and
// speed read-out, the status box of a receiver that lost its fix and the scale bar, drawn on the
// theme's dark background. The map is emptied again afterwards.
bool SaveDarkMapPicture(const QString& file) {
    TTavrinCanvas* map = FNav->fcad;
    if (!map)
        return false;
    const int w = map->ClientWidth;
    const int h = map->ClientHeight;
    map->WorldSet(0, h, w, 0);
    for (int i = 0; i < 14; ++i)
        map->AddDepthLabel(w * (0.12 + 0.05 * i), h * (0.25 + 0.035 * i), 7.6 + 0.41 * i);
    map->AddEventLabel(w * 0.3, h * 0.62, 1);
    map->AddEventLabel(w * 0.62, h * 0.74, 2);
    map->SetCurrentDepth(12.84, 0, true);
    map->SetCurrentSpeed(4.2, true);
    StatusLineValues status;
    status.fixQuality = 0;
    status.speedLabel = "4.2";
    status.satellites = 5;
    status.antennaHeight = 1.85;
    status.tideLabel = "0.00";
    const std::string statusBefore = OverlayStatusText;
    const int qualityBefore = CurrentFixQuality;
    OverlayStatusText = StatusLineText(status);
    CurrentFixQuality = 0;
    map->Refresh();
    RunEventsFor(500);
    const bool saved = SaveScreenArea(file, FNav->frameGeometry());
    OverlayStatusText = statusBefore;
    CurrentFixQuality = qualityBefore;
    map->ClearDepthLabels();
    map->ClearEventLabels();
    map->SetCurrentDepth(0, 0, false);
    map->SetCurrentSpeed(0, false);
    map->Refresh();
    return saved;
}

} // namespace

QStringList SaveDarkThemePictures(const QString& output) {
    if (!FNav || !Navset || !fTheme)
        return {};
    const QString styleBefore = StyleManager::activeStyleName();
    if (!ChooseTheme(QStringLiteral("Dark")))
        return {};
    FNav->raise();
    // Over the map, clear of the tool bars, so that both show in one picture.
    const QRect main = FNav->frameGeometry();
    Navset->show();
    Navset->move(main.right() - Navset->frameGeometry().width() - 40, main.top() + 140);
    Navset->raise();
    RunEventsFor(700);
    const QString file = output + QStringLiteral("/dark-navigation-settings.png");
    bool saved = SaveScreenArea(file, main | Navset->frameGeometry());
    Navset->hide();
    const QString mapFile = output + QStringLiteral("/dark-map.png");
    saved = SaveDarkMapPicture(mapFile) && saved;
    ChooseTheme(styleBefore);
    RunEventsFor(300);
    if (!saved)
        return {};
    return {file, mapFile};
}
