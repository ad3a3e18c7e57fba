#include "canvas/WideLineStamp.h"

#include <QImage>
#include <QLine>
#include <QPainter>
#include <QPen>

#include <memory>
#include <unordered_map>

namespace {
constexpr int Span = 2 * WideLineStamp::MaxReach + 1;
constexpr int NearReach = 8;
constexpr int NearSpan = 2 * NearReach + 1;
constexpr int NearCount = (WideLineStamp::MaxWidth - 1) * NearSpan * NearSpan;

std::vector<WideLineStamp::Run> StrokeAlone(int penWidth, int dx, int dy) {
    // Room for the caps on every side.
    const int margin = penWidth + 2;
    const int startX = margin + (dx < 0 ? -dx : 0);
    const int startY = margin + (dy < 0 ? -dy : 0);
    QImage scratch(2 * margin + (dx < 0 ? -dx : dx) + 1, 2 * margin + (dy < 0 ? -dy : dy) + 1,
                   QImage::Format_RGB32);
    scratch.fill(Qt::black);
    {
        QPainter painter(&scratch);
        painter.setRenderHint(QPainter::Antialiasing, false);
        // The pen the canvas strokes its collected wide lines with.
        QPen pen(Qt::white);
        pen.setWidth(penWidth);
        pen.setCapStyle(Qt::RoundCap);
        pen.setJoinStyle(Qt::RoundJoin);
        painter.setPen(pen);
        const QLine line(startX, startY, startX + dx, startY + dy);
        painter.drawLines(&line, 1);
    }
    std::vector<WideLineStamp::Run> runs;
    for (int y = 0; y < scratch.height(); ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(scratch.constScanLine(y));
        int x = 0;
        while (x < scratch.width()) {
            if ((row[x] & 0xFFFFFFu) == 0) {
                ++x;
                continue;
            }
            const int from = x;
            while (x < scratch.width() && (row[x] & 0xFFFFFFu) != 0)
                ++x;
            runs.push_back({y - startY, from - startX, x - from});
        }
    }
    return runs;
}
} // namespace

const std::vector<WideLineStamp::Run>& WideLineStamp::RunsFor(int penWidth, int dx, int dy) {
    // Made as lines of each width and direction first come. The segments of a wide zoom, a
    // pixel or a few long, are found in a table by index; the longer ones of a close zoom, a
    // few hundred kinds of them on a track, by key.
    struct Stamps {
        std::vector<std::vector<Run>> Near = std::vector<std::vector<Run>>(NearCount);
        std::vector<bool> NearMade = std::vector<bool>(NearCount, false);
        std::unordered_map<int, std::vector<Run>> Far;
    };
    thread_local std::unique_ptr<Stamps> stamps;
    if (!stamps)
        stamps = std::make_unique<Stamps>();
    if (dx >= -NearReach && dx <= NearReach && dy >= -NearReach && dy <= NearReach) {
        const size_t index = static_cast<size_t>(((penWidth - 2) * NearSpan + dy + NearReach) *
                                                     NearSpan +
                                                 dx + NearReach);
        if (!stamps->NearMade[index]) {
            stamps->Near[index] = StrokeAlone(penWidth, dx, dy);
            stamps->NearMade[index] = true;
        }
        return stamps->Near[index];
    }
    const int key = ((penWidth - 2) * Span + dy + MaxReach) * Span + dx + MaxReach;
    auto found = stamps->Far.find(key);
    if (found == stamps->Far.end())
        found = stamps->Far.emplace(key, StrokeAlone(penWidth, dx, dy)).first;
    return found->second;
}
