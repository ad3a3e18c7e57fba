#include "StartedProgram.h"

#include "app/survey_windows/EchogramBarRows.h"
#include "app/survey_windows/EchogramPainter.h"
#include "app/survey_windows/TfWaterfal.h"

#include "survey/EchogramModel.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr QRgb Unpainted = 0xff000000u;
constexpr QRgb Red = 0xffff0000u;

// Whether the painter's seabed line and the block SeabedPixels gives set the same pixels of a
// black W x H image; the first line that differs is named.
class SeabedComparison {
public:
    SeabedComparison(int width, int height)
        : width_(width), height_(height), painted_(width, height, QImage::Format_RGB32),
          written_(width, height, QImage::Format_RGB32) {}

    bool same(const EchogramBar& bar) {
        painted_.fill(Unpainted);
        {
            QPainter painter(&painted_);
            painter.setRenderHint(QPainter::Antialiasing, false);
            painter.setPen(QPen(QColor(255, 0, 0), 3, Qt::SolidLine, Qt::FlatCap));
            painter.drawLine(bar.X0, bar.Y, bar.X1, bar.Y);
        }
        written_.fill(Unpainted);
        const EchogramPixelBlock block = SeabedPixels(bar, width_, height_);
        for (int row = block.Top; row < block.Bottom; ++row)
            for (int column = block.Left; column < block.Right; ++column)
                written_.setPixel(column, row, Red);
        ++compared;
        if (painted_ == written_)
            return true;
        if (!firstDifference)
            firstDifference = "X0 " + std::to_string(bar.X0) + ", X1 " + std::to_string(bar.X1) +
                              ", Y " + std::to_string(bar.Y) + " in " + std::to_string(width_) +
                              " x " + std::to_string(height_);
        return false;
    }

    int compared = 0;
    int differing = 0;
    std::optional<std::string> firstDifference;

private:
    int width_;
    int height_;
    QImage painted_;
    QImage written_;
};

// Every line from X0 to X1 > X0 at every row Y, each within steps of the given sizes; the
// rows at the top and bottom edges (Y = 0, Y = H), where the pen reaches out of the image, are
// always among them.
void CompareSeabeds(int width, int height, int stepX0, int stepX1, int stepY,
                    SeabedComparison& comparison) {
    std::vector<int> rows;
    for (int y = 0; y <= height; y += stepY)
        rows.push_back(y);
    if (rows.back() != height)
        rows.push_back(height);
    for (int y : rows)
        for (int x0 = 0; x0 < width; x0 += stepX0)
            for (int x1 = x0 + 1; x1 <= width; x1 += stepX1)
                if (!comparison.same({x0, x1, y}))
                    ++comparison.differing;
}

// An echogram plan from a history as the window keeps it.
EchogramPlan PlanOf(const std::vector<double>& depths, int width, int height, int count,
                    double fallbackTop = EchogramLimits::FallbackTop,
                    double fallbackBottom = EchogramLimits::FallbackBottom) {
    EchogramModel model;
    for (double depth : depths)
        model.Append(depth, count);
    return model.Plan(width, height, count, fallbackTop, fallbackBottom);
}

std::vector<double> Sloping(int entries) {
    std::vector<double> depths;
    for (int i = 0; i < entries; ++i)
        depths.push_back(14.0 - 5.0 * i / entries + 0.4 * std::sin(i / 3.0));
    return depths;
}

QImage Painted(const EchogramPlan& plan, QImage::Format format, QImage* barImage,
               double devicePixelRatio = 1) {
    QImage image(plan.Width, plan.Height, format);
    image.setDevicePixelRatio(devicePixelRatio);
    image.fill(QColor(12, 34, 56));
    QPainter painter(&image);
    painter.setFont(QFont(QStringLiteral("DejaVu Sans"), 8));
    if (barImage)
        PaintEchogram(painter, plan, *barImage);
    else
        PaintEchogramWithPainter(painter, plan);
    return image;
}

} // namespace

TEST(EchogramBarRows, SeabedRowsAreThePixelsThePainterSets) {
    SeabedComparison small(40, 20);
    CompareSeabeds(40, 20, 1, 1, 1, small); // every line of a small image
    EXPECT_EQ(small.differing, 0) << *small.firstDifference;

    // Long lines: the pen's width relative to the length no longer rounds back to 1.5 pixels,
    // and the second row of a line along the top edge is lost.
    SeabedComparison wide(1920, 6);
    CompareSeabeds(1920, 6, 37, 23, 1, wide);
    EXPECT_TRUE(wide.same({21, 1441, 0})) << "a long line along the top edge";
    EXPECT_EQ(wide.differing, 0) << *wide.firstDifference;

    // Rows far down a tall image, where Y and the half pen round together differently.
    SeabedComparison tall(1920, 1080);
    CompareSeabeds(1920, 1080, 641, 307, 13, tall);
    EXPECT_EQ(tall.differing, 0) << *tall.firstDifference;
    EXPECT_GT(small.compared + wide.compared + tall.compared, 20000);
}

TEST(EchogramBarRows, OnlyBarsSideBySideInsideTheWindowAreWrittenAsRows) {
    const struct {
        const char* name;
        std::vector<EchogramBar> bars;
        bool writable;
    } cases[] = {
        {"none", {}, true},
        {"side by side, at the edges", {{0, 1, 0}, {1, 10, 50}, {10, 99, 25}, {99, 100, 50}}, true},
        {"with a gap", {{0, 10, 5}, {20, 30, 6}}, true},
        {"left of the window", {{-1, 5, 10}}, false},
        {"right of it", {{95, 101, 10}}, false},
        {"no width", {{5, 5, 10}}, false},
        {"backwards", {{6, 5, 10}}, false},
        {"above it", {{5, 6, -1}}, false},
        {"below it", {{5, 6, 51}}, false},
        {"overlapping", {{0, 10, 5}, {9, 20, 6}}, false},
        {"right to left", {{10, 20, 5}, {0, 10, 6}}, false},
    };
    for (const auto& c : cases) {
        EchogramPlan plan;
        plan.Width = 100;
        plan.Height = 50;
        plan.Bars = c.bars;
        EXPECT_EQ(BarsWritableAsRows(plan), c.writable) << c.name;
    }
}

TEST(EchogramBarRows, TheEchogramPaintsWhatThePainterAlonePaints) {
    EchogramPlan outside = PlanOf({10.5, 12.5, 11.0, 13.0, 12.0}, 120, 60, 5);
    outside.Bars.push_back({110, 125, 40}); // reaching past the right edge: the painter paints
    const struct {
        const char* name;
        EchogramPlan plan;
        QImage::Format format = QImage::Format_RGB32;
        double devicePixelRatio = 1;
    } cases[] = {
        {"designed window, a few depths", PlanOf({11.5, 21.5, 33.5, 38.5}, 388, 147, 50)},
        {"designed window, full history", PlanOf(Sloping(200), 388, 147, 200)},
        {"wide strip, full history", PlanOf(Sloping(200), 1000, 300, 200)},
        {"full screen", PlanOf(Sloping(200), 1920, 1080, 200)},
        {"more entries than pixels", PlanOf(Sloping(200), 150, 80, 200)},
        {"tiny window", PlanOf(Sloping(30), 7, 5, 30)},
        {"one pixel", PlanOf(Sloping(10), 1, 1, 10)},
        {"empty history", PlanOf({}, 388, 147, 50)},
        {"newest entry no depth: no depth box", PlanOf({12.0, 13.5, 12.5, 14.0, 0.0}, 388, 147, 5)},
        // Too few depths to scale by: the fallback scale holds them at the top and bottom
        // edges, the seabed cut by the image there.
        {"bars at the top and bottom edges", PlanOf({5.0, 30.0, 5.0}, 388, 147, 3, 10, 20)},
        {"the fallback scale's own edges", PlanOf({50.0, 0.001, 50.0}, 300, 100, 3)},
        // One entry kept: a single bar across the window, its seabed along an edge.
        {"one bar across a full screen, at the top", PlanOf({5.0}, 1920, 1080, 1, 10, 20)},
        {"one bar across a full screen, at the bottom", PlanOf({30.0}, 1920, 1080, 1, 10, 20)},
        // Widths where the pen's relative width rounds off 1.5 pixels: a row lost along the
        // top edge, a fourth row near it.
        {"one bar 47 pixels wide, at the top", PlanOf({5.0}, 47, 30, 1, 10, 20)},
        {"one bar 187 pixels wide, near the top", PlanOf({1.0}, 187, 100, 1)},
        {"alternating edges, one pixel bars", PlanOf({5.0, 30.0, 30.0}, 3, 40, 3, 10, 20)},
        {"premultiplied target", PlanOf(Sloping(200), 388, 147, 200),
         QImage::Format_ARGB32_Premultiplied},
        {"16-bit target", PlanOf(Sloping(200), 388, 147, 200), QImage::Format_RGB16},
        {"high-density target", PlanOf(Sloping(200), 388, 147, 200), QImage::Format_RGB32, 2},
        {"a bar outside the window", outside},
    };
    // One kept image through all the sizes, as the window keeps it through resizes.
    QImage barImage;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QImage expected = Painted(c.plan, c.format, nullptr, c.devicePixelRatio);
        const QImage painted = Painted(c.plan, c.format, &barImage, c.devicePixelRatio);
        EXPECT_TRUE(painted == expected);
    }
}

TEST(EchogramBarRows, BandsOfAnyHeightMakeTheSameRows) {
    const struct {
        const char* name;
        EchogramPlan plan;
    } cases[] = {
        {"designed window, full history", PlanOf(Sloping(200), 388, 147, 200)},
        {"one bar 187 pixels wide, near the top", PlanOf({1.0}, 187, 100, 1)},
        {"bars at the top and bottom edges", PlanOf({5.0, 30.0, 5.0}, 120, 60, 3, 10, 20)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        // The bars alone, as the painter paints them.
        EchogramPlan barsOnly = c.plan;
        barsOnly.Profile.clear();
        barsOnly.Grid.clear();
        barsOnly.DepthBox.reset();
        const QImage expected = Painted(barsOnly, QImage::Format_RGB32, nullptr);
        for (int bandRows : {1, 2, 7, 50, c.plan.Height}) {
            SCOPED_TRACE(bandRows);
            QImage band(c.plan.Width, bandRows, QImage::Format_RGB32);
            QImage assembled(c.plan.Width, c.plan.Height, QImage::Format_RGB32);
            assembled.fill(Qt::black);
            int nextRow = 0;
            WriteEchogramBars(band, c.plan, [&](int top, int rows) {
                EXPECT_EQ(top, nextRow);
                EXPECT_GE(rows, 1);
                EXPECT_LE(rows, bandRows);
                for (int row = 0; row < rows; ++row)
                    std::copy_n(band.constScanLine(row), band.bytesPerLine(),
                                assembled.scanLine(top + row));
                nextRow = top + rows;
            });
            EXPECT_EQ(nextRow, c.plan.Height);
            EXPECT_TRUE(assembled == expected);
        }
    }
}

TEST(EchogramBarRows, PaintingAgainOverAnOlderPictureLeavesNothingOfIt) {
    // The kept image holds the bars of the paint before: each paint writes every pixel again.
    QImage barImage;
    const EchogramPlan deep = PlanOf(Sloping(200), 388, 147, 200);
    const EchogramPlan shallow = PlanOf({2.0, 2.5, 3.0, 2.25, 2.75}, 388, 147, 5);
    Painted(deep, QImage::Format_RGB32, &barImage);
    EXPECT_TRUE(Painted(shallow, QImage::Format_RGB32, &barImage) ==
                Painted(shallow, QImage::Format_RGB32, nullptr));
}

class EchogramWindowPicture : public StartedProgram {};

TEST_F(EchogramWindowPicture, TheWindowShowsWhatThePainterAlonePaints) {
    start();
    fWaterfal->show();
    for (const QSize size : {QSize(388, 147), QSize(1000, 300), QSize(45, 41)}) {
        fWaterfal->resize(size);
        for (double depth : Sloping(60))
            DrawEchogram(depth, 0, 50, fWaterfal->DataWidth);
        const EchogramPlan plan = fWaterfal->CurrentPlan();
        ASSERT_EQ(plan.Width, size.width());
        ASSERT_FALSE(plan.Bars.empty());

        QImage shown(size, QImage::Format_RGB32);
        fWaterfal->render(&shown);
        QImage expected(size, QImage::Format_RGB32);
        QPainter painter(&expected);
        painter.setFont(fWaterfal->font());
        PaintEchogramWithPainter(painter, plan);
        painter.end();
        EXPECT_TRUE(shown == expected) << size.width() << " x " << size.height();
    }
}
