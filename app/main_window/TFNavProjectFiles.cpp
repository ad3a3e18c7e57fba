// The main window's project file commands: New, Open, Save, Save As and Exit, the start's
// reload of the last auto-save, and the status bar's folder of the last opened file.

#include "app/main_window/TFNav.h"

#include "app/main_window/LoadedFileFolder.h"
#include "app/main_window/TStatusBar.h"
#include "app/sound_velocity/TfSVP.h"

#include "canvas/TTavrinCanvas.h"

#include "drawing_io/ProjectFile.h"

#include "platform/AppPaths.h"
#include "platform/DataPaths.h"
#include "platform/Dialogs.h"
#include "platform/ErrorBoundary.h"
#include "platform/EventLog.h"
#include "platform/IniFile.h"

#include <QAction>
#include <QCheckBox>
#include <QFileInfo>
#include <QFontMetrics>
#include <QToolButton>

#include <filesystem>

namespace {

const QString ProjectFilter =
    QStringLiteral("Tavrin Helm Suite [*.wjt] (*.wjt);;All Files [*.*] (*)");

// The folder the open and save dialogs start in: the one used last, at first the day's
// project folder.
QString& DialogFolder() {
    static QString folder;
    if (folder.isEmpty())
        folder = QString::fromStdString(ProjectFolder);
    return folder;
}

void RememberFolder(const QString& fileName) {
    DialogFolder() = QFileInfo(fileName).absolutePath();
}

void Log(const QString& text) {
    AutoEventLog(text.toStdString(), EventsLogPath());
}

// Shows and logs a failed save or load: `what` is "Save failed" or "Open failed".
void ReportFailure(const QString& what, const QString& fileName, const std::string& reason) {
    const QString text = what + QStringLiteral(": ") + fileName + QStringLiteral(": ") +
                         QString::fromStdString(reason);
    Log(text);
    Dialogs::showError(text);
}

// Creates a folder with its parents when it is missing; false and the reason when it cannot.
bool EnsureFolder(const std::string& folder, std::string& reason) {
    std::error_code error;
    if (std::filesystem::is_directory(folder, error))
        return true;
    std::filesystem::create_directories(folder, error);
    if (error || !std::filesystem::is_directory(folder)) {
        reason = "cannot create the folder " + folder +
                 (error ? ": " + error.message() : std::string());
        return false;
    }
    return true;
}

// The grid and the vessel symbol are drawn anew by the map and never saved.
void ClearGridAndVessel(TTavrinCanvas* canvas) {
    canvas->CadClearShapes(GridLayerId);
    canvas->CadClearShapes(VesselLayerId);
}

} // namespace

void TFNav::bindProjectFileCommands() {
    const auto bind = [this](auto* sender, auto signal, void (TFNav::*handler)()) {
        connect(sender, signal, this, [this, handler] { ErrorBoundary::run([&] { (this->*handler)(); }); });
    };
    bind(New1, &QAction::triggered, &TFNav::New1Click);
    bind(Open1, &QAction::triggered, &TFNav::Open1Click);
    bind(bOpen, &QToolButton::clicked, &TFNav::Open1Click);
    bind(SaveAs1, &QAction::triggered, &TFNav::SaveAs1Click);
    bind(Exit1, &QAction::triggered, &TFNav::Exit1Click);
    const auto save = [this] { ErrorBoundary::run([this] { Save1Click(); }); };
    connect(Save1, &QAction::triggered, this, save);
    connect(bSave, &QToolButton::clicked, this, save);
}

bool TFNav::Save1Click() {
    if (!fcad)
        return false;
    const std::string name = ProjectFolder + TodayString() + " " + TimeStampHHMM() + ".wjt";
    const QString fileName = QString::fromStdString(name);
    ClearGridAndVessel(fcad);

    // The day's project folder may have been removed during the run.
    ProjectFileResult result;
    if (EnsureFolder(ProjectFolder, result.Reason))
        result = CadSave(*fcad, fileName, -1);
    if (!result.Ok) {
        ReportFailure(QStringLiteral("Save failed"), fileName, result.Reason);
        return false;
    }

    Log(QStringLiteral("Auto-saved: ") + fileName);
    {
        IniFile ini(AppPaths::settingsFile());
        ini.writeString(QStringLiteral("FILE"), QStringLiteral("Last File Saved       "),
                        fileName);
        // Logged, not shown: the closing tells the operator once of a settings file it
        // cannot write.
        if (!ini.flush())
            Log(QStringLiteral("Cannot write the settings file %1: the next start will not "
                               "reload %2")
                    .arg(AppPaths::settingsFile(), fileName));
    }
    setWindowTitle(QStringLiteral("Tavrin Iskandil Masasi - ") + fileName);

    if (fSVP && fSVP->cUseSVP->isChecked()) {
        std::string reason;
        if (!EnsureFolder(SvpFolder, reason) ||
            !fSVP->SaveWorkingLists(SvpFolder + TodayString(), &reason))
            ReportFailure(QStringLiteral("Save failed"), QString::fromStdString(SvpFolder),
                          reason);
    }
    return true;
}

void TFNav::SaveAs1Click() {
    const QString fileName =
        Dialogs::saveFileName(QStringLiteral("Dialog Save"), DialogFolder(), ProjectFilter);
    if (fileName.isEmpty())
        return;
    RememberFolder(fileName);
    if (!fcad)
        return;
    ClearGridAndVessel(fcad);
    const ProjectFileResult result = CadSave(*fcad, fileName, -1);
    if (!result.Ok) {
        ReportFailure(QStringLiteral("Save failed"), fileName, result.Reason);
        return;
    }
    setWindowTitle(QStringLiteral("Tavrin Iskandil Masasi  <") + fileName + QLatin1Char('>'));
    Log(QStringLiteral("Saved As: ") + fileName);
}

void TFNav::Open1Click() {
    const QString fileName =
        Dialogs::openFileName(QStringLiteral("Dialog Open"), DialogFolder(), ProjectFilter);
    if (fileName.isEmpty())
        Abort();
    RememberFolder(fileName);
    if (!fcad)
        return;
    const ProjectFileResult result = CadLoad(*fcad, fileName, -1, -1, 2);
    if (!result.Ok) {
        ReportFailure(QStringLiteral("Open failed"), fileName, result.Reason);
        return;
    }
    ShowProjectFolder(fileName);
    Log(QStringLiteral("Opened file: ") + fileName);
    VesselLayerId = fcad->LayerFindByName(QStringLiteral("~~Tavrin Vessel"));
    if (VesselLayerId != -1)
        fcad->CadClearShapes(VesselLayerId);
    GridLayerId = fcad->LayerFindByName(QStringLiteral("Tavrin Grid"));
    if (GridLayerId != -1)
        fcad->CadClearShapes(GridLayerId);
    fcad->SetLayerAction(UserShapeLayerId, 15);
    EnsureStandardLayers(fcad);
}

void TFNav::New1Click() {
    if (!Dialogs::confirmYesNo(QStringLiteral("Entire layout will be cleared! Continue?")))
        Abort();
    if (!fcad)
        return;
    fcad->CadClearShapes(-1);
    fcad->ClearDepthLabels();
    fcad->ClearEventLabels();
    Log(QStringLiteral("New layout - cleared all shapes"));
    EnsureStandardLayers(fcad);
    fcad->SetLayerAction(UserShapeLayerId, 15);
}

void TFNav::Exit1Click() {
    // The closing steps save the map; a save here as well would write it twice.
    close();
}

bool TFNav::ReloadLastProject(const QString& fileName) {
    const ProjectFileResult result = CadLoad(*fcad, fileName, -1, -1, 0);
    if (!result.Ok) {
        ReportFailure(QStringLiteral("Open failed"), fileName, result.Reason);
        return false;
    }
    ShowProjectFolder(fileName);
    return true;
}

void TFNav::ShowProjectFolder(const QString& fileName) {
    LastLoadedFile = fileName.toStdString();
    if (!sStatusBar || sStatusBar->PanelCount() < 4)
        return;
    // The parent of the folder that holds the file (the day's folder for a project of the
    // day), else the file's own folder; the status bar's click opens the same folder.
    const QString folder = QString::fromStdString(LoadedFileFolder(LastLoadedFile));
    sStatusBar->SetPanelText(3, folder);
    sStatusBar->SetPanelWidth(3, QFontMetrics(sStatusBar->font()).horizontalAdvance(folder) + 20);
}
