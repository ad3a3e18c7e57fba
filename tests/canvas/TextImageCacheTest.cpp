#include "canvas/CanvasModel.h"
#include "canvas/CanvasRenderer.h"
#include "canvas/MapDisplaySettings.h"
#include "canvas/PaintCanvas.h"

#include <QFont>
#include <QFontMetrics>
#include <QImage>

#include <gtest/gtest.h>

namespace {

bool SameInk(const TextImageCache::Entry& a, const TextImageCache::Entry& b) {
    if (a.Offset != b.Offset || a.Width != b.Width || a.Height != b.Height ||
        a.Runs.size() != b.Runs.size() || a.Edges.size() != b.Edges.size())
        return false;
    for (size_t i = 0; i < a.Runs.size(); ++i)
        if (a.Runs[i].Row != b.Runs[i].Row || a.Runs[i].Column != b.Runs[i].Column ||
            a.Runs[i].Length != b.Runs[i].Length)
            return false;
    for (size_t i = 0; i < a.Edges.size(); ++i)
        if (a.Edges[i].Row != b.Edges[i].Row || a.Edges[i].Column != b.Edges[i].Column ||
            a.Edges[i].Coverage != b.Edges[i].Coverage)
            return false;
    return true;
}

} // namespace

// The read-outs change at nearly every frame of a survey: hours of frames must not pile their
// texts up in the cache, and each is drawn with the same ink as a kept text.
TEST(TextImageCacheTest, ReadoutsThatChangeEveryFrameDoNotFillTheCache) {
    TextImageCache cache;
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(40);
    const QFontMetrics metrics(font);
    for (int i = 0; i < 5000; ++i) {
        const QString depth = QStringLiteral("%1 m").arg(5 + i / 1000.0, 0, 'f', 3);
        EXPECT_GT(cache.Recent(font, metrics, depth).Runs.size(), 0u);
        // Drawn again in the same frame: the same ink, not rendered again.
        EXPECT_EQ(&cache.Recent(font, metrics, depth), &cache.Recent(font, metrics, depth));
    }
    EXPECT_EQ(cache.Bytes(), 0u);

    const QString text = QStringLiteral("RTK Fix | Spd: 5.00 kn");
    const TextImageCache::Entry recent = cache.Recent(font, metrics, text);
    TextImageCache::Table& table = cache.TableFor(font);
    EXPECT_TRUE(SameInk(recent, cache.Get(table, font, metrics, text)));
    EXPECT_GT(cache.Bytes(), 0u);
}

// Frame after frame of a survey, with a new depth, speed and status line each time and depth
// labels scrolling past: the labels in view keep their ink, the read-outs leave nothing behind,
// and labels no longer drawn are forgotten, so hours of new depths do not pile up.
TEST(TextImageCacheTest, FramesOfASurveyKeepOnlyTheLabelsInView) {
    CanvasModel model;
    model.Resize(640, 480);
    model.LabelsVisible = true;
    model.LabelSpacing = 0;
    auto addLabels = [&](double firstDepth) {
        for (int i = 0; i < 20; ++i) {
            double x = 0, y = 0;
            model.ScreenToWorld(40 + 25 * i, 240, x, y);
            ASSERT_TRUE(model.AddDepthLabel(x, y, firstDepth + i / 4.0));
        }
    };
    QImage back, frame;
    TextImageCache cache;
    auto paintFrames = [&](int count) {
        static int readout = 0;
        for (int i = 0; i < count; ++i, ++readout) {
            model.SetCurrentDepth(5 + readout / 100.0, 0, true);
            model.SetCurrentSpeed(4 + readout / 100.0, true);
            OverlayStatusText = "RTK Fix | Spd: " + std::to_string(readout);
            CanvasRenderer::ComposeFrame(model, back, frame, &cache);
        }
    };
    paintFrames(1);
    const size_t scaleBar = cache.WhileDrawnCount();
    addLabels(7);
    paintFrames(300);
    EXPECT_EQ(cache.WhileDrawnCount(), scaleBar + 20) << "the labels in view, nothing of the read-outs";
    EXPECT_EQ(cache.Bytes(), 0u) << "no map texts";

    model.ClearDepthLabels();
    addLabels(30);
    paintFrames(int(2 * TextImageCache::KeepFrames) + 1);
    EXPECT_EQ(cache.WhileDrawnCount(), scaleBar + 20) << "the labels scrolled away are forgotten";
    OverlayStatusText.clear();
}

TEST(TextImageCacheTest, DepthTextsOfLabelsLongOutOfViewAreForgotten) {
    TextImageCache cache;
    // A survey's frames: a hundred labels in view, two new ones a frame as the vessel moves.
    int newest = 0;
    for (int frame = 0; frame < 5000; ++frame) {
        cache.BeginFrame();
        newest += 2;
        for (int label = newest - 100; label < newest; ++label)
            EXPECT_EQ(cache.DepthText(label * 0.01), QString::fromStdString(DepthLabelText(label * 0.01)));
    }
    EXPECT_LE(cache.DepthTextCount(), TextImageCache::MinNumberCapacity + 100);

    // Ten thousand labels in view at every frame (the whole day): all stay known.
    for (int frame = 0; frame < 3; ++frame) {
        cache.BeginFrame();
        for (int label = 0; label < 10000; ++label)
            cache.DepthText(label * 0.001);
    }
    EXPECT_GE(cache.DepthTextCount(), 10000u);
}

// The overlays measure their texts at every frame: a remembered advance must be the one the
// font's metrics give, for each font apart, and hours of changing read-outs must not make the
// remembered advances grow without bound.
TEST(TextImageCacheTest, RememberedAdvancesAreTheFontsOwnAndStayBounded) {
    TextImageCache cache;
    QFont narrow(QStringLiteral("DejaVu Sans Mono"));
    narrow.setPixelSize(16);
    QFont wide(QStringLiteral("DejaVu Sans"));
    wide.setPixelSize(40);
    wide.setBold(true);
    const QFontMetrics narrowMetrics(narrow), wideMetrics(wide);
    const QString texts[] = {QStringLiteral("12.40"), QStringLiteral(" m"),
                             QStringLiteral("AVAWAY To"), QStringLiteral("RTK Fix | Spd: 5.00 kn"),
                             QString()};
    for (int pass = 0; pass < 2; ++pass)
        for (const QString& text : texts) {
            EXPECT_EQ(cache.Advance(narrow.key(), narrowMetrics, text),
                      narrowMetrics.horizontalAdvance(text))
                << text.toStdString();
            EXPECT_EQ(cache.Advance(wide.key(), wideMetrics, text),
                      wideMetrics.horizontalAdvance(text))
                << text.toStdString();
        }
    ASSERT_NE(narrowMetrics.horizontalAdvance(texts[3]), wideMetrics.horizontalAdvance(texts[3]));

    for (int i = 0; i < 5000; ++i) {
        const QString depth = QStringLiteral("%1 m").arg(5 + i / 1000.0, 0, 'f', 3);
        ASSERT_EQ(cache.Advance(wide.key(), wideMetrics, depth), wideMetrics.horizontalAdvance(depth));
        ASSERT_LE(cache.AdvanceCount(), TextImageCache::AdvanceCapacity);
    }
}
