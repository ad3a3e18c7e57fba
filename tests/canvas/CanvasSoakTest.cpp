#include "canvas/CanvasModel.h"
#include "canvas/CanvasRenderer.h"
#include "canvas/CanvasToolController.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <set>

namespace {

// Long, seeded runs of presses, moves, keys, wheel steps and programmatic edits, with host
// handlers that clear, reload and switch layers in the middle of drawings. After every step
// the store must stay consistent: unique ids below the counter, each found by its id, the
// count in step with the store, and every listed id of a live shape flagged as selected.
TEST(CanvasSoakTest, RandomInputAndEditsKeepIdsCountAndSelectionInStep) {
    const int modes[] = {0, -1, 1, 3, 4, 5, 6, 8, 10, 11, 17, 19, -3, -4, 99};
    for (unsigned seed = 0; seed < 300; ++seed) {
        std::mt19937 random(seed);
        const auto pick = [&random](int n) { return static_cast<int>(random() % unsigned(n)); };
        CanvasModel canvas;
        CanvasToolController tools(canvas);
        canvas.LayerOpen(CanvasModel::RouteLayerName);
        canvas.LayerOpen(CanvasModel::SelectPolyLayerName);
        canvas.OnDrawBegin = [&](int16_t, double, double) {
            if (pick(4) == 0)
                canvas.CurrentLayer = pick(4);
            if (pick(6) == 0)
                canvas.ResetDrawing();
        };
        canvas.OnDrawEnd = [&](int16_t, double, double) {
            if (pick(3) == 0)
                canvas.ClearDrawingState();
            if (pick(5) == 0)
                canvas.CadClearShapes(pick(2) ? -1 : 1);
        };
        for (int step = 0; step < 400; ++step) {
            const double x = pick(1000);
            const double y = pick(1000);
            switch (pick(20)) {
            case 0:
            case 1:
            case 2:
            case 3:
                tools.MouseDown(int16_t(1 << pick(3)), int16_t(pick(8)), pick(400), pick(300));
                break;
            case 4:
            case 5:
                tools.MouseMove(int16_t(pick(8)), pick(400), pick(300));
                break;
            case 6:
                tools.MouseUp(int16_t(1 << pick(3)), 0, pick(400), pick(300));
                break;
            case 7:
                canvas.ToolMode = modes[pick(15)];
                canvas.KeepToolMode = pick(2) == 0;
                break;
            case 8:
                canvas.DeleteKeyEnabled = pick(2) == 0;
                tools.KeyDown(
                    pick(2) ? CanvasToolController::EscapeKey : CanvasToolController::DeleteKey, 0);
                break;
            case 9:
                tools.Wheel(pick(5) - 2, pick(400), pick(300));
                break;
            case 10:
                canvas.CadClearShapes(pick(4) - 1);
                break;
            case 11:
                canvas.ResetDrawing();
                break;
            case 12:
                canvas.ShapeSelect(pick(40), pick(2) == 0);
                canvas.LayerSelectShapes(pick(4), pick(2) == 0);
                break;
            case 13:
                canvas.ShapeDelete(pick(40));
                canvas.LayerDeselectShapes(pick(4));
                break;
            case 14:
                canvas.CadClearSelectedShapes();
                break;
            case 15:
                canvas.DrawPolyline({{x, y}, {y, x}}, pick(4), pick(2) == 0);
                canvas.TextAdd(pick(3), "t", x, y, pick(3) - 1);
                break;
            case 16:
                canvas.ShapeToFront(pick(40));
                canvas.ShapeToBack(pick(40));
                break;
            case 17:
                canvas.ShapePointInsert(pick(40), pick(4), x, y);
                canvas.ShapePointDelete(pick(40), pick(4));
                break;
            case 18:
                canvas.SelectAllShapesInPolygon({{0, 0}, {1000, 0}, {1000, 1000}});
                canvas.SelectShapesInPolygon({{0, 0}, {1000, 0}, {0, 1000}}, {1, 2});
                break;
            case 19:
                canvas.DrawPoint(x, y, pick(5));
                canvas.WorldExtents();
                break;
            }

            ASSERT_EQ(canvas.ShapeCount, static_cast<int32_t>(canvas.Shapes.size()))
                << "seed " << seed << " step " << step;
            std::set<int32_t> ids;
            for (const auto& shape : canvas.Shapes) {
                ASSERT_TRUE(ids.insert(shape->Id).second)
                    << "id " << shape->Id << " twice, seed " << seed << " step " << step;
                ASSERT_EQ(canvas.FindShape(shape->Id), shape.get());
                ASSERT_LT(shape->Id, canvas.NextShapeId);
            }
            for (int32_t id : canvas.SelectedIds)
                if (const TTShape* shape = canvas.FindShape(id))
                    ASSERT_TRUE(shape->Selected) << "seed " << seed << " step " << step;
        }
        QImage buffer;
        QImage frame;
        CanvasRenderer::ComposeFrame(canvas, buffer, frame);
    }
}

} // namespace
