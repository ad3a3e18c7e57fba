#include "drawing_io/XYZLoad.h"

#include "canvas/CanvasModel.h"
#include "canvas/TTPoint.h"
#include "canvas/TTRectangle.h"
#include "drawing_io/ImportBudget.h"
#include "drawing_io/XyzImportReader.h"
#include "platform/FileIO.h"

#include <QFile>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <vector>

namespace {

// Files beyond this are refused instead of read into memory whole.
constexpr size_t MaxXyzFileBytes = size_t(2) * 1024 * 1024 * 1024;

struct XyzColumns {
    std::vector<double> X, Y, Z;
};

bool ReadGridLine(std::string_view line, double& x, double& y, double& z) {
    if (line.empty() || line.front() == '#' || line.front() == ';')
        return false;
    std::string text(line);
    std::replace(text.begin(), text.end(), ',', ' ');
    std::string_view rest(text);
    double values[3];
    for (double& value : values) {
        size_t pos = 0;
        while (pos < rest.size() && (rest[pos] == ' ' || rest[pos] == '\t'))
            ++pos;
        rest.remove_prefix(pos);
        const size_t used = ScanXyzNumber(rest, value);
        if (used == 0)
            return false;
        rest.remove_prefix(used);
    }
    x = values[0];
    y = values[1];
    z = values[2];
    return true;
}

void ReadColumns(std::string_view bytes, XyzColumns& columns) {
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF")
        bytes.remove_prefix(3);
    while (!bytes.empty()) {
        size_t end = bytes.find_first_of("\r\n");
        const std::string_view line = bytes.substr(0, end);
        if (end == std::string_view::npos)
            end = bytes.size();
        else if (bytes[end] == '\r' && end + 1 < bytes.size() && bytes[end + 1] == '\n')
            end += 2;
        else
            end += 1;
        bytes.remove_prefix(end);
        double x, y, z;
        if (ReadGridLine(line, x, y, z)) {
            columns.X.push_back(x);
            columns.Y.push_back(y);
            columns.Z.push_back(z);
        }
    }
}

// Smallest non-zero spacing among near neighbours in file order, then the share of near
// spacings that are whole multiples of it: a lattice when at least 80 % are.
bool DetectGrid(const XyzColumns& c, double& stepX, double& stepY) {
    const size_t n = c.X.size();
    if (n <= 10)
        return false;
    const size_t m = std::min<size_t>(n, 1000);
    stepX = stepY = 1e30;
    for (size_t i = 0; i < m; ++i)
        for (size_t j = i + 1; j < m && j < i + 50; ++j) {
            const double dx = std::fabs(c.X[j] - c.X[i]);
            const double dy = std::fabs(c.Y[j] - c.Y[i]);
            if (dx > 1e-9 && dx < stepX)
                stepX = dx;
            if (dy > 1e-9 && dy < stepY)
                stepY = dy;
        }
    if (!(stepX < 1e20 && stepY < 1e20))
        return false;
    long hits = 0;
    long tests = 0;
    for (size_t i = 0; i < m && tests < 100; ++i)
        for (size_t j = i + 1; j < m && j < i + 10; ++j) {
            const double dx = std::fabs(c.X[j] - c.X[i]);
            const double dy = std::fabs(c.Y[j] - c.Y[i]);
            if (dx > 1e-9) {
                ++tests;
                const double r = dx / stepX;
                if (std::fabs(r - std::floor(r + 0.5)) < 0.1)
                    ++hits;
            }
            if (dy > 1e-9) {
                ++tests;
                const double r = dy / stepY;
                if (std::fabs(r - std::floor(r + 0.5)) < 0.1)
                    ++hits;
            }
        }
    return tests > 0 && hits * 100 / tests >= 80;
}

} // namespace

uint32_t ValueColorRamp(double value, double low, double high) {
    double span = high - low;
    if (!(span > 0))
        span = 1;
    double t = (value - low) / span;
    if (!(t >= 0))
        t = 0; // nan lands at the low end too
    if (t > 1)
        t = 1;
    int red = 0, green = 0, blue = 0;
    if (t < 0.25) {
        red = 255;
        green = static_cast<int>(255 * (t / 0.25));
    } else if (t < 0.5) {
        red = static_cast<int>(255 * (1 - (t - 0.25) / 0.25));
        green = 255;
    } else if (t < 0.75) {
        green = 255;
        blue = static_cast<int>(255 * ((t - 0.5) / 0.25));
    } else {
        green = static_cast<int>(255 * (1 - (t - 0.75) / 0.25));
        blue = 255;
    }
    return static_cast<uint32_t>(red) | (static_cast<uint32_t>(green) << 8) |
           (static_cast<uint32_t>(blue) << 16);
}

bool XYZLoadBytes(CanvasModel& canvas, std::string_view bytes, int layerId, double zMin,
                  double zMax) {
    try {
        XyzColumns columns;
        ReadColumns(bytes, columns);
        if (columns.X.empty())
            return false;
        // The columns held (with their growth), then a cell or a point a line on the map.
        ImportBudget budget("The XYZ file");
        if (!budget.Charge(columns.X.size() *
                           (6 * sizeof(double) +
                            ImportBudget::ShapeBytes(std::max(sizeof(TTRectangle), sizeof(TTPoint))))))
            return false;
        if (zMin == 0 && zMax == 0) {
            const auto [low, high] = std::minmax_element(columns.Z.begin(), columns.Z.end());
            zMin = *low;
            zMax = *high;
        }
        double stepX = 0, stepY = 0;
        const bool grid = DetectGrid(columns, stepX, stepY);
        for (size_t i = 0; i < columns.X.size(); ++i) {
            const double x = columns.X[i], y = columns.Y[i], z = columns.Z[i];
            const uint32_t colour = ValueColorRamp(z, zMin, zMax);
            std::unique_ptr<TTShape> shape;
            if (grid) {
                auto cell = std::make_unique<TTRectangle>();
                cell->Type = ShapeType::Rectangle;
                cell->X1 = x - stepX / 2;
                cell->Y1 = y - stepY / 2;
                cell->X2 = x + stepX / 2;
                cell->Y2 = y + stepY / 2;
                cell->ExtraValue = z;
                cell->BrushFg = colour;
                cell->BrushStyle = BrushStyle::Solid;
                cell->UpdateBounds();
                shape = std::move(cell);
            } else {
                auto point = std::make_unique<TTPoint>();
                point->Type = ShapeType::Point;
                point->X = x;
                point->Y = y;
                point->Z = z;
                // Bounds taken at the default size, so a single-pixel point is still found.
                point->UpdateBounds();
                point->PointSize = 1;
                shape = std::move(point);
            }
            shape->LayerId = layerId;
            shape->PenFg = colour;
            shape->PenWidth = 0;
            shape->Id = canvas.NextShapeId++;
            canvas.AppendShape(std::move(shape));
        }
        canvas.NeedsRedraw = true;
        canvas.WorldExtents();
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

bool XYZLoad(CanvasModel& canvas, const QString& fileName, int layerId, double zMin, double zMax) {
    const std::optional<std::string> bytes =
        ReadWholeFile(QFile::encodeName(fileName).toStdString(), MaxXyzFileBytes);
    return bytes && XYZLoadBytes(canvas, *bytes, layerId, zMin, zMax);
}
