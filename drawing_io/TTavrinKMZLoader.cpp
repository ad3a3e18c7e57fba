#include "drawing_io/TTavrinKMZLoader.h"

#include "canvas/TTPoint.h"
#include "canvas/TTPolyline.h"
#include "canvas/TTText.h"
#include "drawing_io/ImportBudget.h"
#include "drawing_io/KmlText.h"
#include "platform/FileIO.h"
#include "platform/NumberText.h"

#include <cstdint>
#include <optional>

namespace {

struct GeometryPass {
    std::string_view Tag;
    int Kind;
};
constexpr GeometryPass GeometryPasses[] = {{"Point", 0}, {"LineString", 1}, {"Polygon", 2}};

// The coordinate tuples of a text: its tokens (between characters at or below the blank) that
// hold a comma.
size_t CountKmlTuples(std::string_view text) {
    size_t tuples = 0;
    bool counted = false; // the current token already has its comma
    for (const char c : text) {
        if (static_cast<unsigned char>(c) <= 32) {
            counted = false;
        } else if (c == ',' && !counted) {
            ++tuples;
            counted = true;
        }
    }
    return tuples;
}

} // namespace

TTavrinKMZLoader::~TTavrinKMZLoader() {
    CleanupTempFolder();
}

bool TTavrinKMZLoader::LoadFromFile(const std::string& path) {
    Placemarks.clear();
    LastError.clear();
    SourceName_ = path;
    const size_t dot = path.rfind('.');
    const size_t slash = path.rfind('/');
    std::string ext;
    if (dot != std::string::npos && (slash == std::string::npos || dot > slash))
        ext = KmlLowerAscii(path.substr(dot));
    if (ext == ".kmz") {
        const std::string text = ExtractKmz(path);
        if (text.empty())
            return false;
        const bool result = ParseKml(text);
        CleanupTempFolder();
        return result;
    }
    std::string error;
    std::optional<std::string> bytes = ReadWholeFile(path, KmlMaxBytes, &error);
    if (!bytes) {
        if (error == "the file does not exist")
            LastError = "File not found: " + path;
        else if (error == "the file is too large")
            LastError = "KML file too large";
        else
            LastError = "Failed to read KML file: " + path + " (" + error + ")";
        return false;
    }
    const bool result = ParseKml(DecodeOwnedKmlBytes(std::move(*bytes)));
    CleanupTempFolder();
    return result;
}

void TTavrinKMZLoader::CleanupTempFolder() {
    // Nothing is ever unpacked to disk; kept for callers that clean up after a load.
}

bool TTavrinKMZLoader::ParseKml(std::string_view text) {
    Placemarks.clear();
    LastError.clear();
    if (text.empty()) {
        LastError = "Empty KML content";
        return false;
    }
    ImportBudget budget(SourceName_, MaxImportBytes);
    EstimatedImportBytes = EstimateKmlImportBytes(text);
    if (!budget.Charge(EstimatedImportBytes)) {
        LastError = budget.Refusal();
        return false;
    }
    size_t pos = 0;
    for (;;) {
        const KmlTagSpan open = FindKmlOpenTag(text, "Placemark", pos);
        if (open.Begin == std::string_view::npos)
            break;
        if (open.SelfClosing) {
            pos = open.End;
            continue;
        }
        const KmlTagSpan close = FindKmlCloseTag(text, "Placemark", open.End);
        if (close.Begin == std::string_view::npos)
            break;
        const std::string_view body = text.substr(open.End, close.Begin - open.End);
        pos = close.End;

        TKMLPlacemark placemark;
        for (auto [tag, field] :
             {std::pair<std::string_view, std::string*>{"name", &placemark.Name},
              {"description", &placemark.Description}}) {
            const KmlTagSpan start = FindKmlOpenTag(body, tag, 0);
            if (start.Begin == std::string_view::npos || start.SelfClosing)
                continue;
            const KmlTagSpan end = FindKmlCloseTag(body, tag, start.End);
            if (end.Begin == std::string_view::npos)
                continue;
            *field = KmlElementText(body.substr(start.End, end.Begin - start.End));
        }
        ParseGeometry(body, placemark);
        if (placemark.Geometries.empty())
            continue;
        // The texts, kept here and as one label text on the map.
        const size_t textBytes = placemark.Name.size() + placemark.Description.size();
        if (!budget.Charge(textBytes + ImportBudget::TextBytes(placemark.Name.size()))) {
            Placemarks.clear();
            LastError = budget.Refusal();
            return false;
        }
        Placemarks.push_back(std::move(placemark));
    }
    if (Placemarks.empty()) {
        const std::string link = KmlLinkTarget(text);
        if (!link.empty())
            LastError = "the document holds no placemark; it only links to " + link;
    }
    return !Placemarks.empty();
}

uint64_t EstimateKmlImportBytes(std::string_view text) {
    // Tuples are the tokens holding a comma; geometries each have one coordinates element and
    // may carry a label; a Point makes a point shape of its tuple, a line string or polygon
    // one polyline of all of them.
    const uint64_t tuples = CountKmlTuples(text);
    const auto count = [text](std::string_view word) {
        uint64_t n = 0;
        for (size_t at = text.find(word); at != std::string_view::npos;
             at = text.find(word, at + word.size()))
            ++n;
        return n;
    };
    // Each element is counted at its opening and at its closing tag.
    const uint64_t geometries = (count("coordinates>") + 1) / 2;
    const uint64_t points = (count("Point>") + 1) / 2;
    return text.size() +
           tuples * (sizeof(TKMLPoint) + ImportBudget::VertexBytes) +
           points * ImportBudget::ShapeBytes(sizeof(TTPoint)) +
           geometries * (sizeof(TKMLGeometry) + ImportBudget::ShapeBytes(sizeof(TTPolyline)) +
                         ImportBudget::ShapeBytes(sizeof(TTText)));
}

void TTavrinKMZLoader::ParseGeometry(std::string_view body, TKMLPlacemark& placemark) {
    for (const GeometryPass& pass : GeometryPasses) {
        size_t pos = 0;
        for (;;) {
            const KmlTagSpan open = FindKmlOpenTag(body, pass.Tag, pos);
            if (open.Begin == std::string_view::npos)
                break;
            if (open.SelfClosing) {
                pos = open.End;
                continue;
            }
            const KmlTagSpan close = FindKmlCloseTag(body, pass.Tag, open.End);
            if (close.Begin == std::string_view::npos)
                break;
            const std::string_view inner = body.substr(open.End, close.Begin - open.End);
            pos = close.End;
            const KmlTagSpan coordsOpen = FindKmlOpenTag(inner, "coordinates", 0);
            if (coordsOpen.Begin == std::string_view::npos || coordsOpen.SelfClosing)
                continue;
            const KmlTagSpan coordsClose = FindKmlCloseTag(inner, "coordinates", coordsOpen.End);
            if (coordsClose.Begin == std::string_view::npos)
                continue;
            TKMLGeometry geometry;
            geometry.Kind = pass.Kind;
            ParseCoordinates(inner.substr(coordsOpen.End, coordsClose.Begin - coordsOpen.End),
                             geometry.Points);
            if (!geometry.Points.empty())
                placemark.Geometries.push_back(std::move(geometry));
        }
    }
}

void TTavrinKMZLoader::ParseCoordinates(std::string_view text, std::vector<TKMLPoint>& points) {
    // Room for every tuple at once (a line string is stored without slack); only tokens with a
    // comma count, so no text sizes the list beyond the points it can give.
    const size_t tuples = CountKmlTuples(text);
    points.reserve(points.size() + tuples);
    size_t pos = 0;
    while (pos < text.size()) {
        while (pos < text.size() && static_cast<unsigned char>(text[pos]) <= 32)
            ++pos;
        size_t end = pos;
        while (end < text.size() && static_cast<unsigned char>(text[end]) > 32)
            ++end;
        const std::string_view token = text.substr(pos, end - pos);
        pos = end;
        const size_t comma = token.find(',');
        if (token.empty() || comma == std::string_view::npos)
            continue;
        const std::string_view first = token.substr(0, comma);
        const std::string_view remainder = token.substr(comma + 1);
        const size_t comma2 = remainder.find(',');
        const std::string_view second = remainder.substr(0, comma2);
        const std::string_view third =
            comma2 == std::string_view::npos ? std::string_view("0") : remainder.substr(comma2 + 1);
        // A tuple without a readable longitude or latitude is dropped: reading it as 0 would put
        // the point thousands of kilometres off.
        double lon = 0, lat = 0, alt = 0;
        if (!ParseNumber(first, lon) || !ParseNumber(second, lat))
            continue;
        if (lat < -90 || lat > 90 || lon < -180 || lon > 180)
            continue;
        if (lat == 0 && lon == 0)
            continue;
        if (!ParseNumber(third, alt))
            alt = 0;
        TKMLPoint point;
        point.Lat = lat;
        point.Lon = lon;
        point.Alt = alt;
        if (OnProject)
            OnProject(point.Lat, point.Lon, point.X, point.Y);
        points.push_back(point);
    }
}

void TTavrinKMZLoader::ProjectAllPoints() {
    if (!OnProject)
        return;
    for (TKMLPlacemark& placemark : Placemarks)
        for (TKMLGeometry& geometry : placemark.Geometries)
            for (TKMLPoint& point : geometry.Points)
                OnProject(point.Lat, point.Lon, point.X, point.Y);
}

std::vector<TKMLPoint> TTavrinKMZLoader::GetAllPoints() const {
    std::vector<TKMLPoint> points;
    for (const TKMLPlacemark& placemark : Placemarks)
        for (const TKMLGeometry& geometry : placemark.Geometries)
            if (geometry.Kind == 0)
                points.insert(points.end(), geometry.Points.begin(), geometry.Points.end());
    return points;
}

std::vector<std::vector<TKMLPoint>> TTavrinKMZLoader::GetAllLines() const {
    std::vector<std::vector<TKMLPoint>> lines;
    for (const TKMLPlacemark& placemark : Placemarks)
        for (const TKMLGeometry& geometry : placemark.Geometries)
            if ((geometry.Kind == 1 || geometry.Kind == 2) && geometry.Points.size() >= 2)
                lines.push_back(geometry.Points);
    return lines;
}
