#include "tools/ScreenshotOperatorWindows.h"
#include "tools/ScreenshotArea.h"
#include "tools/ScreenshotCommands.h"

#include "app/main_window/TFNav.h"
#include "app/survey_windows/TOffsets.h"
#include "app/widgets/TavrinKeyboard.h"

#include "tests/support/EventLoopWait.h"

#include <QApplication>
#include <QLineEdit>
#include <QMouseEvent>
#include <QToolBar>
#include <QToolButton>

#include <cstdio>

namespace {

// A left click as the window system delivers it to the field.
void click(QWidget* widget) {
    const QPointF at = QRectF(widget->rect()).center();
    const QPointF global = widget->mapToGlobal(at);
    QMouseEvent down(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton,
                     Qt::NoModifier);
    QMouseEvent up(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton,
                   Qt::NoModifier);
    QApplication::sendEvent(widget, &down);
    QApplication::sendEvent(widget, &up);
}

bool save(const QString& file, const QRect& area, QStringList& written) {
    if (!SaveScreenArea(file, area))
        return false;
    std::printf("%s\n", file.toLocal8Bit().constData());
    written << file;
    return true;
}

} // namespace

bool SaveFirstStartPicture(const QString& output) {
    if (!FNav)
        return false;
    QRect area = FNav->frameGeometry();
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window->isVisible())
            area |= window->frameGeometry();
    QStringList written;
    return save(output + QStringLiteral("/first-start.png"), area, written);
}

QStringList SaveOperatorPictures(const QString& output) {
    if (!FNav || !Offsets)
        return {};
    QStringList written;

    FNav->raise();
    Offsets->show();
    Offsets->raise();
    Offsets->OffsetA->setText(QStringLiteral("0."));
    RunEventsFor(300);
    click(Offsets->OffsetA);
    if (!FNav->NumericKeypad || !FNav->NumericKeypad->isVisible())
        return {};
    PressKey(FNav->NumericKeypad->Buttons, "8");
    PressKey(FNav->NumericKeypad->Buttons, "5");
    RunEventsFor(500);
    const bool keypadSaved = save(output + QStringLiteral("/offsets-keypad.png"),
                                  FNav->frameGeometry() | Offsets->frameGeometry(), written);
    FNav->NumericKeypad->hide();
    if (!keypadSaved)
        return {};

    // The letter keyboard lies where the set-up window may be; it shows above it.
    Offsets->Location->setText(QStringLiteral("Harbo"));
    click(Offsets->Location);
    if (!FNav->SimpleKeyboard || !FNav->SimpleKeyboard->isVisible())
        return {};
    PressKey(std::vector<QToolButton*>(FNav->SimpleKeyboard->Buttons.begin(),
                                       FNav->SimpleKeyboard->Buttons.end()),
             "U");
    RunEventsFor(500);
    const bool keyboardSaved = save(output + QStringLiteral("/offsets-keyboard.png"),
                                    FNav->frameGeometry() | Offsets->frameGeometry(), written);
    FNav->SimpleKeyboard->hide();
    Offsets->hide();
    if (!keyboardSaved)
        return {};

    // The look of a recorded survey; the survey itself needs devices this tool does not have.
    FNav->ShowAcquisitionState(true);
    FNav->Realtime->setChecked(true);
    RunEventsFor(500);
    const QRect bars = QRect(FNav->tRealtime->mapToGlobal(QPoint(0, 0)), FNav->tRealtime->size()) |
                       QRect(FNav->tDraw->mapToGlobal(QPoint(0, 0)), FNav->tDraw->size());
    const bool stopSaved =
        save(output + QStringLiteral("/stop-recording.png"), bars.adjusted(-4, -4, 4, 4), written);
    FNav->Realtime->setChecked(false);
    FNav->ShowAcquisitionState(false);
    if (!stopSaved)
        return {};
    return written;
}
