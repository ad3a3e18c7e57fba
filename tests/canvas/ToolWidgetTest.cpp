#include "SyntheticInput.h"
#include "ToolEventRecorder.h"

#include "canvas/CanvasInputCodes.h"
#include "canvas/TTavrinCanvas.h"
#include "canvas/WheelNotchCounter.h"
#include "tests/support/TestEnvironment.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <limits>
#include <stdexcept>

namespace {

// Synthetic Qt input sent straight to an offscreen control showing world 0..400 x 0..300,
// so that pixel (px, py) is world (px, 300 - py).
class ToolWidgetTest : public ::testing::Test {
protected:
    ToolWidgetTest() { canvas.WorldSet(0, 300, 400, 0); }

    void Mouse(QEvent::Type type, Qt::MouseButton button, int px, int py) {
        input.Mouse(type, button, px, py);
    }
    void Press(Qt::MouseButton button, int px, int py,
               Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        input.Press(button, px, py, modifiers);
    }
    void Release(Qt::MouseButton button, int px, int py) { input.Release(button, px, py); }
    void Click(Qt::MouseButton button, int px, int py) { input.Click(button, px, py); }
    void Move(int px, int py, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        input.Move(px, py, modifiers);
    }
    void Wheel(int px, int py, QPoint angleDelta) { input.Wheel(px, py, angleDelta); }
    void Key(int qtKey) { input.Key(qtKey); }

    TTavrinCanvas canvas;
    ToolEventRecorder events{canvas};
    SyntheticInput input{canvas};
};

TEST_F(ToolWidgetTest, ButtonsAndModifiersReachTheEventsAsCodes) {
    Press(Qt::LeftButton, 100, 100, Qt::ShiftModifier | Qt::ControlModifier);
    EXPECT_EQ(events.Last("WorldMouseDown").A, 1);
    EXPECT_EQ(events.Last("WorldMouseDown").B, 3);
    EXPECT_EQ(events.Last("WorldMouseDown").X, 100.0);
    EXPECT_EQ(events.Last("WorldMouseDown").Y, 200.0);
    Release(Qt::LeftButton, 100, 100);

    Press(Qt::RightButton, 50, 60, Qt::AltModifier);
    EXPECT_EQ(events.Last("WorldMouseDown").A, 2);
    EXPECT_EQ(events.Last("WorldMouseDown").B, 4);
    EXPECT_TRUE(canvas.Measuring);
    Move(150, 60, Qt::AltModifier | Qt::ShiftModifier);
    EXPECT_EQ(events.Last("WorldMouseMove").A, 5);
    EXPECT_EQ(events.Last("WorldMouseMove").X, 150.0);
    EXPECT_DOUBLE_EQ(canvas.MeasureDistance, 100.0);
    EXPECT_DOUBLE_EQ(canvas.MeasureBearing, 90.0);
    Release(Qt::RightButton, 150, 60);
    EXPECT_FALSE(canvas.Measuring);

    Press(Qt::MiddleButton, 10, 10, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_EQ(events.Last("WorldMouseDown").A, 4);
    EXPECT_EQ(events.Last("WorldMouseDown").B, 6);
    EXPECT_TRUE(canvas.PanActive);
    EXPECT_EQ(canvas.cursor().shape(), Qt::SizeAllCursor);
    Release(Qt::MiddleButton, 10, 10);
    EXPECT_FALSE(canvas.PanActive);
    EXPECT_EQ(events.Count("WorldMouseDown"), 3);
}

TEST_F(ToolWidgetTest, ExtraMouseButtonsAreIgnored) {
    canvas.ToolMode = ShapeType::Polyline;
    for (const Qt::MouseButton button : {Qt::BackButton, Qt::ForwardButton, Qt::ExtraButton4}) {
        Press(button, 100, 100);
        Mouse(QEvent::MouseButtonDblClick, button, 100, 100);
        Release(button, 100, 100);
    }
    EXPECT_EQ(events.Count("WorldMouseDown"), 0);
    EXPECT_FALSE(canvas.PanActive);
    EXPECT_FALSE(canvas.DrawingActive);

    // Nor does a thumb button's release end a pan or a drawing under way.
    Press(Qt::MiddleButton, 100, 100);
    Release(Qt::BackButton, 100, 100);
    EXPECT_TRUE(canvas.PanActive);
}

TEST_F(ToolWidgetTest, DoubleClickIsAPressFollowedByTheDoubleClickEvent) {
    std::vector<std::string> order;
    canvas.OnWorldMouseDown = [&](int16_t, int16_t, int16_t, double, double) {
        order.push_back("press");
    };
    canvas.OnDblClick = [&] { order.push_back("double-click"); };

    // Qt's sequence for a double click: press, release, double click, release.
    canvas.ToolMode = ShapeType::Polyline;
    Click(Qt::LeftButton, 100, 100);
    Mouse(QEvent::MouseButtonDblClick, Qt::LeftButton, 150, 120);
    Release(Qt::LeftButton, 150, 120);
    EXPECT_EQ(order, (std::vector<std::string>{"press", "press", "double-click"}));
    ASSERT_NE(canvas.PendingPolyline, nullptr);
    EXPECT_EQ(canvas.PendingPolyline->PointCount(), 2);

    // A right double click is two presses: the first ends the drawing, the second measures;
    // only the left button raises the double-click event.
    order.clear();
    Click(Qt::RightButton, 150, 120);
    Mouse(QEvent::MouseButtonDblClick, Qt::RightButton, 150, 120);
    Release(Qt::RightButton, 150, 120);
    EXPECT_EQ(order, (std::vector<std::string>{"press"}));
    EXPECT_EQ(canvas.ShapeCount, 1);
}

TEST_F(ToolWidgetTest, WheelDeltasAddUpToWholeNotchesOfOneHundredTwenty) {
    // A fine-grained wheel: three eighths of a notch do nothing, the fourth completes one.
    for (int i = 0; i < 3; ++i)
        Wheel(200, 150, QPoint(0, 30));
    EXPECT_DOUBLE_EQ(canvas.GetWorldWidth(), 400.0);
    Wheel(200, 150, QPoint(0, 30));
    EXPECT_DOUBLE_EQ(canvas.GetWorldWidth(), 360.0);

    // One event of two notches backward zooms out twice about the cursor.
    Wheel(100, 100, QPoint(0, -240));
    EXPECT_NEAR(canvas.GetWorldWidth(), 360.0 * 1.1 * 1.1, 1e-9);
    double x = 0.0;
    double y = 0.0;
    canvas.ScreenToWorld(100, 100, x, y);
    double x0 = 0.0;
    double y0 = 0.0;
    WorldView before{20, 380, 285, 15, 400, 300};
    before.ScreenToWorld(100, 100, x0, y0);
    EXPECT_NEAR(x, x0, 1e-9);
    EXPECT_NEAR(y, y0, 1e-9);
}

TEST_F(ToolWidgetTest, AHorizontalOnlyWheelDeltaZoomsNothing) {
    Wheel(200, 150, QPoint(480, 0));
    Wheel(200, 150, QPoint(-120, 0));
    EXPECT_DOUBLE_EQ(canvas.GetWorldWidth(), 400.0);
    EXPECT_DOUBLE_EQ(canvas.PlanWorldLeft, 0.0);
    // Nor does it count toward the next vertical notch.
    Wheel(200, 150, QPoint(0, 60));
    EXPECT_DOUBLE_EQ(canvas.GetWorldWidth(), 400.0);
    Wheel(200, 150, QPoint(0, 60));
    EXPECT_DOUBLE_EQ(canvas.GetWorldWidth(), 360.0);
}

TEST_F(ToolWidgetTest, EscapeAndDeleteKeysReachTheTools) {
    canvas.ToolMode = ShapeType::Polygon;
    Click(Qt::LeftButton, 10, 10);
    Click(Qt::LeftButton, 100, 10);
    Key(Qt::Key_Escape);
    EXPECT_EQ(canvas.PendingPolyline, nullptr);
    EXPECT_FALSE(canvas.DrawingActive);
    EXPECT_EQ(canvas.ToolMode, ShapeType::Polygon);
    EXPECT_EQ(events.Count("DrawEnd"), 0);

    const int32_t line = canvas.DrawLine(0, 0, 10, 10, 0);
    canvas.ShapeSelect(line, true);
    canvas.DeleteKeyEnabled = true;
    Key(Qt::Key_Backspace);
    EXPECT_EQ(canvas.ShapeCount, 1);
    Key(Qt::Key_Delete);
    EXPECT_EQ(canvas.ShapeCount, 0);
}

TEST_F(ToolWidgetTest, KeysStayUnacceptedForTheWindowAroundTheCanvas) {
    QKeyEvent event(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(&canvas, &event);
    EXPECT_FALSE(event.isAccepted());
}

TEST_F(ToolWidgetTest, AFailingHostHandlerEndsOnlyThatPress) {
    TestEnvironment::dialogs().clear();
    canvas.OnWorldMouseDown = [](int16_t, int16_t, int16_t, double, double) {
        throw std::runtime_error("host failed");
    };
    Press(Qt::LeftButton, 100, 100);
    ASSERT_EQ(TestEnvironment::dialogs().messages.size(), 1u);
    // The control still takes input.
    canvas.OnWorldMouseDown = nullptr;
    canvas.ToolMode = ShapeType::Point;
    Press(Qt::LeftButton, 100, 100);
    EXPECT_EQ(canvas.ShapeCount, 1);
}

class PressCountingWindow : public QWidget {
public:
    int Presses = 0;

protected:
    void mousePressEvent(QMouseEvent* event) override {
        ++Presses;
        event->accept();
    }
};

TEST(ToolWidgetParentTest, PressesTheToolsTookDoNotReachTheWindowBehindTheCanvas) {
    PressCountingWindow window;
    auto* canvas = new TTavrinCanvas(&window);
    for (const Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton}) {
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(5, 5), button, button,
                          Qt::NoModifier);
        QApplication::sendEvent(canvas, &press);
    }
    EXPECT_EQ(window.Presses, 0);
    QMouseEvent back(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(5, 5), Qt::BackButton,
                     Qt::BackButton, Qt::NoModifier);
    QApplication::sendEvent(canvas, &back);
    EXPECT_EQ(window.Presses, 1);
}

TEST_F(ToolWidgetTest, AFailingMoveHandlerIsReportedOncePerSpellWithoutABox) {
    QStringList reports;
    RepeatedErrorGuard::setSink([&](const QString& text) { reports.push_back(text); });
    TestEnvironment::dialogs().clear();
    bool failing = true;
    canvas.OnWorldMouseMove = [&](int16_t, double, double, double, double) {
        if (failing)
            throw std::runtime_error("host failed");
    };
    for (int px = 0; px < 20; ++px)
        Move(px, 10);
    failing = false;
    Move(30, 10);
    failing = true;
    Move(40, 10);
    RepeatedErrorGuard::setSink(nullptr);
    EXPECT_EQ(reports.size(), 2);
    EXPECT_TRUE(reports.front().contains("host failed"));
    EXPECT_TRUE(TestEnvironment::dialogs().messages.empty());
}

TEST(ToolInputCodesTest, QtInputTranslatesToTheToolCodes) {
    EXPECT_EQ(ShiftCodeOf(Qt::NoModifier), 0);
    EXPECT_EQ(ShiftCodeOf(Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier), 7);
    EXPECT_EQ(ShiftCodeOf(Qt::MetaModifier | Qt::KeypadModifier), 0);
    EXPECT_EQ(ButtonCodeOf(Qt::LeftButton), 1);
    EXPECT_EQ(ButtonCodeOf(Qt::RightButton), 2);
    EXPECT_EQ(ButtonCodeOf(Qt::MiddleButton), 4);
    EXPECT_FALSE(ButtonCodeOf(Qt::BackButton).has_value());
    EXPECT_FALSE(ButtonCodeOf(Qt::NoButton).has_value());
    EXPECT_EQ(KeyCodeOf(Qt::Key_Escape), 27);
    EXPECT_EQ(KeyCodeOf(Qt::Key_Delete), 46);
    EXPECT_EQ(KeyCodeOf(Qt::Key_A), 0);
}

TEST(ToolInputCodesTest, WheelNotchCounterKeepsFractionsAndDropsThemOnAReversal) {
    WheelNotchCounter counter;
    EXPECT_EQ(counter.Add(100), 0);
    EXPECT_EQ(counter.Add(100), 1); // 200: one notch, 80 left over
    EXPECT_EQ(counter.Add(-60), 0); // a reversal starts afresh
    EXPECT_EQ(counter.Add(-60), -1);
    EXPECT_EQ(counter.Add(360), 3);
    EXPECT_EQ(counter.Add(0), 0);
    EXPECT_EQ(counter.Add(std::numeric_limits<int>::max()), 100);
    EXPECT_EQ(counter.Add(std::numeric_limits<int>::min()), -100);
}

} // namespace
