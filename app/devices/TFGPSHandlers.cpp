// The device settings window's handlers of the geodetic and Global Setting pages, and the
// binding of every handler to its control.

#include "app/devices/TFGPS.h"
#include "app/widgets/TColorBox.h"
#include "settings/DisplaySettings.h"
#include "settings/PortPageSettings.h"

#include "app/devices/DeviceSettingsLinks.h"
#include "app/widgets/DesignedColours.h"

#include "canvas/TTavrinCanvas.h"
#include "platform/ErrorBoundary.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

namespace {

std::string Std(const QLineEdit* edit) {
    return edit->text().toStdString();
}

TTavrinCanvas* Canvas(DeviceSettingsLinks* links) {
    return links ? links->Map() : nullptr;
}

} // namespace

void TFGPS::connectHandlers() {
    // Every handler runs inside the error boundary; check boxes run theirs on any change of
    // state, also one made from code, as loading relies on.
    auto bind = [this](auto* sender, auto signal, void (TFGPS::*handler)()) {
        connect(sender, signal, this, [this, handler] { ErrorBoundary::run([this, handler] { (this->*handler)(); }); });
    };
    bind(BitBtn2, &QPushButton::clicked, &TFGPS::BitBtn2Click);
    connect(GPSSet, &QPushButton::clicked, this,
            [this] { ErrorBoundary::run([this] { GPSSetClick(); }); });
    connect(SensorSet, &QPushButton::clicked, this,
            [this] { ErrorBoundary::run([this] { SensorSetClick(); }); });
    // A pick (also of the type already shown) or each typed character.
    auto typeChange = [this] { ErrorBoundary::run([this] { cSBESMessageChange(); }); };
    connect(cSBESMessage, &QComboBox::currentTextChanged, this, typeChange);
    connect(cSBESMessage, &QComboBox::activated, this, typeChange);
    connect(eSBESFormat, &QLineEdit::textChanged, this, [this] { showFormatInfo(); });
    connect(Port, &QComboBox::currentTextChanged, this, [this] { showPortDevice(true); });
    connect(SPort, &QComboBox::currentTextChanged, this, [this] { showPortDevice(false); });
    bind(MemoGPS, &QPlainTextEdit::textChanged, &TFGPS::MemoGPSChange);
    bind(MemoSensor, &QPlainTextEdit::textChanged, &TFGPS::MemoSensorChange);

    bind(LockStateCheck1, &QCheckBox::toggled, &TFGPS::LockStateCheck1Click);
    bind(cbUseTMProjection, &QCheckBox::toggled, &TFGPS::cbUseTMProjectionClick);
    bind(cbUseLCCProjection, &QCheckBox::toggled, &TFGPS::cbUseLCCProjectionClick);
    bind(cLambert1, &QCheckBox::toggled, &TFGPS::cLambert1Click);
    bind(cbGridVisible, &QCheckBox::toggled, &TFGPS::cbGridVisibleClick);
    bind(cbAutoGrid, &QCheckBox::toggled, &TFGPS::cbAutoGridClick);
    bind(cbShowDepthLabels, &QCheckBox::toggled, &TFGPS::cbShowDepthLabelsClick);
    // A colour box runs its handler when the operator picks a colour; loading and locking set
    // the values those handlers set themselves.
    bind(cbGridColor, &TColorBox::ColorActivated, &TFGPS::cbGridColorChange);
    bind(edEventLabelFontSize, &QLineEdit::textChanged, &TFGPS::edEventLabelFontSizeChange);
    bind(cbEventLabelColor, &TColorBox::ColorActivated, &TFGPS::cbEventLabelColorChange);
    bind(edOverlayFontSize, &QLineEdit::textChanged, &TFGPS::edOverlayFontSizeChange);
    bind(cbOverlayDepthColor, &TColorBox::ColorActivated, &TFGPS::cbOverlayDepthColorChange);
    bind(cbOverlaySpeedColor, &TColorBox::ColorActivated, &TFGPS::cbOverlaySpeedColorChange);
    bind(eScreenshotInterval, &QLineEdit::textChanged, &TFGPS::eScreenshotIntervalChange);

    for (int i = 0; i < GeodeticEditCount; ++i) {
        QLineEdit* edit = geodeticEdit(i);
        connect(edit, &QLineEdit::textChanged, this, [this, edit, i] { markGeodeticEdit(edit, i); });
        markGeodeticEdit(edit, i);
    }
}

void TFGPS::markGeodeticEdit(QLineEdit* edit, int index) {
    // An edit the map could not use shows it at once; the lock refuses it.
    std::string reason;
    const bool usable = CheckGeodeticText(index, Std(edit), reason);
    edit->setToolTip(usable ? QString() : QString::fromStdString(reason));
    SetDesignedTextColour(edit, usable ? QColor(Qt::black) : QColor(0xC0, 0, 0));
}

void TFGPS::cbUseTMProjectionClick() {
    cbUseLCCProjection->setChecked(!cbUseTMProjection->isChecked());
}

void TFGPS::cbUseLCCProjectionClick() {
    cbUseTMProjection->setChecked(!cbUseLCCProjection->isChecked());
}

void TFGPS::cLambert1Click() {
    eLCCSP1->setEnabled(!cLambert1->isChecked());
    eLCCSP2->setEnabled(!cLambert1->isChecked());
}

void TFGPS::cbGridVisibleClick() {
    TTavrinCanvas* canvas = Canvas(Links);
    if (!canvas)
        return;
    canvas->GridVisible = cbGridVisible->isChecked();
    canvas->GridColor = cbGridColor->Selected();
    GridVisibleValue = cbGridVisible->isChecked();
    canvas->Refresh();
}

void TFGPS::cbGridColorChange() {
    TTavrinCanvas* canvas = Canvas(Links);
    if (!canvas)
        return;
    canvas->GridColor = cbGridColor->Selected();
    GridColorValue = cbGridColor->Selected();
    canvas->Refresh();
}

void TFGPS::cbAutoGridClick() {
    TTavrinCanvas* canvas = Canvas(Links);
    if (!canvas)
        return;
    GridAutoValue = cbAutoGrid->isChecked();
    edGridSpacingX->setEnabled(!GridAutoValue);
    edGridSpacingY->setEnabled(!GridAutoValue);
    // The stored spacings stay as last loaded or locked: the next showing pushes them again.
    canvas->GridSpacingX = GridAutoValue ? 0.0 : GridSpacingFromText(Std(edGridSpacingX));
    canvas->GridSpacingY = GridAutoValue ? 0.0 : GridSpacingFromText(Std(edGridSpacingY));
    canvas->Refresh();
}

void TFGPS::cbShowDepthLabelsClick() {
    ShowDepthLabels = cbShowDepthLabels->isChecked();
}

void TFGPS::edEventLabelFontSizeChange() {
    EventLabelFontSize = IntegerSettingFromText(Std(edEventLabelFontSize), 24);
    if (TTavrinCanvas* canvas = Canvas(Links))
        canvas->Refresh();
}

void TFGPS::cbEventLabelColorChange() {
    EventLabelColor = cbEventLabelColor->Selected();
    if (TTavrinCanvas* canvas = Canvas(Links))
        canvas->Refresh();
}

void TFGPS::edOverlayFontSizeChange() {
    OverlayFontSize = IntegerSettingFromText(Std(edOverlayFontSize), 40);
    if (TTavrinCanvas* canvas = Canvas(Links))
        canvas->Refresh();
}

void TFGPS::cbOverlayDepthColorChange() {
    OverlayDepthColor = cbOverlayDepthColor->Selected();
    if (TTavrinCanvas* canvas = Canvas(Links))
        canvas->Refresh();
}

void TFGPS::cbOverlaySpeedColorChange() {
    OverlaySpeedColor = cbOverlaySpeedColor->Selected();
    if (TTavrinCanvas* canvas = Canvas(Links))
        canvas->Refresh();
}

void TFGPS::eScreenshotIntervalChange() {
    QTimer* screenshots = Links ? Links->ScreenshotTimer() : nullptr;
    if (!screenshots)
        return;
    const ScreenshotTimerSetting timer = ScreenshotTimerFromText(Std(eScreenshotInterval));
    screenshots->setInterval(timer.intervalMs);
    if (timer.running)
        screenshots->start();
    else
        screenshots->stop();
}
