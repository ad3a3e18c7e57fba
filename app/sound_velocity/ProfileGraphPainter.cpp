#include "app/sound_velocity/ProfileGraphPainter.h"

#include "platform/NumberText.h"

#include "survey/ProfileGraphModel.h"

#include <QColor>
#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QPolygon>

#include <climits>
#include <cmath>

namespace {

// The grid's loops count their lines: the steps keep them near 200, the cap only guards
// against ranges that are not finite.
constexpr int MaxLinesDrawn = 400;

QColor Rgb(int red, int green, int blue) {
    return QColor(red, green, blue);
}

} // namespace

ProfileGraphPainter::ProfileGraphPainter(QPainter& painter, const ProfileGraphModel& model)
    : painter_(painter), model_(model) {}

void ProfileGraphPainter::Paint(int dragIndex, bool lassoActive) {
    painter_.fillRect(0, 0, model_.Width, model_.Height, Qt::white);
    DrawGrid();
    DrawCurve(dragIndex);
    DrawLasso(lassoActive);
}

void ProfileGraphPainter::DrawGrid() {
    const int width = model_.Width;
    const int height = model_.Height;
    const int left = ProfileGraphModel::MarginLeft;
    const int top = ProfileGraphModel::MarginTop;
    const int right = width - ProfileGraphModel::MarginRight;
    const int bottom = height - ProfileGraphModel::MarginBottom;
    const int ascent = QFontMetrics(painter_.font()).ascent();

    painter_.setPen(QPen(Rgb(192, 192, 192), 0, Qt::DotLine));
    painter_.setBrush(Qt::NoBrush);
    if (std::isfinite(model_.MinSV) && std::isfinite(model_.MaxSV)) {
        const double step = model_.VelocityGridStep();
        double v = std::floor(model_.MinSV / step) * step;
        for (int n = 0; v <= model_.MaxSV && n < MaxLinesDrawn; ++n, v += step) {
            const int x = model_.SVToX(v);
            if (x < left || x > right)
                continue;
            painter_.drawLine(x, top, x, bottom);
            painter_.drawText(x - 15, bottom + 5 + ascent,
                              QString::fromStdString(FormatFixed(v, 0)));
        }
    }
    if (std::isfinite(model_.MinDepth) && std::isfinite(model_.MaxDepth)) {
        const double step = model_.DepthGridStep();
        double d = std::floor(model_.MinDepth / step) * step;
        for (int n = 0; d <= model_.MaxDepth && n < MaxLinesDrawn; ++n, d += step) {
            const int y = model_.DepthToY(d);
            if (y < top || y > bottom)
                continue;
            painter_.drawLine(left, y, right, y);
            painter_.drawText(5, y - 6 + ascent, QString::fromStdString(FormatFixed(d, 0) + "m"));
        }
    }

    painter_.setPen(QPen(Qt::black, 0, Qt::SolidLine));
    painter_.drawLine(left, top, left, bottom);
    painter_.drawLine(left, bottom, right, bottom);
    QFont bold = painter_.font();
    bold.setBold(true);
    painter_.save();
    painter_.setFont(bold);
    painter_.drawText(width / 2 - 30, height - 18 + QFontMetrics(bold).ascent(),
                      QStringLiteral("SV (m/s)"));
    painter_.restore();
}

void ProfileGraphPainter::DrawCurve(int dragIndex) {
    const auto& points = model_.Points;
    if (points.empty())
        return;
    QPolygon curve;
    curve.reserve(static_cast<int>(points.size()));
    for (const TSVPPoint& p : points)
        curve.append(QPoint(model_.SVToX(p.SV), model_.DepthToY(p.Depth)));
    painter_.setPen(QPen(Rgb(0, 0, 255), 1, Qt::SolidLine));
    painter_.setBrush(Qt::NoBrush);
    painter_.drawPolyline(curve);

    // Thousands of points share few colours and, on a deep profile, many pixels: the pen and
    // brush change only with the colour, and a circle the same as the one just drawn is skipped
    // (it would paint the same pixels again).
    enum class Kind { None, Plain, Selected, Dragged };
    Kind current = Kind::None;
    QPoint last(INT_MIN, INT_MIN);
    for (int i = 0; i < curve.size(); ++i) {
        const Kind kind = points[static_cast<size_t>(i)].Selected ? Kind::Selected
                          : i == dragIndex                        ? Kind::Dragged
                                                                  : Kind::Plain;
        const QPoint at = curve[i];
        if (kind == current && at == last)
            continue;
        if (kind != current) {
            const QColor fill = kind == Kind::Selected  ? Rgb(255, 0, 0)
                                : kind == Kind::Dragged ? Rgb(0, 255, 0)
                                                        : Rgb(0, 0, 255);
            const QColor outline = kind == Kind::Selected  ? Rgb(128, 0, 0)
                                   : kind == Kind::Dragged ? Rgb(0, 128, 0)
                                                           : Rgb(0, 0, 128);
            painter_.setPen(QPen(outline, 1, Qt::SolidLine));
            painter_.setBrush(fill);
            current = kind;
        }
        last = at;
        // The circle fills the box from (x - 4, y - 4) to (x + 5, y + 5), its right and bottom
        // edges excluded.
        painter_.drawEllipse(QRect(at.x() - 4, at.y() - 4, 8, 8));
    }
}

void ProfileGraphPainter::DrawLasso(bool lassoActive) {
    const auto& lasso = model_.LassoPoints;
    if (lasso.size() < 2)
        return;
    QPolygon outline;
    outline.reserve(static_cast<int>(lasso.size()) + 1);
    for (const TPixel& p : lasso)
        outline.append(QPoint(p.x, p.y));
    if (lassoActive)
        outline.append(outline.front());
    painter_.setPen(QPen(Rgb(255, 0, 0), 1, Qt::DashLine));
    painter_.setBrush(Qt::NoBrush);
    painter_.drawPolyline(outline);
}
