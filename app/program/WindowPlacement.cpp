#include "app/program/WindowPlacement.h"

#include "app/main_window/TFNav.h"

#include "platform/FormState.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFrame>
#include <QMenuBar>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QToolBar>

#include <memory>
#include <optional>

namespace {

bool Free(const QRect& place, const std::vector<QRect>& taken) {
    for (const QRect& other : taken)
        if (place.intersects(other))
            return false;
    return true;
}

// The windows placed before the main window had its frame, and those whose stored place was
// taken before: a guess of where its controls would be once framed.
std::vector<QPointer<QWidget>> placedEarly;
std::vector<QPointer<QWidget>> storedEarly;
QPointer<QTimer> frameWatch;

bool MainWindowFramed() {
    return FNav && FNav->frameGeometry() != FNav->geometry();
}

// What the operator needs of the main window during the whole survey, in screen coordinates:
// its title bar, menu, tool bars and status bar. Before the window manager has framed the main
// window its client area still stands at the frame's corner; it will move down by the title.
std::vector<QRect> MainWindowControls() {
    const QRect frame = FrameAt(FNav, FNav->frameGeometry().topLeft());
    const int clientTop = frame.top() + frame.height() - FNav->height() -
                          (FNav->frameGeometry().bottom() - FNav->geometry().bottom());
    const QPoint shift(0, clientTop - FNav->geometry().top());
    std::vector<QRect> controls{
        QRect(frame.left(), frame.top(), frame.width(), clientTop - frame.top())};
    for (QWidget* control :
         {static_cast<QWidget*>(FNav->menuBar()), static_cast<QWidget*>(FNav->tRealtime),
          static_cast<QWidget*>(FNav->tDraw), static_cast<QWidget*>(FNav->tShape),
          static_cast<QWidget*>(FNav->pRealtime)})
        if (control)
            controls.emplace_back(control->mapToGlobal(QPoint(0, 0)) + shift, control->size());
    return controls;
}

bool CoversMainWindowControls(const QRect& frame) {
    for (const QRect& control : MainWindowControls())
        if (frame.intersects(control))
            return true;
    return false;
}

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
    return PlaceClearOfControls(FrameAt(form, QPoint(0, 0)).size(), FNav->frameGeometry(), mapArea,
                                screenArea, taken);
}

// Looks every 50 ms, for at most 5 s, whether the main window has its frame; then places the
// windows placed before once more, and those at a stored place that covers its controls after
// all.
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
        std::vector<QPointer<QWidget>> windows, stored;
        windows.swap(placedEarly);
        stored.swap(storedEarly);
        if (!framed)
            return;
        for (const QPointer<QWidget>& window : stored)
            if (window && window->isVisible() &&
                CoversMainWindowControls(FrameAt(window, window->frameGeometry().topLeft())))
                windows.push_back(window);
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

bool StoredPlaceClear(QWidget* form, const QRect& frame) {
    if (!FNav || form == FNav)
        return true;
    if (!MainWindowFramed()) {
        storedEarly.emplace_back(form);
        WatchForTheMainWindowsFrame();
    }
    return !CoversMainWindowControls(frame);
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
    SetStoredPlaceCheck(StoredPlaceClear);
}

void StopPlacingFirstShownWindows() {
    SetFirstPlacement(nullptr);
    SetStoredPlaceCheck(nullptr);
    placedEarly.clear();
    storedEarly.clear();
    delete frameWatch;
}
