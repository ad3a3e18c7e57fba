#include "platform/FormState.h"

#include "platform/AppPaths.h"
#include "platform/IniFile.h"

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
bool showingsRecorded = false;

// Marks each window when it is first shown.
class ShowingsRecord final : public QObject {
protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show && watched->isWidgetType() &&
            static_cast<QWidget*>(watched)->isWindow() &&
            !watched->property(ShownProperty).toBool())
            watched->setProperty(ShownProperty, true);
        return false;
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

// The corner nearest to `corner` that puts the window's title bar inside `area` (as much of it
// as the area is wide).
QPoint WithTitleBarIn(const QWidget* form, QPoint corner, const QRect& area) {
    if (area.isEmpty())
        return corner;
    const QRect frame = FrameAt(form, corner);
    const int width = std::min(frame.width(), area.width());
    const int title = std::clamp(TitleBarHeight(form), 1, area.height());
    return QPoint(std::clamp(corner.x(), area.left(), area.right() + 1 - width),
                  std::clamp(corner.y(), area.top(), area.bottom() + 1 - title));
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
    IniFile ini(AppPaths::settingsFile());
    const QString section = form->objectName();
    int state = 0;
    if (form->isMaximized())
        state = 2;
    else if (form->isMinimized())
        state = 1;
    ini.writeInteger(section, QStringLiteral("WindowState"), state);
    ini.writeInteger(section, QStringLiteral("Left"), form->x());
    ini.writeInteger(section, QStringLiteral("Top"), form->y());
    ini.writeInteger(section, QStringLiteral("Width"), form->width());
    ini.writeInteger(section, QStringLiteral("Height"), form->height());
    return ini.flush();
}

void RestoreFormState(QWidget* form, int withSize) {
    const IniFile ini(AppPaths::settingsFile());
    const QString section = form->objectName();
    if (ini.readInteger(section, QStringLiteral("WindowState"), 0) == 2) {
        form->setWindowState(form->windowState() | Qt::WindowMaximized);
        return;
    }
    int left = ini.readInteger(section, QStringLiteral("Left"), 0);
    int top = ini.readInteger(section, QStringLiteral("Top"), 0);
    if (withSize == 1) {
        const int width = ini.readInteger(section, QStringLiteral("Width"), form->width());
        const int height = ini.readInteger(section, QStringLiteral("Height"), form->height());
        form->resize(width, height);
    }
    const auto onPrimaryScreen = [](QPoint corner) {
        if (const QScreen* screen = QGuiApplication::primaryScreen()) {
            const QRect area = screen->geometry();
            if (corner.x() < 0 || corner.x() >= area.width())
                corner.setX(0);
            if (corner.y() < 0 || corner.y() >= area.height())
                corner.setY(0);
        }
        return corner;
    };
    const QPoint stored = onPrimaryScreen(QPoint(left, top));
    const QRect screenArea = PrimaryScreenArea();
    const bool positionStored = ini.valueExists(section, QStringLiteral("Left")) ||
                                ini.valueExists(section, QStringLiteral("Top"));
    // A window that cannot be dragged by its title bar, or that covers what the operator needs
    // of the main window, opens as on a first start.
    const bool usable = positionStored && WithTitleBarIn(form, stored, screenArea) == stored &&
                        (!storedPlaceCheck || storedPlaceCheck(form, FrameAt(form, stored)));
    QPoint corner = stored;
    if (!usable) {
        const std::optional<QPoint> place = firstPlacement ? firstPlacement(form) : std::nullopt;
        corner = place ? onPrimaryScreen(*place) : WithTitleBarIn(form, stored, screenArea);
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
    const QPoint corner = WithTitleBarIn(form, frame.topLeft(), area);
    PlaceForm(form, corner.x(), corner.y());
}

QRect FrameAt(const QWidget* form, QPoint corner) {
    if (Framed(form))
        return QRect(corner, form->frameGeometry().size());
    return QRect(corner, form->size() + QSize(0, TitleBarHeight(form)));
}
