// The main window's Import command: KML/KMZ, XYZ and DXF files onto map layers.
#include "app/TFNav.h"

#include "app/ImportCommand.h"
#include "canvas/TTavrinCanvas.h"
#include "platform/AppPaths.h"
#include "platform/Dialogs.h"
#include "platform/ErrorBoundary.h"
#include "platform/EventLog.h"
#include "platform/IniFile.h"

#include <QAction>

#include <memory>

namespace {

// Qt's filter form; Linux names are case-sensitive, so capitals are listed too.
const QString ImportFilter = QStringLiteral(
    "KML/KMZ Files [*.kml;*.kmz] (*.kml *.kmz *.KML *.KMZ);;"
    "XYZ Files [*.xyz;*.txt;*.csv] (*.xyz *.txt *.csv *.XYZ *.TXT *.CSV);;"
    "AutoCAD 2018 DXF [*.dxf] (*.dxf *.DXF);;"
    "All Files [*.*] (*)");

// The datum and projection texts the KML import converts with. Until the device settings
// window carries its geodetic edits, they are the texts it stores.
GeodeticEditTexts CurrentGeodeticEdits() {
    const IniFile ini(AppPaths::settingsFile());
    const QString section = QStringLiteral("GEODETIC_PARAMETERS");
    auto read = [&](const char* key) { return ini.readString(section, QLatin1String(key)); };
    GeodeticEditTexts edits;
    edits.edSMA = read("SemiMajorAxis");
    edits.edIF = read("InverseFlattening");
    edits.edPPM = read("Scale_PPM");
    edits.edRX = read("X_Rotation");
    edits.edRY = read("Y_Rotation");
    edits.edRZ = read("Z_Rotation");
    edits.edSX = read("X_Shift");
    edits.edSY = read("Y_Shift");
    edits.edSZ = read("Z_Shift");
    edits.edCM = read("Central_Meridian");
    edits.edRL = read("Reference_Latitude");
    edits.edSF = read("Scale_Factor");
    edits.edFE = read("False_Easting");
    edits.edFN = read("False_Northing");
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
