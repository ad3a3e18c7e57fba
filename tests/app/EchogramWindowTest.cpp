#include "StartedProgram.h"
#include "tests/support/PaintCounter.h"

#include "app/survey_windows/EchogramPainter.h"
#include "app/survey_windows/SurveyStateAccess.h"
#include "app/survey_windows/TfRealtime.h"
#include "app/survey_windows/TfWaterfal.h"
#include "app/widgets/TFMsg.h"
#include "app/widgets/WindowEdgeZone.h"

#include "platform/AppPaths.h"
#include "platform/Clock.h"
#include "platform/EventLog.h"
#include "platform/FileIO.h"
#include "platform/IniFile.h"
#include "platform/ManualClock.h"

#include "positioning/gnss/TavrinSerialGPS.h"

#include <QAction>
#include <QGroupBox>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QTimer>

namespace {

class EchogramWindow : public StartedProgram {
protected:
    void SetUp() override {
        StartedProgram::SetUp();
        SurveyAcquisitionState() = AcquisitionState();
        std::remove(EventsLogPath().c_str());
    }
    void TearDown() override {
        Clock::install(nullptr);
        SurveyAcquisitionState() = AcquisitionState();
        StartedProgram::TearDown();
    }
};

int ReadEchogramSetting(const char* key) {
    const IniFile ini(AppPaths::settingsFile());
    return ini.readInteger(QStringLiteral("ECHOGRAM"), QString::fromLatin1(key), -1);
}

void SendMouse(QWidget* window, QEvent::Type type, QPoint at, Qt::MouseButtons buttons,
               Qt::MouseButton button = Qt::LeftButton) {
    QMouseEvent event(type, QPointF(at), QPointF(window->mapToGlobal(at)), button, buttons,
                      Qt::NoModifier);
    QApplication::sendEvent(window, &event);
}

int CountOf(const std::string& text, const std::string& part) {
    int count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

} // namespace

TEST(EchogramPainting, PaintsBackgroundBarsSeabedAndDepthBox) {
    EchogramModel model;
    for (double depth : {11.5, 21.5, 33.5, 38.5})
        model.Append(depth, 4);
    const EchogramPlan plan = model.Plan(388, 147, 4);
    ASSERT_EQ(plan.Bars.size(), 4u);
    ASSERT_EQ(plan.Bars[1].Y, 57);
    QImage image(388, 147, QImage::Format_RGB32);
    image.fill(Qt::black);
    QImage barImage;
    QPainter painter(&image);
    PaintEchogram(painter, plan, barImage);
    painter.end();
    // Below the first bar, away from the grid, the profile and the labels: the background.
    EXPECT_EQ(QColor(image.pixel(90, 70)), QColor(240, 248, 255));
    // Inside the last bar: water.
    EXPECT_EQ(QColor(image.pixel(300, 70)), QColor(100, 180, 255));
    // The second bar's seabed row: red.
    EXPECT_EQ(QColor(image.pixel(170, 57)), QColor(255, 0, 0));
    // Right of the depth text inside the box: yellow.
    EXPECT_EQ(QColor(image.pixel(383, 125)), QColor(255, 255, 0));
}

// The texts are drawn from layouts kept between paints; what they show must be what laying
// them out afresh shows: the plan's picture without texts, and the texts drawn over it as the
// painter lays out a text in a rectangle.
TEST(EchogramPainting, KeptTextLayoutsPaintWhatFreshLayoutsPaint) {
    const struct {
        const char* name;
        std::vector<double> depths;
        int width, height;
    } cases[] = {
        {"designed size", {11.5, 21.5, 33.5, 38.5}, 388, 147},
        {"shallow, fine grid", {1.25, 1.5, 1.75, 2.05, 1.95}, 388, 147},
        {"deep and wide", {120.5, 180.25, 240.0}, 1000, 300},
        {"narrow: texts cut at the edge", {8.5, 9.75}, 44, 60},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EchogramModel model;
        for (double depth : c.depths)
            model.Append(depth, int(c.depths.size()));
        const EchogramPlan plan = model.Plan(c.width, c.height, int(c.depths.size()));
        ASSERT_FALSE(plan.Grid.empty());
        ASSERT_TRUE(plan.DepthBox);

        QImage kept(c.width, c.height, QImage::Format_RGB32);
        QImage barImage;
        for (int paint = 0; paint < 2; ++paint) { // laid out, then from the kept layouts
            QPainter painter(&kept);
            painter.setFont(QFont(QStringLiteral("DejaVu Sans"), 8));
            PaintEchogram(painter, plan, barImage);
        }

        // The grid is labelled before the depth box is drawn over it.
        EchogramPlan withoutTexts = plan;
        for (EchogramGridLine& line : withoutTexts.Grid)
            line.Label.clear();
        withoutTexts.DepthBox.reset();
        QImage fresh(c.width, c.height, QImage::Format_RGB32);
        QPainter painter(&fresh);
        QFont font(QStringLiteral("DejaVu Sans"), 8);
        painter.setFont(font);
        PaintEchogramWithPainter(painter, withoutTexts);
        font.setBold(true);
        font.setPointSize(9);
        painter.setFont(font);
        painter.setPen(Qt::black);
        for (const EchogramGridLine& line : plan.Grid)
            painter.drawText(QRect(3, line.Y + 2, plan.Width, plan.Height),
                             Qt::AlignLeft | Qt::AlignTop, QString::fromStdString(line.Label));
        const EchogramDepthBox& box = *plan.DepthBox;
        if (box.Leader)
            painter.drawLine(box.LeaderX, box.LeaderTop, box.LeaderX, box.LeaderBottom);
        painter.fillRect(QRect(QPoint(box.Left, box.Top), QPoint(box.Right - 1, box.Bottom - 1)),
                         QColor(255, 255, 0));
        font.setPointSize(12);
        painter.setFont(font);
        painter.drawText(QRect(box.TextX, box.TextY, box.Right - box.TextX, box.Bottom - box.TextY),
                         Qt::AlignLeft | Qt::AlignTop, QString::fromStdString(box.Text));
        painter.end();
        EXPECT_TRUE(kept == fresh);
    }
}

TEST(EchogramWindowEdges, CornersComeFirst) {
    using namespace WindowEdgeZone;
    const struct {
        int x, y, code;
    } cases[] = {{2, 2, 13},    {385, 2, 14}, {2, 144, 16},   {385, 144, 17}, {2, 70, 10},
                 {385, 70, 11}, {200, 0, 12}, {200, 141, 15}, {200, 70, 0},   {6, 6, 0}};
    for (const auto& c : cases)
        EXPECT_EQ(CodeAt(c.x, c.y, 388, 147), c.code) << c.x << "," << c.y;
    EXPECT_EQ(EdgesOf(17), Qt::BottomEdge | Qt::RightEdge);
    EXPECT_EQ(CursorOf(14), Qt::SizeBDiagCursor);
    EXPECT_EQ(CursorOf(0), Qt::ArrowCursor);
}

TEST_F(EchogramWindow, DrawsOnlyWhileShown) {
    start();
    fWaterfal->hide();
    DrawEchogram(12.5, 0, 50, fWaterfal->DataWidth);
    EXPECT_EQ(fWaterfal->History.Depths()[49], 0);
    fWaterfal->show();
    DrawEchogram(12.5, 0, 50, fWaterfal->DataWidth);
    EXPECT_EQ(fWaterfal->History.Depths()[49], 12.5);
    EXPECT_EQ(fWaterfal->CurrentPlan().DepthBox->Text, "12.5m");
    // The window paints what it holds whenever asked, not only right after a drawing.
    QImage image(fWaterfal->size(), QImage::Format_RGB32);
    fWaterfal->render(&image);
    EXPECT_EQ(QColor(image.pixel(fWaterfal->width() - 5, fWaterfal->height() - 5)),
              QColor(255, 255, 0));
}

TEST_F(EchogramWindow, ADepthThatChangesNoEntryAsksForNoPaint) {
    start();
    fWaterfal->show();
    PaintCounter counter;
    fWaterfal->installEventFilter(&counter);
    const int count = fWaterfal->DataWidth;
    for (int i = 0; i < count; ++i)
        DrawEchogram(8.5, 0, 50, count);
    QApplication::processEvents();
    ASSERT_GT(counter.paints, 0u);

    // A strip of 8.5 m and 8.5 m again: nothing moves, nothing is painted.
    counter.paints = 0;
    DrawEchogram(8.5, 0, 50, count);
    QApplication::processEvents();
    EXPECT_EQ(counter.paints, 0u);
    EXPECT_EQ(fWaterfal->History.Depths()[count - 1], 8.5);

    // Another depth, or another fallback scale, paints.
    DrawEchogram(9.0, 0, 50, count);
    QApplication::processEvents();
    EXPECT_EQ(counter.paints, 1u);
    DrawEchogram(9.0, 0, 50, count);
    DrawEchogram(9.0, 0, 40, count);
    QApplication::processEvents();
    EXPECT_EQ(counter.paints, 2u);
    fWaterfal->removeEventFilter(&counter);
}

TEST_F(EchogramWindow, StoredSettingsAreKeptByARunThatNeverShowsIt) {
    writeSetting(QStringLiteral("ECHOGRAM"), QStringLiteral("DataWidth"), QStringLiteral("120"));
    writeSetting(QStringLiteral("ECHOGRAM"), QStringLiteral("Interval"), QStringLiteral("250"));
    start();
    EXPECT_EQ(fWaterfal->DataWidth, 120);
    EXPECT_EQ(fWaterfal->Interval, 250);
    FNav->close();
    EXPECT_EQ(ReadEchogramSetting("DataWidth"), 120);
    EXPECT_EQ(ReadEchogramSetting("Interval"), 250);
}

TEST_F(EchogramWindow, StoredValuesOutsideTheRangeAreClampedAndReportedOnce) {
    writeSetting(QStringLiteral("ECHOGRAM"), QStringLiteral("DataWidth"), QStringLiteral("500"));
    writeSetting(QStringLiteral("ECHOGRAM"), QStringLiteral("Interval"), QStringLiteral("0"));
    start();
    EXPECT_EQ(fWaterfal->DataWidth, 200);
    EXPECT_EQ(fWaterfal->Interval, 20);
    EXPECT_EQ(ReadEchogramSetting("DataWidth"), 200);
    fWaterfal->show();
    EXPECT_EQ(FNav->tEchogram->interval(), 20);
    // Read at creation and again at the showing: one report each.
    writeSetting(QStringLiteral("ECHOGRAM"), QStringLiteral("DataWidth"), QStringLiteral("500"));
    fWaterfal->hide();
    fWaterfal->show();
    const std::string log = ReadWholeFile(EventsLogPath()).value_or("");
    EXPECT_EQ(CountOf(log, "Echogram DataWidth 500 is outside 1 to 200; 200 is used."), 1) << log;
    EXPECT_EQ(CountOf(log, "Echogram Interval 0 ms is outside 20 to 1000 ms; 20 ms is used."), 1)
        << log;
}

TEST_F(EchogramWindow, CornerPressAndMoveResizes) {
    start();
    fWaterfal->show();
    const QSize before = fWaterfal->size();
    ASSERT_EQ(before, QSize(388, 147));
    const QPoint corner(before.width() - 3, before.height() - 3);
    SendMouse(fWaterfal, QEvent::MouseButtonPress, corner, Qt::LeftButton);
    SendMouse(fWaterfal, QEvent::MouseMove, corner + QPoint(20, 10), Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(fWaterfal->size(), QSize(408, 157));
    SendMouse(fWaterfal, QEvent::MouseButtonRelease, corner + QPoint(20, 10), Qt::NoButton);
    EXPECT_FALSE(fWaterfal->Dragging);
}

TEST_F(EchogramWindow, BodyDragMovesAndItsReleaseStoresThePlace) {
    start();
    fWaterfal->show();
    fWaterfal->move(100, 100);
    const QPoint start = fWaterfal->pos();
    SendMouse(fWaterfal, QEvent::MouseButtonPress, QPoint(100, 70), Qt::LeftButton);
    ASSERT_TRUE(fWaterfal->Dragging);
    SendMouse(fWaterfal, QEvent::MouseMove, QPoint(130, 80), Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(fWaterfal->pos(), start + QPoint(30, 10));
    SendMouse(fWaterfal, QEvent::MouseButtonRelease, QPoint(130, 80), Qt::NoButton);
    EXPECT_FALSE(fWaterfal->Dragging);
    const IniFile ini(AppPaths::settingsFile());
    EXPECT_EQ(ini.readInteger(QStringLiteral("fWaterfal"), QStringLiteral("Left"), -1),
              start.x() + 30);
}

TEST_F(EchogramWindow, MenuWithoutSensorSaysSo) {
    start();
    FNav->Echogram1->trigger();
    auto& dialogs = TestEnvironment::dialogs();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text,
              QStringLiteral("Sensor is not connected. Connect sensor to view waterfall."));
    EXPECT_FALSE(fWaterfal->isVisible());
}

TEST_F(EchogramWindow, SilentSounderIsReportedOncePerSpell) {
    ManualClock clock({2026, 12, 10, 10, 0, 0, 0}, 1'000'000);
    Clock::install(&clock);
    start();
    AcquisitionState& state = SurveyAcquisitionState();
    state.AcquisitionStartTick = clock.tickCount();
    state.EchogramActive = true;
    fWaterfal->show();

    clock.advance(5000);
    FNav->tEchogramTimer();
    EXPECT_TRUE(fWaterfal->isVisible());
    clock.advance(1);
    FNav->tEchogramTimer();
    EXPECT_FALSE(fWaterfal->isVisible());
    EXPECT_FALSE(state.EchogramActive);
    EXPECT_TRUE(state.SensorSilenceReported);
    EXPECT_EQ(fRealtime->DepthFrameHi->palette().color(QPalette::Window), QColor(255, 0, 0));
    clock.advance(20000);
    FNav->tEchogramTimer();
    EXPECT_EQ(FMsg->Msg->toPlainText().count(QStringLiteral("Sensor TimeOut.")), 1);
    EXPECT_EQ(CountOf(ReadWholeFile(EventsLogPath()).value_or(""), "Sensor TimeOut."), 1);
}

TEST_F(EchogramWindow, TickDrawsAPendingDepthOnlyWithAConnectedSensor) {
    start();
    fWaterfal->show();
    AcquisitionState& state = SurveyAcquisitionState();
    state.TrueDepthHigh = 7.25;
    state.NewDepthPending = true;
    FNav->tEchogramTimer();
    // The sounder's port is closed: nothing drawn, and the depth is not kept waiting.
    EXPECT_EQ(fWaterfal->History.Depths()[49], 0);
    EXPECT_FALSE(state.NewDepthPending);
}
