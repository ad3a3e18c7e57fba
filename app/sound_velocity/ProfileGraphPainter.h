#pragma once

class ProfileGraphModel;
class QPainter;

// Draws the graph editor's profile over its model into a paint box of the model's size:
// velocity across, depth growing downwards, the dotted grid with its values, the axes, the
// curve and its points (selected red, dragged lime, others blue) and the lasso outline.
class ProfileGraphPainter {
public:
    ProfileGraphPainter(QPainter& painter, const ProfileGraphModel& model);

    // The whole box: white, then grid, curve and lasso. `dragIndex` is the dragged point
    // (-1 for none); `lassoActive` closes the outline back to its first point while it is drawn.
    void Paint(int dragIndex, bool lassoActive);

    void DrawGrid();
    void DrawCurve(int dragIndex);
    void DrawLasso(bool lassoActive);

private:
    QPainter& painter_;
    const ProfileGraphModel& model_;
};
