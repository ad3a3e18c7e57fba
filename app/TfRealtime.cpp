#include "app/TfRealtime.h"

#include "platform/DataPaths.h"
#include "platform/Dialogs.h"
#include "platform/ErrorBoundary.h"
#include "platform/Shell.h"

#include <QDir>
#include <QToolButton>

TfRealtime* fRealtime = nullptr;

TfRealtime::TfRealtime(QWidget* parent) : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("fRealtime"));
    setWindowTitle(QStringLiteral("Realtime Data"));
    resize(192, 382);
    btOpenLogFolder = new QToolButton(this);
    btOpenLogFolder->setObjectName(QStringLiteral("btOpenLogFolder"));
    btOpenLogFolder->setToolTip(QStringLiteral("Open Log Folder"));
    connect(btOpenLogFolder, &QToolButton::clicked, this,
            [this] { ErrorBoundary::run([this] { btOpenLogFolderClick(); }); });
}

void TfRealtime::btOpenLogFolderClick() {
    const QString folder = QString::fromStdString(DayFolder);
    if (!QDir().mkpath(folder)) {
        Dialogs::showError(QStringLiteral("The folder %1 cannot be created.").arg(folder));
        return;
    }
    Shell::openFolder(folder);
}
