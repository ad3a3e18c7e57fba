#pragma once

#include <string>
#include <vector>

// One point of the averaged profile in the graph editor.
struct TSVPPoint {
    int Depth = 0;
    double SV = 0;
    int Hits = 1;
    bool Selected = false;
};

struct TPixel {
    int x = 0;
    int y = 0;
};

// The graph editor's profile and view without the window: points in list order, the shown
// ranges, the pixel transforms, hit and lasso tests, drag, wheel and deletion. Pixel results are
// clamped before converting to int, so a degenerate range never yields NaN or overflow.
class ProfileGraphModel {
public:
    static constexpr int MarginLeft = 60, MarginRight = 20, MarginTop = 20, MarginBottom = 40;

    std::vector<TSVPPoint> Points;
    std::vector<TPixel> LassoPoints;
    double MinSV = 1600, MaxSV = 1300, MinDepth = 10000, MaxDepth = 0;
    bool Modified = false;
    int Width = 700, Height = 500; // the paint box

    // Points from the averaged list: "%d,%lf,%d" with hits 1 when missing; empty slots skipped.
    void LoadPoints(const std::vector<std::string>& lines);
    // One line per point, in list order: "12,1500.50,3".
    std::vector<std::string> WritePoints() const;

    void CalcRanges();
    int SVToX(double v) const;
    int DepthToY(double d) const;
    double XToSV(int x) const;
    double YToDepth(int y) const;

    int FindPointAt(int x, int y) const;
    bool PointInLasso(int x, int y) const;
    // Marks the points inside the lasso; returns how many are selected.
    int SelectInLasso();
    // A drag to pixel x: accepted when the velocity lies within 1300..1700 (both included).
    bool DragTo(int index, int x);
    // Zooms about the pixel (x, y); forward is a positive wheel delta.
    void Wheel(int x, int y, bool forward);
    void DeleteSelected();
    // Selects point `index` alone (a click on its grid row); an index outside the points only
    // clears the selection.
    void SelectOnly(int index);
    int SelectedCount() const;
    // Adds the pointer to the lasso when it lies more than 3 pixels from the last lasso point in
    // x or in y, so the outline stays short however slowly the mouse moves. True when added.
    bool ExtendLasso(int x, int y);
    // What the pointer is over: "SV: 1500.3 m/s  Depth: 12.4 m  (Drag point to edit SV)".
    std::string PointerText(int x, int y) const;

    // Grid rows as texts: depth, velocity with two decimals, hits.
    std::vector<std::vector<std::string>> FillGrid() const;
    // The texts of point `index`'s row, as FillGrid gives them (a drag rewrites only that row).
    std::vector<std::string> GridRow(size_t index) const;
    // The row Add Row appends: one metre below the last point with its velocity, or 0 m at
    // 1500.00 m/s without points; hits "0".
    std::vector<std::string> NewGridRow() const;
    // Delete Row on data row `index`: the rows below move up one. The only remaining row is
    // never removed, nor is anything when `index` lies outside the rows.
    static void DeleteGridRow(std::vector<std::vector<std::string>>& rows, int index);
    // Reads the rows back; rows whose depth or velocity does not convert are skipped.
    void GridToPoints(const std::vector<std::vector<std::string>>& rows);
    // The first row holding text whose depth or velocity does not convert, -1 when none; a row
    // left wholly blank holds nothing to lose.
    static int FirstUnreadableRow(const std::vector<std::vector<std::string>>& rows);

    // Depth grid step: 10, 50 or 100 m by span, grown tenfold until at most 200 lines remain.
    double DepthGridStep() const;
    double VelocityGridStep() const;
};
