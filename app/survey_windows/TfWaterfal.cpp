#include "app/survey_windows/TfWaterfal.h"

#include "app/survey_windows/EchogramPainter.h"
#include "app/survey_windows/EchogramWindowLinks.h"
#include "app/widgets/WindowEdgeZone.h"

#include "platform/AppPaths.h"
#include "platform/ErrorBoundary.h"
#include "platform/EventLog.h"
#include "platform/FormState.h"
#include "platform/IniFile.h"

#include <QCloseEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QShowEvent>
#include <QTimer>
#include <QWindow>

TfWaterfal* fWaterfal = nullptr;

namespace {
const QString section = QStringLiteral("ECHOGRAM");
constexpr int smallestSide = 40;
} // namespace

TfWaterfal::TfWaterfal(EchogramWindowLinks* links, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      Links(links) {
    setObjectName(QStringLiteral("fWaterfal"));
    setWindowTitle(QStringLiteral("Acoustic Waterfall"));
    setFont(QFont(QStringLiteral("DejaVu Sans"), 8));
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(388, 147);
    move(0, 0);
    // A run that never shows the echogram writes back what the file held, not the designed
    // values.
    ErrorBoundary::run([this] { readSettings(); });
}

void TfWaterfal::readSettings() {
    IniFile ini(AppPaths::settingsFile());
    const int storedWidth = ini.readInteger(section, QStringLiteral("DataWidth"), 50);
    const int storedInterval = ini.readInteger(section, QStringLiteral("Interval"), 100);
    DataWidth = EchogramModel::ClampDataWidth(storedWidth);
    Interval = EchogramModel::ClampInterval(storedInterval);
    // A value the echogram cannot use is said once and put right in the file.
    if (DataWidth != storedWidth) {
        ini.writeInteger(section, QStringLiteral("DataWidth"), DataWidth);
        if (!dataWidthReported_)
            AutoEventLog("Echogram DataWidth " + std::to_string(storedWidth) +
                             " is outside 1 to 200; " + std::to_string(DataWidth) + " is used.",
                         EventsLogPath());
        dataWidthReported_ = true;
    }
    if (Interval != storedInterval) {
        ini.writeInteger(section, QStringLiteral("Interval"), Interval);
        if (!intervalReported_)
            AutoEventLog("Echogram Interval " + std::to_string(storedInterval) +
                             " ms is outside 20 to 1000 ms; " + std::to_string(Interval) +
                             " ms is used.",
                         EventsLogPath());
        intervalReported_ = true;
    }
}

EchogramPlan TfWaterfal::CurrentPlan() const {
    return History.Plan(width(), height(), DataWidth, FallbackTop, FallbackBottom);
}

void TfWaterfal::FormShow() {
    readSettings();
    if (QTimer* tick = Links ? Links->EchogramTimer() : nullptr)
        tick->setInterval(Interval);
    RestoreFormState(this, 1);
}

void TfWaterfal::FormCloseQuery() {
    {
        IniFile ini(AppPaths::settingsFile());
        ini.writeInteger(section, QStringLiteral("DataWidth"), DataWidth);
        ini.writeInteger(section, QStringLiteral("Interval"), Interval);
    }
    SaveFormState(this);
}

void TfWaterfal::FormMouseDown(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint at = event->position().toPoint();
    const int zone = WindowEdgeZone::CodeAt(at.x(), at.y(), width(), height());
    QWindow* window = windowHandle();
    if (zone != WindowEdgeZone::None) {
        const Qt::Edges edges = WindowEdgeZone::EdgesOf(zone);
        if (window && window->startSystemResize(edges))
            return;
        resizeEdges_ = edges;
        resizeStart_ = event->globalPosition().toPoint();
        resizeGeometry_ = geometry();
        return;
    }
    if (window && window->startSystemMove())
        return;
    Dragging = true;
    DragStartX = at.x();
    DragStartY = at.y();
}

void TfWaterfal::FormMouseMove(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    if (Dragging) {
        move(pos() + QPoint(at.x() - DragStartX, at.y() - DragStartY));
        return;
    }
    if (resizeEdges_ && (event->buttons() & Qt::LeftButton)) {
        const QPoint delta = event->globalPosition().toPoint() - resizeStart_;
        QRect g = resizeGeometry_;
        if (resizeEdges_ & Qt::LeftEdge)
            g.setLeft(std::min(g.left() + delta.x(), g.right() - smallestSide));
        if (resizeEdges_ & Qt::RightEdge)
            g.setRight(std::max(g.right() + delta.x(), g.left() + smallestSide));
        if (resizeEdges_ & Qt::TopEdge)
            g.setTop(std::min(g.top() + delta.y(), g.bottom() - smallestSide));
        if (resizeEdges_ & Qt::BottomEdge)
            g.setBottom(std::max(g.bottom() + delta.y(), g.top() + smallestSide));
        setGeometry(g);
        return;
    }
    setCursor(WindowEdgeZone::CursorOf(WindowEdgeZone::CodeAt(at.x(), at.y(), width(), height())));
}

void TfWaterfal::FormMouseUp(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    if (resizeEdges_) {
        resizeEdges_ = {};
        SaveFormState(this);
    }
    if (Dragging) {
        Dragging = false;
        SaveFormState(this);
    }
}

void TfWaterfal::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    PaintEchogram(painter, CurrentPlan(), barImage_);
}

void TfWaterfal::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!event->spontaneous())
        ErrorBoundary::run([this] { FormShow(); });
}

void TfWaterfal::closeEvent(QCloseEvent* event) {
    ErrorBoundary::run([this] { FormCloseQuery(); });
    event->accept();
}

void TfWaterfal::mousePressEvent(QMouseEvent* event) {
    FormMouseDown(event);
}

void TfWaterfal::mouseMoveEvent(QMouseEvent* event) {
    FormMouseMove(event);
}

void TfWaterfal::mouseReleaseEvent(QMouseEvent* event) {
    FormMouseUp(event);
}

void DrawEchogram(double depth, double fallbackTop, double fallbackBottom, int count) {
    if (!fWaterfal || !fWaterfal->isVisible() || fWaterfal->width() < 1 || fWaterfal->height() < 1)
        return;
    // The same depth again over a strip of that depth leaves every entry where it was: the
    // window would paint the pixels it shows.
    const bool sameScale =
        fWaterfal->FallbackTop == fallbackTop && fWaterfal->FallbackBottom == fallbackBottom;
    const std::vector<double> before = fWaterfal->History.Depths();
    fWaterfal->FallbackTop = fallbackTop;
    fWaterfal->FallbackBottom = fallbackBottom;
    fWaterfal->History.Append(depth, count);
    if (sameScale && fWaterfal->History.Depths() == before)
        return;
    fWaterfal->update();
}
