#include "app/program/WindowPlacement.h"

#include "app/main_window/TFNav.h"

#include "platform/FormState.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFrame>
#include <QPointer>
#include <QScreen>
#include <QTimer>

#include <memory>
#include <optional>

namespace {

bool Free(const QRect& place, const std::vector<QRect>& taken) {
    for (const QRect& other : taken)
        if (place.intersects(other))
            return false;
    return true;
}

// The windows placed before the main window had its frame.
std::vector<QPointer<QWidget>> placedEarly;
QPointer<QTimer> frameWatch;

std::optional<QPoint> PlaceOf(QWidget* form) {
    if (!FNav || form == FNav || !FNav->Panel4)
        return std::nullopt;
    const QRect mapArea(FNav->Panel4->mapToGlobal(QPoint(0, 0)), FNav->Panel4->size());
    std::vector<QRect> taken;
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window != form && window != FNav && window->isVisible() && window->isWindow() &&
            !window->parentWidget())
            taken.push_back(window->frameGeometry());
    const QScreen* screen = FNav->screen();
    const QRect screenArea = screen ? screen->availableGeometry() : QRect();
    return PlaceClearOfControls(form->frameGeometry().size(), FNav->frameGeometry(), mapArea,
                                screenArea, taken);
}

bool MainWindowFramed() {
    return FNav && FNav->frameGeometry() != FNav->geometry();
}

// Looks every 50 ms, for at most 5 s, whether the main window has its frame; then places the
// windows placed before once more.
void WatchForTheMainWindowsFrame() {
    if (frameWatch || !FNav)
        return;
    auto* watch = new QTimer(FNav);
    frameWatch = watch;
    auto since = std::make_shared<QElapsedTimer>();
    since->start();
    QObject::connect(watch, &QTimer::timeout, watch, [watch, since] {
        const bool framed = MainWindowFramed();
        if (!framed && since->elapsed() < 5000)
            return;
        watch->stop();
        watch->deleteLater();
        std::vector<QPointer<QWidget>> windows;
        windows.swap(placedEarly);
        if (!framed)
            return;
        for (const QPointer<QWidget>& window : windows)
            if (window && window->isVisible())
                if (const std::optional<QPoint> place = PlaceOf(window))
                    PlaceForm(window, place->x(), place->y());
    });
    watch->start(50);
}

std::optional<QPoint> FirstPlaceOf(QWidget* form) {
    const std::optional<QPoint> place = PlaceOf(form);
    if (place && !MainWindowFramed()) {
        placedEarly.emplace_back(form);
        WatchForTheMainWindowsFrame();
    }
    return place;
}

} // namespace

QPoint PlaceClearOfControls(const QSize& frameSize, const QRect& mainFrame, const QRect& mapArea,
                            const QRect& screen, const std::vector<QRect>& taken) {
    // A little room between windows, so that their frames do not touch.
    constexpr int gap = 4;
    for (const QPoint corner : {QPoint(mainFrame.right() + 1 + gap, mainFrame.top()),
                                QPoint(mainFrame.left(), mainFrame.bottom() + 1 + gap)}) {
        const QRect place(corner, frameSize);
        if (screen.contains(place) && Free(place, taken))
            return corner;
    }
    const QRect area = mapArea.intersected(screen);
    for (int top = area.top(); top + frameSize.height() <= area.bottom() + 1;
         top += frameSize.height() + gap) {
        for (int left = area.left(); left + frameSize.width() <= area.right() + 1;
             left += frameSize.width() + gap) {
            const QRect place(QPoint(left, top), frameSize);
            if (Free(place, taken))
                return place.topLeft();
        }
    }
    return mapArea.topLeft();
}

void PlaceFirstShownWindowsClearOfControls() {
    SetFirstPlacement(FirstPlaceOf);
}

void StopPlacingFirstShownWindows() {
    SetFirstPlacement(nullptr);
    placedEarly.clear();
    delete frameWatch;
}
