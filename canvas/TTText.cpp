#include "canvas/TTText.h"
#include "canvas/PaintCanvas.h"

#include <cmath>

bool TTText::HitTest(double x, double y, double tolerance) const {
    const double characters = static_cast<double>(DisplayText.size());
    return X <= x && x <= X + characters * tolerance * 0.8 + 2.0 * tolerance &&
           Y - 3.0 * tolerance <= y && y <= Y + tolerance;
}

void TTText::UpdateBounds() {
    const double characters = static_cast<double>(DisplayText.size());
    MinX = X - Height;
    MaxX = X + characters * (0.6 * Height) + Height;
    MinY = Y - Height;
    MaxY = Y + Height;
}

void TTText::Rotate(double angle, double, double) {
    Rotation += angle;
    UpdateBounds();
}

bool TTText::IsFinite() const {
    return std::isfinite(X) && std::isfinite(Y) && std::isfinite(Rotation) && std::isfinite(Height);
}

void TTText::Draw(PaintCanvas& canvas, double left, double right, double top, double bottom,
                  int clientWidth, int clientHeight) const {
    if (!Visible || DisplayText.isEmpty())
        return;
    const TPoint anchor = ShapePixelMap(left, right, top, bottom, clientWidth, clientHeight)(X, Y);
    if (!TextAnchorInReach(anchor.X, anchor.Y, clientWidth, clientHeight))
        return;
    canvas.SetFont(FontName, TextPointSize(Height), Bold, Italic);
    canvas.SetFontColour(TextDrawColour(DrawColour(), Selected, canvas.Background()));
    canvas.SetBrushStyle(BrushStyle::Clear);
    canvas.SetFontOrientation(Rotation == 0.0 ? 0 : TruncateToPixel(Rotation * 10.0));
    const TPoint offset = TextAnchorOffset(Align, Justify, canvas.TextWidth(DisplayText),
                                           canvas.TextHeight(DisplayText));
    canvas.TextOut(anchor.X + offset.X, anchor.Y + offset.Y, DisplayText);
    canvas.SetFontOrientation(0);
}
