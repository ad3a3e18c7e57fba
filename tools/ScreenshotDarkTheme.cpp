#include "tools/ScreenshotDarkTheme.h"
#include "tools/ScreenshotArea.h"

#include "app/main_window/TFNav.h"
#include "app/settings_windows/TNavset.h"
#include "app/widgets/StyleManager.h"
#include "app/widgets/TfTheme.h"

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
    const bool saved = SaveScreenArea(file, main | Navset->frameGeometry());
    ChooseTheme(styleBefore);
    RunEventsFor(300);
    if (!saved)
        return {};
    return {file};
}
