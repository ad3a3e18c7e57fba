#include "app/survey_windows/EchogramPainter.h"

#include "app/survey_windows/EchogramBarRows.h"

#include "survey/EchogramModel.h"

#include <QFont>
#include <QHash>
#include <QImage>
#include <QPaintEngine>
#include <QPainter>
#include <QStaticText>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// The window repaints at every sounding, and its few texts (the grid labels, the newest depth)
// are mostly the ones it drew the time before: each is laid out once per font and drawn from
// that layout. The texts a survey passes through are few; the table is emptied when it grows
// past a few hundred, so that a long day never fills it.
constexpr int LaidOutTextsKept = 512;

const QStaticText& LaidOut(const QFont& font, const std::string& text) {
    struct FontTexts {
        QFont font;
        QHash<QString, QStaticText> texts;
    };
    // Two fonts in practice (the grid's and the depth box's); looked up by comparison, as
    // the font's key is itself a text to build.
    static std::vector<FontTexts> fonts;
    auto inFont = std::find_if(fonts.begin(), fonts.end(),
                               [&](const FontTexts& kept) { return kept.font == font; });
    if (inFont == fonts.end()) {
        if (fonts.size() >= 8)
            fonts.clear();
        fonts.push_back({font, {}});
        inFont = fonts.end() - 1;
    }
    QHash<QString, QStaticText>& texts = inFont->texts;
    const QString content = QString::fromStdString(text);
    auto found = texts.constFind(content);
    if (found != texts.constEnd())
        return *found;
    if (texts.size() >= LaidOutTextsKept)
        texts.clear();
    QStaticText laidOut(content);
    laidOut.setTextFormat(Qt::PlainText);
    laidOut.setPerformanceHint(QStaticText::AggressiveCaching);
    laidOut.prepare(QTransform(), font);
    return *texts.insert(content, laidOut);
}

// What drawText with a rectangle, left and top aligned, shows: the text from the rectangle's
// top-left corner, cut at its edges.
void DrawText(QPainter& painter, const QRect& rect, const std::string& text) {
    painter.save();
    painter.setClipRect(rect, Qt::IntersectClip);
    painter.drawStaticText(rect.topLeft(), LaidOut(painter.font(), text));
    painter.restore();
}

constexpr int BarBandBytes = 128 * 1024;

QPen ProfilePen() {
    return QPen(Qt::black, 2, Qt::SolidLine, Qt::FlatCap);
}

// The grid with its labels and the depth box: drawn over the bars and the profile.
void PaintGridAndDepthBox(QPainter& painter, const EchogramPlan& plan) {
    QFont labelFont = painter.font();
    labelFont.setBold(true);
    labelFont.setPointSize(9);
    painter.setFont(labelFont);
    const QPen grid(QColor(128, 128, 128), 1, Qt::DotLine);
    for (const EchogramGridLine& line : plan.Grid) {
        painter.setPen(grid);
        painter.drawLine(0, line.Y, plan.Width, line.Y);
        painter.setPen(Qt::black);
        DrawText(painter, QRect(3, line.Y + 2, plan.Width, plan.Height), line.Label);
    }

    if (plan.DepthBox) {
        const EchogramDepthBox& box = *plan.DepthBox;
        if (box.Leader) {
            painter.setPen(QPen(Qt::black, 1));
            painter.drawLine(box.LeaderX, box.LeaderTop, box.LeaderX, box.LeaderBottom);
        }
        painter.fillRect(QRect(QPoint(box.Left, box.Top), QPoint(box.Right - 1, box.Bottom - 1)),
                         QColor(255, 255, 0));
        QFont boxFont = painter.font();
        boxFont.setPointSize(12);
        painter.setFont(boxFont);
        painter.setPen(Qt::black);
        DrawText(painter, QRect(box.TextX, box.TextY, box.Right - box.TextX, box.Bottom - box.TextY),
                 box.Text);
    }
}

// Whether an opaque 32-bit image drawn at whole pixels lands on the painter's device as the
// very pixels a fill would set there: a raster device holding 32-bit pixels, one device pixel
// per pixel, no scaling or rotation, the painter's usual blending.
bool TakesBarImageAsIs(QPainter& painter) {
    QPaintEngine* engine = painter.paintEngine();
    if (!engine || engine->type() != QPaintEngine::Raster || !engine->paintDevice() ||
        engine->paintDevice()->devType() != QInternal::Image)
        return false;
    const auto* target = static_cast<const QImage*>(engine->paintDevice());
    const QImage::Format format = target->format();
    if (format != QImage::Format_RGB32 && format != QImage::Format_ARGB32 &&
        format != QImage::Format_ARGB32_Premultiplied)
        return false;
    if (target->devicePixelRatio() != 1.0 || painter.device()->devicePixelRatio() != 1.0)
        return false;
    const QTransform transform = painter.deviceTransform();
    if (transform.type() > QTransform::TxTranslate || transform.dx() != std::floor(transform.dx()) ||
        transform.dy() != std::floor(transform.dy()))
        return false;
    return painter.compositionMode() == QPainter::CompositionMode_SourceOver &&
           painter.opacity() == 1.0;
}

} // namespace

void PaintEchogram(QPainter& painter, const EchogramPlan& plan, QImage& barImage) {
    if (plan.Width < 1 || plan.Height < 1)
        return;
    if (!TakesBarImageAsIs(painter) || !BarsWritableAsRows(plan)) {
        PaintEchogramWithPainter(painter, plan);
        return;
    }
    // A band of rows small enough to stay in the processor's cache between being written and
    // being drawn: a large window is not written out to memory twice.
    const int bandRows = std::clamp(BarBandBytes / (plan.Width * 4), 1, plan.Height);
    if (barImage.size() != QSize(plan.Width, bandRows) ||
        barImage.format() != QImage::Format_RGB32)
        barImage = QImage(plan.Width, bandRows, QImage::Format_RGB32);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    WriteEchogramBars(barImage, plan, [&](int top, int rows) {
        painter.drawImage(QPoint(0, top), barImage, QRect(0, 0, plan.Width, rows));
    });
    // The profile's segments in one call: the engine strokes each on its own as it would
    // one call each, in one solid colour, and spares the call per segment.
    std::vector<QLine> profile;
    profile.reserve(plan.Profile.size());
    for (const EchogramSegment& segment : plan.Profile)
        profile.emplace_back(segment.X0, segment.Y0, segment.X1, segment.Y1);
    painter.setPen(ProfilePen());
    painter.drawLines(profile.data(), int(profile.size()));
    // The texts are drawn on the painter's own device, not into the image: the engine may
    // smooth glyphs for a window (by the screen's subpixels) otherwise than for an image, and
    // drawn here they are what they always were.
    PaintGridAndDepthBox(painter, plan);
    painter.restore();
}

void PaintEchogramWithPainter(QPainter& painter, const EchogramPlan& plan) {
    if (plan.Width < 1 || plan.Height < 1)
        return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.fillRect(QRect(0, 0, plan.Width, plan.Height),
                     QColor::fromRgb(EchogramColours::Background));

    const QColor water = QColor::fromRgb(EchogramColours::Water);
    const QPen seabed(QColor::fromRgb(EchogramColours::Seabed), 3, Qt::SolidLine, Qt::FlatCap);
    for (const EchogramBar& bar : plan.Bars) {
        painter.fillRect(QRect(QPoint(bar.X0, 0), QPoint(bar.X1 - 1, bar.Y - 1)), water);
        painter.setPen(seabed);
        painter.drawLine(bar.X0, bar.Y, bar.X1, bar.Y);
    }
    painter.setPen(ProfilePen());
    for (const EchogramSegment& segment : plan.Profile)
        painter.drawLine(segment.X0, segment.Y0, segment.X1, segment.Y1);
    PaintGridAndDepthBox(painter, plan);
    painter.restore();
}
