#pragma once

#include <QString>

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>

class CanvasModel;

// The texts of the device settings' datum and transverse Mercator edits, as typed.
struct GeodeticEditTexts {
    QString edSMA, edIF, edPPM, edRX, edRY, edRZ, edSX, edSY, edSZ;
    QString edCM, edRL, edSF, edFE, edFN;
};

// The parameter texts of the geodesy routines (GeodesyText.h) made from the edits.
struct GeodeticParameterTexts {
    std::string Datum;
    std::string Projection;
    std::string Ellipsoid;
};
GeodeticParameterTexts GeodeticParameterTextsOf(const GeodeticEditTexts& edits);

// Whether the edits the KML import converts with (the ellipsoid, the datum and transverse
// Mercator; never the Lambert ones) each hold a usable number; `reason` names the first that
// does not.
bool CheckImportGeodeticEdits(const GeodeticEditTexts& edits, std::string& reason);

// Memory one accepted line of an XYZ file takes in the import, for the import budget.
uint64_t XyzImportCostPerPoint();

// Converts a WGS 84 latitude and longitude with the edits' datum and projection. X and Y keep
// their values when the geodesy gives no finite number for them.
void GeoToGrid(const GeodeticEditTexts& edits, double lat, double lon, double& x, double& y);

// The main window's "Import...": one KML/KMZ, XYZ or DXF file onto a layer named after it.
//
// The import layer is emptied and refilled only once the route's checks have passed and its
// file has been read, so a refused file leaves an earlier import of it on the map. The DXF
// reader fills its own layer; the import layer is then only opened when missing.
class ImportCommand {
public:
    struct Services {
        CanvasModel* Canvas = nullptr;
        // Read once per KML/KMZ import, when it begins.
        std::function<GeodeticEditTexts()> GeodeticEdits;
        // The file's modification time in nanoseconds; nullopt when it cannot be had.
        std::function<std::optional<int64_t>(const std::string& path)> FileTime;
        std::function<void(const QString& path)> ShowProjectFolder;
        // Whether every geodetic edit holds a usable number; `reason` names the first that
        // does not. Unset: only the semi-major axis and central meridian are checked.
        std::function<bool(QString* reason)> GeodeticParametersValid;
        // The import budget's limit (drawing_io/ImportBudget.h); 0 takes the machine's share.
        uint64_t ImportBudgetBytes = 0;
        // The events log file the command's lines go to.
        std::function<std::string()> EventsLog;
    };

    explicit ImportCommand(Services services);

    // Runs the route for `path`. False for the two early ends (missing datum parameters,
    // unchanged XYZ file), after which the standard layers are not checked.
    bool Run(const QString& path);

    // The layer name for a path: the file name without its folder and its last extension.
    static QString ImportLayerName(const QString& path);

    // Per path, the modification time at its last XYZ import.
    std::map<std::string, int64_t> XyzImportTimes;

private:
    bool RunKml(const QString& path, const QString& layerName);
    bool RunXyz(const QString& path, const QString& layerName);
    void RunDxf(const QString& path, const QString& layerName);
    // Empties the named layer, or opens it; action value 15.
    int PrepareImportLayer(const QString& layerName);
    bool LayerHoldsShapes(const QString& layerName) const;
    void Log(const std::string& text) const;

    Services services_;
};

// The modification time of a file in nanoseconds (stat's st_mtim).
std::optional<int64_t> FileModificationTimeNs(const std::string& path);
