#include "platform/FormState.h"

#include "platform/AppPaths.h"
#include "platform/Clock.h"
#include "platform/IniFile.h"
#include "platform/ScreenPlaces.h"

#include <QApplication>
#include <QEvent>
#include <QScreen>
#include <QStyle>
#include <QWidget>
#include <QWindow>

#include <algorithm>

namespace {

std::function<std::optional<QPoint>(QWidget*)> firstPlacement;
std::function<bool(QWidget*, const QRect&)> storedPlaceCheck;

const char* const ShownProperty = "shownInThisRun";
// The frame's corner where the window last stood before it was hidden.
const char* const StoodAtProperty = "stoodAtInThisRun";
// A window put back where it stood, held there for a moment: the window manager places a
// window it maps again by its own rules, and on a busy machine that may come after our move.
const char* const HeldAtProperty = "heldAtAfterShowing";
const char* const HeldUntilProperty = "heldUntilTick";
const char* const HeldCorrectionsProperty = "heldCorrections";
constexpr uint64_t HoldMs = 1000;
constexpr int MaxHeldCorrections = 2;
bool showingsRecorded = false;

// Marks each window when it is first shown, and notes where it stood when it is hidden: the
// program hides windows and shows them again (the compact view, Stop and Start), and the
// operator may have put them anywhere meanwhile.
class ShowingsRecord final : public QObject {
protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (!watched->isWidgetType() || !static_cast<QWidget*>(watched)->isWindow())
            return false;
        auto* window = static_cast<QWidget*>(watched);
        if (event->type() == QEvent::Show && !window->property(ShownProperty).toBool())
            window->setProperty(ShownProperty, true);
        // A window minimized by the operator is hidden too, spontaneously, and comes back by
        // itself.
        if (event->type() == QEvent::Hide && !event->spontaneous() &&
            window->property(ShownProperty).toBool() && !window->isMinimized()) {
            window->setProperty(StoodAtProperty, window->frameGeometry().topLeft());
            window->setProperty(HeldAtProperty, QVariant());
        }
        if (event->type() == QEvent::Move && event->spontaneous())
            keepHeld(window);
        return false;
    }

private:
    // A move that did not come from the program, while the window is held: the window manager
    // placing it anew. Put it back a bounded number of times, so that an operator who drags the
    // window at once is never fought for long.
    static void keepHeld(QWidget* window) {
        const QVariant held = window->property(HeldAtProperty);
        if (!held.isValid())
            return;
        const int corrections = window->property(HeldCorrectionsProperty).toInt();
        if (Clock::tickCount() > window->property(HeldUntilProperty).toULongLong() ||
            corrections >= MaxHeldCorrections) {
            window->setProperty(HeldAtProperty, QVariant());
            return;
        }
        const QPoint corner = held.toPoint();
        if (window->frameGeometry().topLeft() == corner)
            return;
        window->setProperty(HeldCorrectionsProperty, corrections + 1);
        PlaceForm(window, corner.x(), corner.y());
    }
};

bool Framed(const QWidget* form) {
    return form->frameGeometry() != form->geometry();
}

int TitleBarHeight(const QWidget* form) {
    if (Framed(form))
        return form->geometry().top() - form->frameGeometry().top();
    return form->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, form);
}

QRect PrimaryScreenArea() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

std::vector<QRect> ScreenAreas() {
    std::vector<QRect> areas;
    for (const QScreen* screen : QGuiApplication::screens())
        areas.push_back(screen->availableGeometry());
    return areas;
}

// The title bar of the window with its frame's corner at `corner`. A window without a frame of
// its own is dragged by its top edge.
QRect TitleBarAt(const QWidget* form, QPoint corner) {
    return QRect(corner, QSize(FrameAt(form, corner).width(), std::max(TitleBarHeight(form), 1)));
}

std::optional<QPoint> StoodAt(const QWidget* form) {
    const QVariant corner = form->property(StoodAtProperty);
    if (!corner.isValid())
        return std::nullopt;
    return corner.toPoint();
}

} // namespace

void RecordWindowShowings() {
    if (showingsRecorded || !qApp)
        return;
    auto* record = new ShowingsRecord;
    record->setParent(qApp);
    qApp->installEventFilter(record);
    showingsRecorded = true;
}

void SetFirstPlacement(std::function<std::optional<QPoint>(QWidget* form)> placement) {
    firstPlacement = std::move(placement);
}

void SetStoredPlaceCheck(std::function<bool(QWidget* form, const QRect& frame)> check) {
    storedPlaceCheck = std::move(check);
}

bool SaveFormState(QWidget* form) {
    // A window never shown stands at 0, 0 for Qt; storing that would open it there next time.
    if (showingsRecorded && !form->property(ShownProperty).toBool())
        return true;
    // A hidden window is stored where the operator last saw it.
    const std::optional<QPoint> stoodAt = form->isVisible() ? std::nullopt : StoodAt(form);
    const QPoint corner = stoodAt ? *stoodAt : form->pos();
    IniFile ini(AppPaths::settingsFile());
    const QString section = form->objectName();
    int state = 0;
    if (form->isMaximized())
        state = 2;
    else if (form->isMinimized())
        state = 1;
    ini.writeInteger(section, QStringLiteral("WindowState"), state);
    ini.writeInteger(section, QStringLiteral("Left"), corner.x());
    ini.writeInteger(section, QStringLiteral("Top"), corner.y());
    ini.writeInteger(section, QStringLiteral("Width"), form->width());
    ini.writeInteger(section, QStringLiteral("Height"), form->height());
    return ini.flush();
}

void RestoreFormState(QWidget* form, int withSize) {
    // A window the program hid comes back where it stood, at the size it had.
    if (const std::optional<QPoint> stoodAt = StoodAt(form)) {
        PlaceForm(form, stoodAt->x(), stoodAt->y());
        form->setProperty(HeldAtProperty, *stoodAt);
        form->setProperty(HeldUntilProperty, QVariant::fromValue(Clock::tickCount() + HoldMs));
        form->setProperty(HeldCorrectionsProperty, 0);
        return;
    }
    const IniFile ini(AppPaths::settingsFile());
    const QString section = form->objectName();
    if (ini.readInteger(section, QStringLiteral("WindowState"), 0) == 2) {
        form->setWindowState(form->windowState() | Qt::WindowMaximized);
        return;
    }
    const QPoint stored(ini.readInteger(section, QStringLiteral("Left"), 0),
                        ini.readInteger(section, QStringLiteral("Top"), 0));
    if (withSize == 1) {
        const int width = ini.readInteger(section, QStringLiteral("Width"), form->width());
        const int height = ini.readInteger(section, QStringLiteral("Height"), form->height());
        form->resize(width, height);
    }
    const bool positionStored = ini.valueExists(section, QStringLiteral("Left")) ||
                                ini.valueExists(section, QStringLiteral("Top"));
    // A window the operator cannot drag by its title bar on some screen, or that covers what
    // the operator needs of the main window, opens as on a first start.
    const bool usable = positionStored &&
                        TitleBarWithinReach(TitleBarAt(form, stored), ScreenAreas()) &&
                        (!storedPlaceCheck || storedPlaceCheck(form, FrameAt(form, stored)));
    QPoint corner = stored;
    if (!usable) {
        const std::optional<QPoint> place = firstPlacement ? firstPlacement(form) : std::nullopt;
        corner = place ? *place : WhollyInside(FrameAt(form, stored), PrimaryScreenArea());
    }
    PlaceForm(form, corner.x(), corner.y());
}

void PlaceForm(QWidget* form, int left, int top) {
    form->move(left, top);
    // "Left" and "Top" are the frame's corner, as SaveFormState reads it. A window shown for
    // the first time has no frame yet, so move() puts its client area there and the window
    // manager's title bar lands above it: each start would carry the window up by the frame.
    // The native window is told it is the frame's corner, which holds before and after the
    // frame is known.
    if (QWindow* handle = form->windowHandle())
        handle->setFramePosition(QPoint(left, top));
}

void PlaceCentredOn(QWidget* form, QPoint centre) {
    QRect frame = FrameAt(form, QPoint(0, 0));
    frame.moveCenter(centre);
    const QScreen* screen = QGuiApplication::screenAt(centre);
    const QRect area = screen ? screen->availableGeometry() : PrimaryScreenArea();
    const QPoint corner = WhollyInside(frame, area);
    PlaceForm(form, corner.x(), corner.y());
}

QRect FrameAt(const QWidget* form, QPoint corner) {
    if (Framed(form))
        return QRect(corner, form->frameGeometry().size());
    return QRect(corner, form->size() + QSize(0, TitleBarHeight(form)));
}
