#include "survey/ProfileGraphModel.h"

#include "platform/NumberText.h"
#include "survey/SlotScan.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr double MaxGridLines = 200;

int ClampToPixel(double value)
{
    if (!std::isfinite(value))
        return 0;
    return static_cast<int>(std::clamp(std::trunc(value), -1.0e6, 1.0e6));
}

bool ReadDepthAndVelocity(const std::vector<std::string>& row, TSVPPoint& p)
{
    return row.size() >= 2 && ParseInteger(std::string_view(row[0]), p.Depth) &&
           ParseNumber(std::string_view(row[1]), p.SV);
}

} // namespace

void ProfileGraphModel::LoadPoints(const std::vector<std::string>& lines)
{
    Points.clear();
    MinSV = 1600;
    MaxSV = 1300;
    MinDepth = 10000;
    MaxDepth = 0;
    for (const std::string& line : lines) {
        TSVPPoint p;
        int hits = 1;
        const int n = ScanDepthVelocityCount(line, p.Depth, p.SV, hits);
        if (n < 2)
            continue;
        p.Hits = n == 3 ? hits : 1;
        Points.push_back(p);
    }
    CalcRanges();
}

std::vector<std::string> ProfileGraphModel::WritePoints() const
{
    std::vector<std::string> lines;
    lines.reserve(Points.size());
    for (const TSVPPoint& p : Points)
        lines.push_back(std::to_string(p.Depth) + "," + FormatFixed(p.SV, 2) + "," + std::to_string(p.Hits));
    return lines;
}

void ProfileGraphModel::CalcRanges()
{
    if (Points.empty())
        return;
    MinSV = 1600;
    MaxSV = 1300;
    MinDepth = 10000;
    MaxDepth = 0;
    for (const TSVPPoint& p : Points) {
        MinSV = std::min(MinSV, p.SV);
        MaxSV = std::max(MaxSV, p.SV);
        MinDepth = std::min(MinDepth, static_cast<double>(p.Depth));
        MaxDepth = std::max(MaxDepth, static_cast<double>(p.Depth));
    }
    double span = MaxSV - MinSV;
    if (span < 10)
        span = 10;
    MinSV -= 0.05 * span;
    MaxSV += 0.05 * span;
}

int ProfileGraphModel::SVToX(double v) const
{
    const int w = Width - MarginLeft - MarginRight;
    if (MaxSV == MinSV)
        return MarginLeft;
    return MarginLeft + ClampToPixel((v - MinSV) / (MaxSV - MinSV) * w);
}

int ProfileGraphModel::DepthToY(double d) const
{
    const int h = Height - MarginTop - MarginBottom;
    if (MaxDepth == MinDepth)
        return MarginTop;
    return MarginTop + ClampToPixel((d - MinDepth) / (MaxDepth - MinDepth) * h);
}

double ProfileGraphModel::XToSV(int x) const
{
    const int w = Width - MarginLeft - MarginRight;
    if (w == 0)
        return MinSV;
    return MinSV + (x - MarginLeft) * (MaxSV - MinSV) / w;
}

double ProfileGraphModel::YToDepth(int y) const
{
    const int h = Height - MarginTop - MarginBottom;
    if (h == 0)
        return MinDepth;
    return MinDepth + (y - MarginTop) * (MaxDepth - MinDepth) / h;
}

int ProfileGraphModel::FindPointAt(int x, int y) const
{
    for (size_t i = 0; i < Points.size(); ++i)
        if (std::abs(x - SVToX(Points[i].SV)) < 8 && std::abs(y - DepthToY(Points[i].Depth)) < 8)
            return static_cast<int>(i);
    return -1;
}

bool ProfileGraphModel::PointInLasso(int x, int y) const
{
    if (LassoPoints.size() < 3)
        return false;
    bool inside = false;
    for (size_t i = 0, j = LassoPoints.size() - 1; i < LassoPoints.size(); j = i++) {
        const TPixel& a = LassoPoints[i];
        const TPixel& b = LassoPoints[j];
        if ((a.y > y) != (b.y > y)) {
            const long long xc = a.x + static_cast<long long>(y - a.y) * (b.x - a.x) / (b.y - a.y);
            if (x < xc)
                inside = !inside;
        }
    }
    return inside;
}

int ProfileGraphModel::SelectInLasso()
{
    int n = 0;
    for (TSVPPoint& p : Points) {
        p.Selected = PointInLasso(SVToX(p.SV), DepthToY(p.Depth));
        n += p.Selected ? 1 : 0;
    }
    return n;
}

bool ProfileGraphModel::DragTo(int index, int x)
{
    if (index < 0 || index >= static_cast<int>(Points.size()))
        return false;
    const double v = XToSV(x);
    if (!(v >= 1300 && v <= 1700))
        return false;
    Points[static_cast<size_t>(index)].SV = v;
    Modified = true;
    return true;
}

void ProfileGraphModel::Wheel(int x, int y, bool forward)
{
    const double wx = XToSV(x);
    const double wy = YToDepth(y);
    const double f = forward ? 0.9 : 1.1;
    const double oldSv = MaxSV - MinSV;
    const double oldDepth = MaxDepth - MinDepth;
    const double newSv = std::max(oldSv * f, 5.0);
    const double newDepth = std::max(oldDepth * f, 5.0);
    // A zero span (all points at one depth) zooms about the centre of the new span.
    const double rx = oldSv != 0 && std::isfinite(oldSv) ? (wx - MinSV) / oldSv : 0.5;
    const double ry = oldDepth != 0 && std::isfinite(oldDepth) ? (wy - MinDepth) / oldDepth : 0.5;
    const double cx = oldSv != 0 ? wx : MinSV;
    const double cy = oldDepth != 0 ? wy : MinDepth;
    MinSV = cx - rx * newSv;
    MaxSV = cx + (1 - rx) * newSv;
    MinDepth = cy - ry * newDepth;
    MaxDepth = cy + (1 - ry) * newDepth;
}

void ProfileGraphModel::DeleteSelected()
{
    Points.erase(std::remove_if(Points.begin(), Points.end(), [](const TSVPPoint& p) { return p.Selected; }),
                 Points.end());
    Modified = true;
    LassoPoints.clear();
    CalcRanges();
}

void ProfileGraphModel::SelectOnly(int index)
{
    for (size_t i = 0; i < Points.size(); ++i)
        Points[i].Selected = static_cast<int>(i) == index;
}

int ProfileGraphModel::SelectedCount() const
{
    return static_cast<int>(std::count_if(Points.begin(), Points.end(), [](const TSVPPoint& p) { return p.Selected; }));
}

bool ProfileGraphModel::ExtendLasso(int x, int y)
{
    if (LassoPoints.empty())
        return false;
    const TPixel& last = LassoPoints.back();
    if (std::abs(x - last.x) <= 3 && std::abs(y - last.y) <= 3)
        return false;
    LassoPoints.push_back({x, y});
    return true;
}

std::string ProfileGraphModel::PointerText(int x, int y) const
{
    return "SV: " + FormatFixed(XToSV(x), 1) + " m/s  Depth: " + FormatFixed(YToDepth(y), 1) +
           " m  (Drag point to edit SV)";
}

std::vector<std::vector<std::string>> ProfileGraphModel::FillGrid() const
{
    std::vector<std::vector<std::string>> rows;
    rows.reserve(Points.size());
    for (size_t i = 0; i < Points.size(); ++i)
        rows.push_back(GridRow(i));
    return rows;
}

std::vector<std::string> ProfileGraphModel::GridRow(size_t index) const
{
    const TSVPPoint& p = Points.at(index);
    return {std::to_string(p.Depth), FormatFixed(p.SV, 2), std::to_string(p.Hits)};
}

std::vector<std::string> ProfileGraphModel::NewGridRow() const
{
    if (Points.empty())
        return {"0", "1500.00", "0"};
    const TSVPPoint& last = Points.back();
    const int depth = last.Depth < std::numeric_limits<int>::max() ? last.Depth + 1 : last.Depth;
    return {std::to_string(depth), FormatFixed(last.SV, 2), "0"};
}

void ProfileGraphModel::DeleteGridRow(std::vector<std::vector<std::string>>& rows, int index)
{
    if (index < 0 || static_cast<size_t>(index) >= rows.size() || rows.size() < 2)
        return;
    rows.erase(rows.begin() + index);
}

void ProfileGraphModel::GridToPoints(const std::vector<std::vector<std::string>>& rows)
{
    Points.clear();
    for (const auto& row : rows) {
        TSVPPoint p;
        if (!ReadDepthAndVelocity(row, p))
            continue;
        int hits = 1;
        p.Hits = row.size() > 2 && ParseInteger(std::string_view(row[2]), hits) ? hits : 1;
        Points.push_back(p);
    }
    CalcRanges();
    Modified = true;
}

int ProfileGraphModel::FirstUnreadableRow(const std::vector<std::vector<std::string>>& rows)
{
    for (size_t i = 0; i < rows.size(); ++i) {
        const bool blank = std::all_of(rows[i].begin(), rows[i].end(), [](const std::string& cell) {
            return cell.find_first_not_of(" \t") == std::string::npos;
        });
        TSVPPoint p;
        if (!blank && !ReadDepthAndVelocity(rows[i], p))
            return static_cast<int>(i);
    }
    return -1;
}

double ProfileGraphModel::DepthGridStep() const
{
    const double span = MaxDepth - MinDepth;
    double step = span > 500 ? 100 : span > 200 ? 50 : 10;
    while (std::isfinite(span) && span / step > MaxGridLines)
        step *= 10;
    return step;
}

double ProfileGraphModel::VelocityGridStep() const
{
    const double span = MaxSV - MinSV;
    double step = 10;
    while (std::isfinite(span) && span / step > MaxGridLines)
        step *= 10;
    return step;
}
