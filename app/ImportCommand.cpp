#include "app/ImportCommand.h"

#include "canvas/CanvasModel.h"
#include "drawing_io/DXFLoad.h"
#include "drawing_io/TTavrinKMZLoader.h"
#include "drawing_io/XyzImportReader.h"
#include "platform/Dialogs.h"
#include "platform/EventLog.h"
#include "platform/NumberText.h"
#include "positioning/geodesy/GeodesyText.h"

#include <QFileInfo>

#include <sys/stat.h>

#include <cmath>
#include <vector>

namespace {

constexpr int ImportLayerAction = 15;

std::string Text(const QString& text) {
    return text.toStdString();
}

std::string PathText(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

} // namespace

void GeoToGrid(const GeodeticEditTexts& e, double lat, double lon, double& x, double& y) {
    const std::string datum = "6378137.0  0.0033528106647474  0.0  0.0  0.0  0.0  0.0  0.0  0.0 " +
                              Text(e.edSMA) + " " + Text(e.edIF) + " " + Text(e.edPPM) + " " +
                              Text(e.edRX) + " " + Text(e.edRY) + " " + Text(e.edRZ) + " " +
                              Text(e.edSX) + " " + Text(e.edSY) + " " + Text(e.edSZ);
    const std::string ellipsoid = "6378137.0 0.0033528106647474 " + Text(e.edSMA) + " " + Text(e.edIF);
    const std::string projection = Text(e.edCM) + " " + Text(e.edRL) + " " + Text(e.edSF) + " " +
                                   Text(e.edFE) + " " + Text(e.edFN);
    const std::string point = FormatGeneral(lat) + " " + FormatGeneral(lon);
    const std::string result = GeodeticToGrid(point, datum, projection, ellipsoid);
    // Locale-free, and only finite numbers reach the map.
    double* outputs[2] = {&x, &y};
    size_t pos = 0;
    for (double* output : outputs) {
        while (pos < result.size() && (result[pos] == ' ' || result[pos] == '\t'))
            ++pos;
        size_t end = pos;
        while (end < result.size() && result[end] != ' ' && result[end] != '\t')
            ++end;
        double value = 0;
        if (end == pos || !ParseNumber(std::string_view(result).substr(pos, end - pos), value))
            return;
        *output = value;
        pos = end;
    }
}

std::optional<int64_t> FileModificationTimeNs(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0)
        return std::nullopt;
    return int64_t(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec;
}

ImportCommand::ImportCommand(Services services) : services_(std::move(services)) {}

QString ImportCommand::ImportLayerName(const QString& path) {
    return QFileInfo(path).completeBaseName();
}

bool ImportCommand::Run(const QString& path) {
    const QString layerName = ImportLayerName(path);
    const QString ext = QFileInfo(path).suffix().toLower();
    if (ext == QLatin1String("kml") || ext == QLatin1String("kmz"))
        return RunKml(path, layerName);
    if (ext == QLatin1String("xyz") || ext == QLatin1String("txt") || ext == QLatin1String("csv"))
        return RunXyz(path, layerName);
    RunDxf(path, layerName);
    return true;
}

int ImportCommand::PrepareImportLayer(const QString& layerName) {
    CanvasModel& canvas = *services_.Canvas;
    int layer = canvas.LayerFindByName(layerName);
    if (layer >= 0)
        canvas.CadClearShapes(layer);
    else
        layer = canvas.LayerOpen(layerName);
    canvas.SetLayerAction(layer, ImportLayerAction);
    return layer;
}

bool ImportCommand::LayerHoldsShapes(const QString& layerName) const {
    const CanvasModel& canvas = *services_.Canvas;
    const int layer = canvas.LayerFindByName(layerName);
    if (layer < 0)
        return false;
    for (size_t i = 0; i < canvas.Shapes.size(); ++i)
        if (canvas.Shapes[i]->LayerId == layer)
            return true;
    return false;
}

void ImportCommand::Log(const std::string& text) const {
    AutoEventLog(text, services_.EventsLog ? services_.EventsLog() : EventsLogPath());
}

bool ImportCommand::RunKml(const QString& path, const QString& layerName) {
    const QString datumMessage = QStringLiteral(
        "Please configure datum parameters in GPS Settings before importing KML/KMZ files.");
    const GeodeticEditTexts edits = services_.GeodeticEdits();
    if (edits.edSMA.isEmpty() || edits.edCM.isEmpty()) {
        Dialogs::showMessage(datumMessage);
        return false;
    }
    // Malformed edits would put every point at a wrong place, or drop them all silently.
    QString reason;
    if (services_.GeodeticParametersValid && !services_.GeodeticParametersValid(&reason)) {
        Dialogs::showMessage(datumMessage + QStringLiteral("\n") + reason);
        return false;
    }
    TTavrinKMZLoader loader;
    loader.OnProject = [this](double lat, double lon, double& x, double& y) {
        GeoToGrid(services_.GeodeticEdits(), lat, lon, x, y);
    };
    if (!loader.LoadFromFile(PathText(path))) {
        Dialogs::showMessage(QStringLiteral("Failed to load KML/KMZ file: ") +
                             QString::fromStdString(loader.LastError));
        return true;
    }
    loader.ProjectAllPoints();
    CanvasModel& canvas = *services_.Canvas;
    const int layer = PrepareImportLayer(layerName);
    for (const TKMLPoint& point : loader.GetAllPoints())
        if (point.X != 0 || point.Y != 0)
            canvas.DrawPoint(point.X, point.Y, layer);
    for (const std::vector<TKMLPoint>& line : loader.GetAllLines()) {
        std::vector<std::pair<double, double>> pairs;
        for (const TKMLPoint& point : line)
            if (point.X != 0 || point.Y != 0)
                pairs.emplace_back(point.X, point.Y);
        if (pairs.size() >= 2)
            canvas.DrawPolyline(pairs, layer, false);
    }
    for (const TKMLPlacemark& placemark : loader.Placemarks) {
        if (placemark.Name.empty())
            continue;
        const QString name = QString::fromStdString(placemark.Name);
        for (const TKMLGeometry& geometry : placemark.Geometries) {
            if (geometry.Points.empty())
                continue;
            const TKMLPoint& first = geometry.Points.front();
            if (first.X != 0 || first.Y != 0)
                canvas.TextAdd(layer, name, first.X, first.Y, 0);
        }
    }
    Log("Imported KML/KMZ: " + Text(path) + " to layer: " + Text(layerName));
    if (services_.ShowProjectFolder)
        services_.ShowProjectFolder(path);
    canvas.WorldExtents();
    return true;
}

bool ImportCommand::RunXyz(const QString& path, const QString& layerName) {
    const std::string key = Text(path);
    const std::optional<int64_t> time =
        services_.FileTime ? services_.FileTime(PathText(path)) : std::nullopt;
    const int64_t stamp = time.value_or(0);
    // Unchanged only while its earlier import is still on the map.
    const auto known = XyzImportTimes.find(key);
    if (known != XyzImportTimes.end() && known->second == stamp && LayerHoldsShapes(layerName)) {
        Dialogs::showMessage(QStringLiteral("File unchanged since last import. Skipping."));
        return false;
    }
    std::vector<XyzImportPoint> points;
    if (!ReadXyzImportFile(PathText(path),
                           [&](const XyzImportPoint& point) { points.push_back(point); })) {
        Dialogs::showMessage(QStringLiteral("Failed to open XYZ file: ") + path);
        return true;
    }
    XyzImportTimes[key] = stamp;
    CanvasModel& canvas = *services_.Canvas;
    const int layer = PrepareImportLayer(layerName);
    for (const XyzImportPoint& point : points) {
        const int32_t pointId = canvas.DrawPoint(point.X, point.Y, layer);
        if (pointId > 0) {
            canvas.SetShapePointSize(pointId, 1);
            canvas.SetShapePenWidth(pointId, 1);
        }
        const int32_t textId = canvas.TextAdd(
            layer, QString::fromStdString(FormatFixed(point.Z, 2)), point.X, point.Y, 0);
        if (textId > 0) {
            canvas.SetShapeTextAlign(textId, 1);
            canvas.SetShapeTextJustify(textId, 1);
        }
    }
    Log("Imported XYZ: " + key + " (" + std::to_string(points.size()) +
        " points) to layer: " + Text(layerName));
    if (services_.ShowProjectFolder)
        services_.ShowProjectFolder(path);
    canvas.WorldExtents();
    return true;
}

void ImportCommand::RunDxf(const QString& path, const QString& layerName) {
    CanvasModel& canvas = *services_.Canvas;
    // The drawing goes to the reader's own layer; the import layer is never emptied here, so
    // bay.dxf leaves the points of bay.xyz alone.
    if (canvas.LayerFindByName(layerName) < 0)
        canvas.SetLayerAction(canvas.LayerOpen(layerName), ImportLayerAction);
    DxfLoadReport report;
    DXFLoadReplace(canvas, path, &report);
    if (services_.ShowProjectFolder)
        services_.ShowProjectFolder(path);
    // The reader read the file when it gives no reason.
    if (report.Reason.empty())
        Log("Imported DXF: " + Text(path));
    else
        Log("DXF import failed: " + Text(path) + " (" + report.Reason + ")");
}
