#include "app/main_window/ImportCommand.h"

#include "canvas/CanvasModel.h"
#include "canvas/TTPoint.h"
#include "canvas/TTText.h"
#include "drawing_io/DXFLoad.h"
#include "drawing_io/ImportBudget.h"
#include "drawing_io/TTavrinKMZLoader.h"
#include "drawing_io/XyzImportReader.h"
#include "platform/Dialogs.h"
#include "platform/EventLog.h"
#include "platform/FileIO.h"
#include "platform/NumberText.h"
#include "positioning/geodesy/GeodesyText.h"
#include "settings/PortPageSettings.h"

#include <QFileInfo>

#include <sys/stat.h>
#include <unistd.h>

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

// A byte-order mark of UTF-16, or a NUL among the first bytes (ASCII digits in UTF-16).
bool LooksLikeUtf16(const std::string& path) {
    const int fd = OpenRegularFileForReading(path);
    if (fd < 0)
        return false;
    char head[512];
    const ssize_t got = ::read(fd, head, sizeof head);
    ::close(fd);
    if (got < 2)
        return false;
    const std::string_view bytes(head, static_cast<size_t>(got));
    return bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF") ||
           bytes.find('\0') != std::string_view::npos;
}

} // namespace

GeodeticParameterTexts GeodeticParameterTextsOf(const GeodeticEditTexts& e) {
    GeodeticParameterTexts texts;
    texts.Datum = "6378137.0  0.0033528106647474  0.0  0.0  0.0  0.0  0.0  0.0  0.0 " +
                  Text(e.edSMA) + " " + Text(e.edIF) + " " + Text(e.edPPM) + " " + Text(e.edRX) +
                  " " + Text(e.edRY) + " " + Text(e.edRZ) + " " + Text(e.edSX) + " " +
                  Text(e.edSY) + " " + Text(e.edSZ);
    texts.Ellipsoid = "6378137.0 0.0033528106647474 " + Text(e.edSMA) + " " + Text(e.edIF);
    texts.Projection = Text(e.edCM) + " " + Text(e.edRL) + " " + Text(e.edSF) + " " +
                       Text(e.edFE) + " " + Text(e.edFN);
    return texts;
}

void GeoToGrid(const GeodeticEditTexts& e, double lat, double lon, double& x, double& y) {
    const GeodeticParameterTexts texts = GeodeticParameterTextsOf(e);
    const std::string point = FormatGeneral(lat) + " " + FormatGeneral(lon);
    const std::string result = GeodeticToGrid(point, texts.Datum, texts.Projection, texts.Ellipsoid);
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

bool CheckImportGeodeticEdits(const GeodeticEditTexts& e, std::string& reason) {
    const std::pair<const char*, const QString*> used[] = {
        {"edSMA", &e.edSMA}, {"edIF", &e.edIF}, {"edPPM", &e.edPPM}, {"edRX", &e.edRX},
        {"edRY", &e.edRY},   {"edRZ", &e.edRZ}, {"edSX", &e.edSX},   {"edSY", &e.edSY},
        {"edSZ", &e.edSZ},   {"edCM", &e.edCM}, {"edRL", &e.edRL},   {"edSF", &e.edSF},
        {"edFE", &e.edFE},   {"edFN", &e.edFN}};
    const auto& edits = GeodeticEdits();
    // In the order of the page, so that the first edit that fails is the one named.
    for (int index = 0; index < GeodeticEditCount; ++index)
        for (const auto& [control, text] : used)
            if (std::string_view(edits[size_t(index)].control) == control &&
                !CheckGeodeticText(index, Text(*text), reason))
                return false;
    return true;
}

uint64_t XyzImportCostPerPoint() {
    // The point kept aside until the file is read (with the list's growth), then a point and
    // its depth label ("-12.34") on the map.
    return 2 * sizeof(XyzImportPoint) + ImportBudget::ShapeBytes(sizeof(TTPoint)) +
           ImportBudget::ShapeBytes(sizeof(TTText)) + ImportBudget::TextBytes(8);
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
    // The values of the edits when the import begins, read once: every point of the file is
    // converted with them.
    const GeodeticEditTexts edits = services_.GeodeticEdits();
    if (edits.edSMA.isEmpty() || edits.edCM.isEmpty()) {
        Dialogs::showMessage(datumMessage);
        return false;
    }
    // Malformed edits would put every point at a wrong place, or drop them all silently. Only
    // the edits the conversion reads are asked for: the ellipsoid, the datum and transverse
    // Mercator.
    std::string reason;
    if (!CheckImportGeodeticEdits(edits, reason)) {
        Dialogs::showMessage(datumMessage + QStringLiteral("\n") + QString::fromStdString(reason));
        return false;
    }
    const GeodeticParameterTexts texts = GeodeticParameterTextsOf(edits);
    const GeodeticToGridConversion conversion(texts.Datum, texts.Projection, texts.Ellipsoid);
    TTavrinKMZLoader loader;
    loader.MaxImportBytes = services_.ImportBudgetBytes;
    if (!loader.LoadFromFile(PathText(path))) {
        Dialogs::showMessage(QStringLiteral("Failed to load KML/KMZ file: ") +
                             QString::fromStdString(loader.LastError.empty()
                                                        ? "the document holds no placemark "
                                                          "with coordinates"
                                                        : loader.LastError));
        return true;
    }
    loader.OnProject = [&conversion](double lat, double lon, double& x, double& y) {
        conversion.Convert(lat, lon, x, y);
    };
    loader.ProjectAllPoints();
    CanvasModel& canvas = *services_.Canvas;
    const int layer = PrepareImportLayer(layerName);
    for (const TKMLPlacemark& placemark : loader.Placemarks)
        for (const TKMLGeometry& geometry : placemark.Geometries)
            if (geometry.Kind == 0)
                for (const TKMLPoint& point : geometry.Points)
                    if (point.X != 0 || point.Y != 0)
                        canvas.DrawPoint(point.X, point.Y, layer);
    std::vector<std::pair<double, double>> pairs;
    for (const TKMLPlacemark& placemark : loader.Placemarks)
        for (const TKMLGeometry& geometry : placemark.Geometries) {
            if (geometry.Kind == 0 || geometry.Points.size() < 2)
                continue;
            pairs.clear();
            for (const TKMLPoint& point : geometry.Points)
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
    ImportBudget budget(PathText(path), services_.ImportBudgetBytes);
    std::string error;
    size_t accepted = 0;
    if (!ReadXyzImportFile(
            PathText(path), [&](const XyzImportPoint& point) { points.push_back(point); },
            &accepted, &error, &budget, XyzImportCostPerPoint())) {
        Dialogs::showMessage(budget.Exceeded()
                                 ? QString::fromStdString(error)
                                 : QStringLiteral("Failed to open XYZ file: ") + path +
                                       QStringLiteral(" (") + QString::fromStdString(error) +
                                       QStringLiteral(")"));
        return true;
    }
    if (accepted == 0) {
        Dialogs::showMessage(QStringLiteral("No points imported from XYZ file: ") + path +
                             QStringLiteral(": no line holds x y z numbers") +
                             (LooksLikeUtf16(PathText(path))
                                  ? QStringLiteral(" (the file is UTF-16 text; save it as UTF-8 "
                                                   "or ASCII)")
                                  : QString()));
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
    DxfLoadOptions options;
    options.MaxImportBytes = services_.ImportBudgetBytes;
    DXFLoadReplace(canvas, path, &report, options);
    if (services_.ShowProjectFolder)
        services_.ShowProjectFolder(path);
    // The reader read the file when it gives no reason.
    if (report.Reason.empty())
        Log("Imported DXF: " + Text(path));
    else if (report.Truncated && report.Committed)
        Log("DXF imported in part: " + Text(path) + " (" + report.Reason + ")");
    else
        Log("DXF import failed: " + Text(path) + " (" + report.Reason + ")");
}
