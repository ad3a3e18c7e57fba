#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// Reads the placemarks of a KML document, or of the KML document inside a KMZ archive, into
// plain records: names, descriptions and point, line-string and polygon geometries with their
// geographic and projected coordinates. Texts are UTF-8.
//
// The document is not parsed as XML: a small, fixed set of elements (Placemark, name,
// description, Point, LineString, Polygon, coordinates) is found by name, with or without a
// namespace prefix and attributes. Of a polygon only the first ring (the outer one) is read.
// Archives are read in memory: nothing is written to disk.

struct TKMLPoint {
    double Lat = 0; // second number of the coordinate tuple
    double Lon = 0; // first number
    double Alt = 0; // third number, 0 when absent or not a number
    double X = 0;   // written by the projection callback
    double Y = 0;
};

struct TKMLGeometry {
    int Kind = 0; // 0 point, 1 line string, 2 polygon
    std::vector<TKMLPoint> Points;
};

struct TKMLPlacemark {
    std::string Name;
    std::string Description;
    // All points first, then line strings, then polygons, each group in document order.
    std::vector<TKMLGeometry> Geometries;
};

// Converts latitude and longitude to grid coordinates; leaves X and Y alone when it cannot.
using TProjectPointEvent = std::function<void(double Lat, double Lon, double& X, double& Y)>;

class TTavrinKMZLoader {
public:
    TTavrinKMZLoader() = default;
    ~TTavrinKMZLoader();

    std::string LastError;
    // The import budget's limit (drawing_io/ImportBudget.h) for one document: its text, the
    // records kept here and the shapes the import makes of them are estimated before the
    // placemarks are read and counted as they are. 0 takes the machine's share.
    uint64_t MaxImportBytes = 0;
    // The memory the last document was estimated to take, by the budget's rule.
    uint64_t EstimatedImportBytes = 0;
    // Stays empty: archives are read in memory.
    std::string TempFolder;
    TProjectPointEvent OnProject;
    std::vector<TKMLPlacemark> Placemarks;

    // True when at least one placemark was stored; otherwise LastError says why (empty when
    // the document simply holds no usable placemark). A document past the import budget is
    // refused before its placemarks are read, LastError naming the estimate and the limit.
    bool LoadFromFile(const std::string& path);
    void ProjectAllPoints();
    std::vector<TKMLPoint> GetAllPoints() const;
    std::vector<std::vector<TKMLPoint>> GetAllLines() const;

    // The KML text of an archive, decoded to UTF-8; empty on failure (LastError says why) and
    // for an empty document.
    std::string ExtractKmz(const std::string& path);
    std::string ExtractKmzFromMemory(std::string_view bytes);
    // The placemarks of the document, within the import budget.
    void CleanupTempFolder();
    bool ParseKml(std::string_view text);
    void ParseGeometry(std::string_view placemarkText, TKMLPlacemark& placemark);
    void ParseCoordinates(std::string_view coordinatesText, std::vector<TKMLPoint>& points);

private:
    // The name the budget's refusal gives the document.
    std::string SourceName_ = "The KML document";
};

// The memory a KML document's placemarks will take on the map and on the way there, by the
// import budget's rule, from a count of its coordinate tuples and geometries.
uint64_t EstimateKmlImportBytes(std::string_view text);
