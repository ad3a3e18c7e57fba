#include "app/settings_windows/TFShape.h"

#include "app/settings_windows/FieldCheck.h"
#include "app/settings_windows/RefusedSettingsReport.h"
#include "app/widgets/TLabeledEdit.h"
#include "settings/SettingsValues.h"
#include "settings/VesselShapeSettings.h"

#include "platform/AppPaths.h"
#include "platform/Dialogs.h"
#include "platform/IniFile.h"
#include "platform/NumberText.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

TFShape* FShape = nullptr;

namespace {

QString NumberText(double value) {
    return QString::fromStdString(FormatGeneral(value));
}

TLabeledEdit* MakeEdit(QWidget* parent, const char* name, const char* caption, const char* text,
                       int y) {
    auto* edit = new TLabeledEdit(QString::fromLatin1(caption), parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->EditLabel->setObjectName(QString::fromLatin1(name) + QStringLiteral("Label"));
    edit->setText(QString::fromLatin1(text));
    edit->Place(6, y, 134, 22);
    return edit;
}

} // namespace

TFShape::TFShape(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint) {
    setObjectName(QStringLiteral("FShape"));
    setWindowTitle(QStringLiteral("Vessel Geometry"));
    setFixedSize(156, 340);
    // The small window's layout is made for a small font.
    QFont small(QStringLiteral("MS Sans Serif"));
    small.setPixelSize(11);
    setFont(small);
    buildControls();
    Values = VesselShapeSettings::Designed();

    RadiusCheck = new FieldCheck(edRadious, FirstRadiusRule);
    IntervalCheck = new FieldCheck(edInterval, CircleStepRule);
    AmountCheck = new FieldCheck(edAmount, CircleCountRule);
    SideCheck = new FieldCheck(edLArrow, SideLengthRule);
    BowCheck = new FieldCheck(edBArrow, BowLengthRule);
    for (FieldCheck* field : {RadiusCheck, IntervalCheck, AmountCheck, SideCheck, BowCheck})
        connect(field->Edit(), &QLineEdit::textChanged, this, [this, field] { EditChange(field); });
    connect(bDefault, &QPushButton::clicked, this, &TFShape::bDefaultClick);
    connect(BitBtn1, &QPushButton::clicked, this, &TFShape::BitBtn1Click);

    FormCreate();
}

void TFShape::buildControls() {
    GroupBox1 = new QGroupBox(QStringLiteral("All in one pole"), this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    GroupBox1->setGeometry(4, 4, 148, 240);
    edRadious = MakeEdit(GroupBox1, "edRadious", "Radious of first circle", "10", 38);
    edInterval = MakeEdit(GroupBox1, "edInterval", "Offset to next circle", "10", 82);
    edAmount = MakeEdit(GroupBox1, "edAmount", "Total number of circles", "2", 126);
    edLArrow = MakeEdit(GroupBox1, "edLArrow", "Arrow's sideward length", "10", 170);
    edBArrow = MakeEdit(GroupBox1, "edBArrow", "Arrow's longitudal length", "100", 214);

    bDefault = new QPushButton(QStringLiteral("Default"), this);
    bDefault->setObjectName(QStringLiteral("bDefault"));
    bDefault->setGeometry(6, 250, 144, 25);
    Label1 = new QLabel(QStringLiteral("Changes requires restart of program."), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setWordWrap(true);
    Label1->setGeometry(6, 278, 144, 28);
    BitBtn1 = new QPushButton(QStringLiteral("Save && Hide"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setGeometry(6, 309, 144, 25);
}

void TFShape::FormCreate() {
    std::vector<std::string> refused;
    const VesselShape stored =
        VesselShapeSettings::Read(IniFile(AppPaths::settingsFile()), refused);
    ShowValues(stored);
    ReportRefusedSettings("Vessel shape", refused);
}

void TFShape::ShowValues(const VesselShape& shape) {
    edRadious->setText(NumberText(shape.FirstRadius));
    edInterval->setText(NumberText(shape.CircleStep));
    edAmount->setText(NumberText(shape.CircleCount));
    edLArrow->setText(NumberText(shape.SideLength));
    edBArrow->setText(NumberText(shape.BowLength));
    Values = shape;
}

void TFShape::EditChange(FieldCheck* field) {
    const std::string text = field->Edit()->text().toStdString();
    const std::optional<double> value = CheckValue(field->Rule(), text);
    if (!value)
        return field->Refused();
    field->Accepted();
    if (field == AmountCheck)
        Values.CircleCount = static_cast<int>(*value);
    else if (field == IntervalCheck)
        Values.CircleStep = *value;
    else if (field == RadiusCheck)
        Values.FirstRadius = *value;
    else if (field == SideCheck)
        Values.SideLength = *value;
    else if (field == BowCheck)
        Values.BowLength = *value;
}

void TFShape::bDefaultClick() {
    // Shown and in effect; stored only by "Save && Hide".
    ShowValues(VesselShapeSettings::Designed());
}

void TFShape::BitBtn1Click() {
    // An edit that does not hold an accepted value would be stored as it stands and read back
    // as the default at the next start.
    QStringList failing;
    for (FieldCheck* field : {RadiusCheck, IntervalCheck, AmountCheck, SideCheck, BowCheck}) {
        if (field->Pending())
            failing << QString::fromLatin1(field->Rule().Field) + QStringLiteral(" (") +
                           QString::fromLatin1(field->Rule().Accepted) + QLatin1Char(')');
    }
    if (!failing.isEmpty()) {
        Dialogs::showWarning(QStringLiteral("Not saved: these fields need a value:\n") +
                             failing.join(QLatin1Char('\n')));
        return;
    }
    bool written = false;
    {
        IniFile ini(AppPaths::settingsFile());
        VesselShapeSettings::Write(ini, Values);
        written = ini.flush();
    }
    if (!written) {
        Dialogs::showError(QStringLiteral("Cannot write the settings file %1: the vessel shape is "
                                          "not kept for the next start.")
                               .arg(AppPaths::settingsFile()));
        return;
    }
    hide();
}

void TFShape::closeEvent(QCloseEvent* event) {
    event->ignore();
    hide();
}
