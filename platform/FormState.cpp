#include "platform/FormState.h"

#include "platform/AppPaths.h"
#include "platform/IniFile.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>

namespace {
std::function<std::optional<QPoint>(QWidget*)> firstPlacement;
} // namespace

void SetFirstPlacement(std::function<std::optional<QPoint>(QWidget* form)> placement) {
    firstPlacement = std::move(placement);
}

bool SaveFormState(QWidget* form) {
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
    const bool positionStored = ini.valueExists(section, QStringLiteral("Left")) ||
                                ini.valueExists(section, QStringLiteral("Top"));
    if (!positionStored && firstPlacement) {
        if (const std::optional<QPoint> place = firstPlacement(form)) {
            left = place->x();
            top = place->y();
        }
    }
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        if (left < 0 || left >= area.width())
            left = 0;
        if (top < 0 || top >= area.height())
            top = 0;
    }
    PlaceForm(form, left, top);
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
