#include "app/settings_windows/TNavset.h"

#include "app/widgets/DesignedColours.h"

#include "app/settings_windows/FieldCheck.h"
#include "app/settings_windows/NavigationSettingsLinks.h"
#include "app/settings_windows/RefusedSettingsReport.h"
#include "app/widgets/TColorBox.h"
#include "app/widgets/TUpDown.h"
#include "settings/SettingsValues.h"

#include "canvas/TTavrinCanvas.h"
#include "platform/AppPaths.h"
#include "platform/Dialogs.h"
#include "platform/FormState.h"
#include "platform/IniFile.h"
#include "platform/NumberText.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QShowEvent>
#include <QTimer>

TNavset* Navset = nullptr;

namespace {

const QString VesselLayer = QStringLiteral("~~Tavrin Vessel");

QString NumberText(double value) {
    return QString::fromStdString(FormatGeneral(value));
}

QLineEdit* MakeEdit(QWidget* parent, const char* name, const char* text, int maxLength,
                    bool digitsOnly) {
    auto* edit = new QLineEdit(QString::fromLatin1(text), parent);
    edit->setObjectName(QString::fromLatin1(name));
    if (maxLength > 0)
        edit->setMaxLength(maxLength);
    if (digitsOnly)
        edit->setValidator(
            new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
    return edit;
}

QLabel* MakeLabel(QWidget* parent, const char* name, const char* caption, int x, int y) {
    auto* label = new QLabel(QString::fromLatin1(caption), parent);
    label->setObjectName(QString::fromLatin1(name));
    label->move(x, y);
    label->adjustSize();
    return label;
}

QGroupBox* MakeGroup(QWidget* parent, const char* name, const char* caption, QRect area) {
    auto* group = new QGroupBox(QString::fromLatin1(caption), parent);
    group->setObjectName(QString::fromLatin1(name));
    group->setGeometry(area);
    return group;
}

TColorBox* MakeColorBox(QWidget* parent, const char* name, uint32_t color, QRect area) {
    auto* box = new TColorBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->SetSelected(color);
    box->setGeometry(area);
    return box;
}

// An edit with its up-down right beside it.
TUpDown* PlaceWithUpDown(QLineEdit* edit, QRect area, int min, int max, int increment,
                         int position, const char* name) {
    edit->setGeometry(area);
    auto* upDown = new TUpDown(edit, min, max, increment, edit->parentWidget());
    upDown->setObjectName(QString::fromLatin1(name));
    upDown->setGeometry(area.right() + 1, area.top(), 15, area.height());
    upDown->Position = position;
    return upDown;
}

} // namespace

TNavset::TNavset(NavigationSettingsLinks* links, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      Links(links) {
    setObjectName(QStringLiteral("Navset"));
    setWindowTitle(QStringLiteral("Navigation Settings"));
    setFixedSize(185, 296);
    // The small window's layout is made for a small font.
    QFont small(QStringLiteral("MS Sans Serif"));
    small.setPixelSize(11);
    setFont(small);
    SetDesignedBackground(this, Qt::white);
    buildControls();

    // The designed values stand until the settings are read; only then do handlers run.
    VesselWidthCheck = new FieldCheck(VesselWidth, VesselWidthRule);
    UpdateRateCheck = new FieldCheck(eVesselUpdateRate, UpdateRateRule);
    TrackWidthCheck = new FieldCheck(TrackWidth, TrackWidthRule);
    TrackDistanceCheck = new FieldCheck(TrackDistance, TrackDistanceRule);
    DepthAlertCheck = new FieldCheck(edDepthAlert1, DepthAlertRule);

    connect(VesselColor, &TColorBox::ColorActivated, this, &TNavset::VesselColorChange);
    connect(fcadColor, &TColorBox::ColorActivated, this, &TNavset::fcadColorChange);
    // The track colours and the line switch have no handler: the map tick reads them.
    connect(ColorTracklines1, &TColorBox::ColorActivated, this,
            [this](uint32_t color) { Values.TrackColorFixed = color; });
    connect(ColorTracklines0, &TColorBox::ColorActivated, this,
            [this](uint32_t color) { Values.TrackColorFloat = color; });
    connect(cLineOrDot, &QCheckBox::toggled, this,
            [this](bool checked) { Values.TrackAsLines = checked; });
    connect(VesselWidth, &QLineEdit::textChanged, this, &TNavset::VesselWidthChange);
    connect(eVesselUpdateRate, &QLineEdit::textChanged, this, &TNavset::eVesselUpdateRateChange);
    connect(TrackWidth, &QLineEdit::textChanged, this, &TNavset::TrackWidthChange);
    connect(TrackDistance, &QLineEdit::textChanged, this, &TNavset::TrackDistanceChange);
    connect(edDepthAlert1, &QLineEdit::textChanged, this, &TNavset::edDepthAlert1Change);

    // Created visible.
    show();
}

void TNavset::buildControls() {
    const NavigationSettings designed;

    GroupBox1 = MakeGroup(this, "GroupBox1", " Vessel Color && Width", QRect(6, 4, 173, 74));
    VesselColor = MakeColorBox(GroupBox1, "VesselColor", designed.VesselColor,
                               QRect(8, 18, 112, 22));
    VesselWidth = MakeEdit(GroupBox1, "VesselWidth", "2", 2, true);
    UpDownVesselWidth =
        PlaceWithUpDown(VesselWidth, QRect(126, 18, 28, 22), 0, 15, 1, 2, "UpDownVesselWidth");
    Label1 = MakeLabel(GroupBox1, "Label1", "Update Rate (ms)", 8, 50);
    eVesselUpdateRate = MakeEdit(GroupBox1, "eVesselUpdateRate", "500", 0, false);
    UpDownUpdateRate = PlaceWithUpDown(eVesselUpdateRate, QRect(110, 46, 44, 22), 0, 5000, 50,
                                       500, "UpDownUpdateRate");

    GroupBox2 = MakeGroup(this, "GroupBox2", "Background Color", QRect(6, 80, 173, 48));
    fcadColor = MakeColorBox(GroupBox2, "fcadColor", designed.BackgroundColor,
                             QRect(8, 18, 157, 22));

    GroupBox3 =
        MakeGroup(this, "GroupBox3", " Track Lines (Fixed/Float)", QRect(6, 130, 173, 120));
    ColorTracklines1 = MakeColorBox(GroupBox3, "ColorTracklines1", designed.TrackColorFixed,
                                    QRect(8, 18, 157, 22));
    ColorTracklines0 = MakeColorBox(GroupBox3, "ColorTracklines0", designed.TrackColorFloat,
                                    QRect(8, 43, 157, 22));
    cLineOrDot = new QCheckBox(QStringLiteral("Draw as Line"), GroupBox3);
    cLineOrDot->setObjectName(QStringLiteral("cLineOrDot"));
    cLineOrDot->setGeometry(8, 68, 157, 20);
    cLineOrDot->setChecked(designed.TrackAsLines);
    Label5 = MakeLabel(GroupBox3, "Label5", "Wid.", 8, 95);
    TrackWidth = MakeEdit(GroupBox3, "TrackWidth", "2", 2, false);
    UpDownTrackWidth =
        PlaceWithUpDown(TrackWidth, QRect(36, 92, 24, 22), 0, 15, 1, 2, "UpDownTrackWidth");
    Label3 = MakeLabel(GroupBox3, "Label3", "Dist (m)", 80, 95);
    TrackDistance = MakeEdit(GroupBox3, "TrackDistance", "20", 8, true);
    UpDownTrackDistance = PlaceWithUpDown(TrackDistance, QRect(124, 92, 26, 22), 0, 500, 1, 20,
                                          "UpDownTrackDistance");

    GroupBox4 = MakeGroup(this, "GroupBox4", "Alert", QRect(6, 252, 173, 40));
    Label7 = MakeLabel(GroupBox4, "Label7", "Shallow Water", 8, 17);
    edDepthAlert1 = MakeEdit(GroupBox4, "edDepthAlert1", "0.5", 0, false);
    edDepthAlert1->setGeometry(96, 14, 50, 22);
    Label9 = MakeLabel(GroupBox4, "Label9", "m", 152, 17);
}

// ---- Showing, closing ----------------------------------------------------------------------

void TNavset::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    FormShow(event->spontaneous());
}

void TNavset::closeEvent(QCloseEvent* event) {
    FormCloseQuery();
    event->accept();
}

void TNavset::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    FormHide();
}

void TNavset::FormShow(bool spontaneous) {
    // Qt also announces a window coming back from minimised; re-reading the settings file then
    // would throw away the settings in effect.
    if (spontaneous)
        return;
    RestoreFormState(this, 0);
    std::vector<std::string> refused;
    Values = NavigationSettings::Read(IniFile(AppPaths::settingsFile()), refused);
    ShowValues();
    ReportRefusedSettings("Navigation settings", refused);
}

void TNavset::ShowValues() {
    // The read values are the ones in effect whatever the edits show; setting a different text
    // runs its handler, which pushes the width to the map.
    const NavigationSettings read = Values;
    VesselWidth->setText(NumberText(read.VesselWidth));
    TrackWidth->setText(NumberText(read.TrackWidth));
    TrackDistance->setText(NumberText(read.TrackDistance));
    VesselColor->SetSelected(read.VesselColor);
    ColorTracklines1->SetSelected(read.TrackColorFixed);
    ColorTracklines0->SetSelected(read.TrackColorFloat);
    fcadColor->SetSelected(read.BackgroundColor);
    cLineOrDot->setChecked(read.TrackAsLines);
    edDepthAlert1->setText(NumberText(read.DepthAlert));
    Values = read;
    UpDownVesselWidth->Position = read.VesselWidth;
    UpDownTrackWidth->Position = read.TrackWidth;
    UpDownTrackDistance->Position = read.TrackDistance;
}

void TNavset::FinishEditing() {
    for (FieldCheck* field :
         {VesselWidthCheck, UpdateRateCheck, TrackWidthCheck, TrackDistanceCheck, DepthAlertCheck})
        field->Finish();
}

void TNavset::FormCloseQuery() {
    FinishEditing();
    {
        IniFile ini(AppPaths::settingsFile());
        Values.Write(ini);
        Written = ini.flush();
    }
    if (!SaveFormState(this))
        Written = false;
    // Closed by the main window's closing, which reports the file once for every window.
    const bool closingProgram = Links && Links->ClosingProgram();
    if (!Written && !closingProgram)
        Dialogs::showError(QStringLiteral("Cannot write the settings file %1: the navigation "
                                          "settings are not kept for the next start.")
                               .arg(AppPaths::settingsFile()));
}

void TNavset::FormHide() {
    // A failure here is told by the close, which writes the position as well.
    SaveFormState(this);
}

// ---- Change handlers -----------------------------------------------------------------------

void TNavset::ReplaceEmpty(QLineEdit* edit, const char* text) {
    edit->setText(QString::fromLatin1(text)); // runs the handler again with the new text
    edit->selectAll();
}

TTavrinCanvas* TNavset::Map() const {
    return Links ? Links->Map() : nullptr;
}

TTavrinCanvas* TNavset::VesselLayerMap(int& layer) const {
    TTavrinCanvas* map = Map();
    layer = map ? map->LayerFindByName(VesselLayer) : -1;
    return layer < 0 ? nullptr : map;
}

void TNavset::Repaint(TTavrinCanvas* map) {
    map->Refresh();
    map->repaint();
}

void TNavset::VesselColorChange() {
    Values.VesselColor = VesselColor->Selected();
    int layer = -1;
    TTavrinCanvas* map = VesselLayerMap(layer);
    if (!map)
        return;
    map->SetLayerPenFg(layer, Values.VesselColor);
    Repaint(map);
}

std::optional<int> TNavset::TakeWholeNumber(FieldCheck* field, TUpDown* upDown,
                                            const char* emptyText) {
    QLineEdit* edit = field->Edit();
    if (edit->text().isEmpty()) {
        ReplaceEmpty(edit, emptyText);
        return std::nullopt;
    }
    const std::optional<int> value = CheckWholeValue(field->Rule(), edit->text().toStdString());
    if (!value) {
        field->Refused();
        return std::nullopt;
    }
    field->Accepted();
    upDown->Position = *value;
    return value;
}

void TNavset::VesselWidthChange() {
    const std::optional<int> width = TakeWholeNumber(VesselWidthCheck, UpDownVesselWidth, "2");
    if (!width)
        return;
    Values.VesselWidth = *width;
    int layer = -1;
    TTavrinCanvas* map = VesselLayerMap(layer);
    if (!map)
        return;
    map->SetLayerPenWidth(layer, *width);
    Repaint(map);
}

void TNavset::eVesselUpdateRateChange() {
    const QString text = eVesselUpdateRate->text();
    const std::optional<int> interval = MapTimerIntervalFor(text.toStdString());
    if (!interval)
        return UpdateRateCheck->Refused();
    UpdateRateCheck->Accepted();
    if (const std::optional<int> rate = CheckWholeValue(UpdateRateRule, text.toStdString()))
        UpDownUpdateRate->Position = *rate;
    if (QTimer* tick = Links ? Links->MapTimer() : nullptr)
        tick->setInterval(*interval);
}

void TNavset::fcadColorChange() {
    Values.BackgroundColor = fcadColor->Selected();
    if (TTavrinCanvas* map = Map())
        map->SetBackColor(Values.BackgroundColor);
}

void TNavset::TrackWidthChange() {
    const std::optional<int> width = TakeWholeNumber(TrackWidthCheck, UpDownTrackWidth, "2");
    if (!width)
        return;
    Values.TrackWidth = *width;
    TTavrinCanvas* map = Map();
    if (!map)
        return;
    for (const char* name : {"track_fix", "track_float", "track_nofix"}) {
        const int layer = map->LayerFindByName(QString::fromLatin1(name));
        if (layer >= 0)
            map->SetLayerPenWidth(layer, *width);
    }
    Repaint(map);
}

void TNavset::TrackDistanceChange() {
    if (const std::optional<int> distance =
            TakeWholeNumber(TrackDistanceCheck, UpDownTrackDistance, "1"))
        Values.TrackDistance = *distance;
}

void TNavset::edDepthAlert1Change() {
    if (edDepthAlert1->text().isEmpty())
        return ReplaceEmpty(edDepthAlert1, "0");
    const std::optional<double> depth =
        CheckValue(DepthAlertRule, edDepthAlert1->text().toStdString());
    if (!depth)
        return DepthAlertCheck->Refused();
    DepthAlertCheck->Accepted();
    Values.DepthAlert = *depth;
}
