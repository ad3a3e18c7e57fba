// The main window's Import command: KML/KMZ, XYZ and DXF files onto map layers.
#include "app/main_window/TFNav.h"

#include "app/devices/TFGPS.h"
#include "app/main_window/ImportCommand.h"
#include "canvas/TTavrinCanvas.h"
#include "platform/Dialogs.h"
#include "platform/ErrorBoundary.h"
#include "platform/EventLog.h"

#include <QAction>
#include <QLineEdit>

#include <memory>

namespace {

// Qt's filter form; Linux names are case-sensitive, so capitals are listed too.
const QString ImportFilter = QStringLiteral(
    "KML/KMZ Files [*.kml;*.kmz] (*.kml *.kmz *.KML *.KMZ);;"
    "XYZ Files [*.xyz;*.txt;*.csv] (*.xyz *.txt *.csv *.XYZ *.TXT *.CSV);;"
    "AutoCAD 2018 DXF [*.dxf] (*.dxf *.DXF);;"
    "All Files [*.*] (*)");

// The datum and projection texts the KML import converts with: the device settings window's
// edits as they stand at this moment (empty before the window exists).
GeodeticEditTexts CurrentGeodeticEdits() {
    GeodeticEditTexts edits;
    if (!FGPS)
        return edits;
    edits.edSMA = FGPS->edSMA->text();
    edits.edIF = FGPS->edIF->text();
    edits.edPPM = FGPS->edPPM->text();
    edits.edRX = FGPS->edRX->text();
    edits.edRY = FGPS->edRY->text();
    edits.edRZ = FGPS->edRZ->text();
    edits.edSX = FGPS->edSX->text();
    edits.edSY = FGPS->edSY->text();
    edits.edSZ = FGPS->edSZ->text();
    edits.edCM = FGPS->edCM->text();
    edits.edRL = FGPS->edRL->text();
    edits.edSF = FGPS->edSF->text();
    edits.edFE = FGPS->edFE->text();
    edits.edFN = FGPS->edFN->text();
    return edits;
}

// Kept for the whole run: the unchanged-file check compares against earlier imports.
ImportCommand& MainImportCommand(TFNav* window) {
    static std::unique_ptr<ImportCommand> command;
    if (!command) {
        ImportCommand::Services services;
        services.Canvas = window->fcad;
        services.GeodeticEdits = &CurrentGeodeticEdits;
        services.FileTime = &FileModificationTimeNs;
        services.ShowProjectFolder = [window](const QString& path) {
            window->ShowProjectFolder(path);
        };
        services.EventsLog = &EventsLogPath;
        command = std::make_unique<ImportCommand>(std::move(services));
    }
    return *command;
}

} // namespace

void TFNav::BindImport() {
    connect(Import1, &QAction::triggered, this,
            [this] { ErrorBoundary::run([this] { Import1Click(); }); });
}

void TFNav::Import1Click() {
    if (!fcad)
        return;
    const QString path = Dialogs::openFileName(QStringLiteral("Import"), QString(), ImportFilter);
    if (!path.isEmpty() && !MainImportCommand(this).Run(path))
        return;
    EnsureStandardLayers(fcad);
}

void TFNav::GeoToGridCallback(double Lat, double Lon, double& X, double& Y) {
    GeoToGrid(CurrentGeodeticEdits(), Lat, Lon, X, Y);
}
