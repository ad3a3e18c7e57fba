#include "app/widgets/TfTheme.h"

#include "app/widgets/StyleManager.h"
#include "app/widgets/ThemeWindowLinks.h"

#include "platform/AppPaths.h"
#include "platform/Dialogs.h"
#include "platform/ErrorBoundary.h"
#include "platform/FormState.h"
#include "platform/IniFile.h"

#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QVBoxLayout>

TfTheme* fTheme = nullptr;

TfTheme::TfTheme(ThemeWindowLinks* links, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint),
      Links(links) {
    setObjectName(QStringLiteral("fTheme"));
    setWindowTitle(QStringLiteral("Theme Selection"));
    setFixedSize(320, 612);

    gThemeFrame = new QGroupBox(QStringLiteral("Select Theme"), this);
    gThemeFrame->setObjectName(QStringLiteral("gThemeFrame"));
    gThemeFrame->setGeometry(8, 8, 304, 552);
    auto* frameLayout = new QVBoxLayout(gThemeFrame);
    lbThemeList = new QListWidget(gThemeFrame);
    lbThemeList->setObjectName(QStringLiteral("lbThemeList"));
    frameLayout->addWidget(lbThemeList, 1);
    lInfo = new QLabel(QStringLiteral("Available themes: 0. Select to preview."), gThemeFrame);
    lInfo->setObjectName(QStringLiteral("lInfo"));
    frameLayout->addWidget(lInfo);

    bSaveExit = new QPushButton(QStringLiteral("Save && Exit"), this);
    bSaveExit->setObjectName(QStringLiteral("bSaveExit"));
    bSaveExit->setGeometry(8, 572, 148, 32);
    bCancel = new QPushButton(QStringLiteral("Cancel"), this);
    bCancel->setObjectName(QStringLiteral("bCancel"));
    bCancel->setGeometry(164, 572, 148, 32);

    // A selection by mouse or keys previews, as a click does.
    connect(lbThemeList, &QListWidget::currentRowChanged, this,
            [this] { ErrorBoundary::run([this] { lbThemeListClick(); }); });
    connect(bSaveExit, &QPushButton::clicked, this,
            [this] { ErrorBoundary::run([this] { bSaveExitClick(); }); });
    connect(bCancel, &QPushButton::clicked, this,
            [this] { ErrorBoundary::run([this] { bCancelClick(); }); });
}

void TfTheme::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (const std::optional<QPoint> centre = Links ? Links->MainWindowCentre() : std::nullopt)
        PlaceCentredOn(this, *centre);
    ErrorBoundary::run([this] { FormShow(); });
}

void TfTheme::keyPressEvent(QKeyEvent* event) {
    if (event->key() != Qt::Key_Escape) {
        QWidget::keyPressEvent(event);
        return;
    }
    ErrorBoundary::run([this] { bCancelClick(); });
}

void TfTheme::FormShow() {
    ThemeAtShow = StyleManager::activeStyleName();
    // Selecting the active entry is no preview.
    const QSignalBlocker blocker(lbThemeList);
    lbThemeList->clear();
    const QStringList names = StyleManager::styleNames();
    lbThemeList->addItems(names);
    lInfo->setText(QStringLiteral("Available themes: %1. Select to preview.").arg(names.size()));
    const int active = names.indexOf(ThemeAtShow);
    if (!names.isEmpty())
        lbThemeList->setCurrentRow(active >= 0 ? active : 0);
}

void TfTheme::lbThemeListClick() {
    QListWidgetItem* item = lbThemeList->currentItem();
    if (!item)
        return;
    // A style that cannot be applied is told by the style manager and leaves the current one.
    try {
        StyleManager::trySetStyle(item->text(), true);
        // The map follows the panel colour of whatever style is active now.
        if (Links)
            Links->RepaintMapBackground();
    } catch (...) {
    }
}

void TfTheme::bSaveExitClick() {
    if (QListWidgetItem* item = lbThemeList->currentItem()) {
        IniFile ini(AppPaths::settingsFile());
        ini.writeString(QStringLiteral("APPLICATION"), QStringLiteral("ThemeStyle"), item->text());
        if (!ini.flush())
            Dialogs::showError(QStringLiteral("Cannot write the settings file %1: the theme is "
                                              "not kept for the next start.")
                                   .arg(AppPaths::settingsFile()));
    }
    close();
}

void TfTheme::bCancelClick() {
    try {
        StyleManager::trySetStyle(ThemeAtShow, true);
        // The map follows the panel colour of whatever style is active now.
        if (Links)
            Links->RepaintMapBackground();
    } catch (...) {
    }
    close();
}
