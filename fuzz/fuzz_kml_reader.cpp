// The KML reader over arbitrary bytes, as a document and as a KMZ archive in memory: it must
// neither crash nor store a point outside the coordinate ranges.
#include "drawing_io/KmlText.h"
#include "drawing_io/TTavrinKMZLoader.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    TTavrinKMZLoader loader;
    loader.OnProject = [](double lat, double lon, double& x, double& y) {
        x = lon;
        y = lat;
    };
    loader.ParseKml(DecodeKmlBytes(bytes));
    const std::string text = loader.ExtractKmzFromMemory(bytes);
    if (!text.empty())
        loader.ParseKml(text);
    for (const TKMLPlacemark& placemark : loader.Placemarks)
        for (const TKMLGeometry& geometry : placemark.Geometries)
            for (const TKMLPoint& point : geometry.Points)
                if (!(point.Lat >= -90 && point.Lat <= 90 && point.Lon >= -180 && point.Lon <= 180))
                    std::abort();
    return 0;
}
