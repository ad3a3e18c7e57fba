#include "app/devices/TFGPS.h"

#include "app/widgets/TColorBox.h"
#include "settings/PortPageSettings.h"

#include "platform/Dialogs.h"
#include "platform/ErrorBoundary.h"
#include "platform/FormState.h"
#include "platform/SerialPort.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QVBoxLayout>

TFGPS* FGPS = nullptr;

namespace {

template <typename Widget> Widget* named(Widget* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QComboBox* editableList(QWidget* parent, const char* name, const QStringList& items,
                        const QString& initial) {
    auto* box = named(new QComboBox(parent), name);
    box->setEditable(true);
    // A typed text stays a text; it is never added to the list.
    box->setInsertPolicy(QComboBox::NoInsert);
    box->addItems(items);
    box->setCurrentText(initial);
    return box;
}

QStringList toList(const std::vector<std::string>& texts) {
    QStringList list;
    for (const std::string& t : texts)
        list << QString::fromStdString(t);
    return list;
}

QLabel* label(const QString& text, QWidget* parent, const char* buddyName) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(QStringLiteral("Label_") + QString::fromLatin1(buddyName));
    return l;
}

} // namespace

TFGPS::TFGPS(DeviceSettingsLinks* links, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint),
      Links(links) {
    setObjectName(QStringLiteral("FGPS"));
    setWindowTitle(QStringLiteral("Settings"));
    setModal(false);

    auto* outer = new QVBoxLayout(this);
    SettingTabs = named(new QTabWidget(this), "SettingTabs");
    outer->addWidget(SettingTabs);

    GPSTabSheet = named(new QWidget(), "GPSTabSheet");
    SensorTabSheet = named(new QWidget(), "SensorTabSheet");
    ParametersTabSheet = named(new QWidget(), "ParametersTabSheet");
    tGlobalSetting = named(new QWidget(), "tGlobalSetting");
    TabSheet1 = named(new QWidget(), "TabSheet1");
    SettingTabs->addTab(GPSTabSheet, QStringLiteral("GPS Settings"));
    SettingTabs->addTab(SensorTabSheet, QStringLiteral("Sensor (SBES) Settings"));
    SettingTabs->addTab(ParametersTabSheet, QStringLiteral("Godetic Parameters"));
    SettingTabs->addTab(tGlobalSetting, QStringLiteral("Global Setting"));
    SettingTabs->addTab(TabSheet1, QStringLiteral("I/O Port Monitor"));

    buildPortPages();
    buildGeodeticPage();
    buildGlobalPage();
    buildMonitorPage();

    auto* bottom = new QHBoxLayout();
    LockStateCheck1 = named(new QCheckBox(QStringLiteral("SAVE && LOCK SETTINGS"), this),
                            "LockStateCheck1");
    QFont bold = LockStateCheck1->font();
    bold.setBold(true);
    LockStateCheck1->setFont(bold);
    BitBtn2 = named(new QPushButton(QStringLiteral("Close"), this), "BitBtn2");
    bottom->addWidget(LockStateCheck1);
    bottom->addStretch();
    bottom->addWidget(BitBtn2);
    outer->addLayout(bottom);

    SettingTabs->setCurrentWidget(tGlobalSetting);
    resize(sizeHint().expandedTo(QSize(640, 520)));
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        PlaceCentredOn(this, screen->availableGeometry().center());

    connectHandlers();
    creating_ = true;
    ErrorBoundary::run([this] { FormCreate(); });
    creating_ = false;
    if (!deferredReports_.isEmpty()) {
        // A refusal during creation (a stored lock over settings that cannot be locked) is
        // told once the program has started, not in a box in the middle of the start-up.
        const QStringList reports = deferredReports_;
        deferredReports_.clear();
        QMetaObject::invokeMethod(
            this,
            [reports] {
                for (const QString& text : reports)
                    Dialogs::showError(text);
            },
            Qt::QueuedConnection);
    }
}

void TFGPS::buildPortPages() {
    QStringList ports;
    for (const SerialPortEntry& entry : SerialPort::listPorts())
        ports << QString::fromStdString(entry.name);
    QStringList rates;
    for (int rate : OfferedBaudRates())
        rates << QString::number(rate);
    const QStringList widths = {QStringLiteral("5"), QStringLiteral("6"), QStringLiteral("7"),
                                QStringLiteral("8")};
    const QStringList stops = {QStringLiteral("1"), QStringLiteral("1.5"), QStringLiteral("2")};
    const QStringList switches = {QStringLiteral("True"), QStringLiteral("False")};
    const QStringList parities = toList(OfferedParities());
    const QStringList priorities = toList(OfferedPriorities());
    const QStringList delays = toList(OfferedDelays());

    struct PageControls {
        QWidget* page;
        const char* names[11];
        QComboBox** boxes[11];
        const char* portGroupName;
        const char* portGroupCaption;
        QGroupBox** portGroup;
        QGroupBox** optionalGroup;
        const char* optionalGroupName;
        QLabel** device;
        const char* deviceName;
    };
    const PageControls pages[] = {
        {GPSTabSheet,
         {"Port", "BaudRate", "DataWidth", "StopBits", "Parity", "Priority", "Delay", "NMEALog",
          "LogTime", "EnableDTR", "EnableRTS"},
         {&Port, &BaudRate, &DataWidth, &StopBits, &Parity, &Priority, &Delay, &NMEALog, &LogTime,
          &EnableDTR, &EnableRTS},
         "GPSPortGroup", "GPS Port Settings", &GPSPortGroup, &GPSOptionalGroup,
         "GPSOptionalGroup", &PortDevice, "PortDevice"},
        {SensorTabSheet,
         {"SPort", "SBaudRate", "SDataWidth", "SStopBits", "SParity", "SPriority", "SDelay",
          "SNMEALog", "SLogTime", "SEnableDTR", "SEnableRTS"},
         {&SPort, &SBaudRate, &SDataWidth, &SStopBits, &SParity, &SPriority, &SDelay, &SNMEALog,
          &SLogTime, &SEnableDTR, &SEnableRTS},
         "SensorPortGroup", "NMEA Sensor Port Settings", &SensorPortGroup, &SensorOptionalGroup,
         "SensorOptionalGroup", &SPortDevice, "SPortDevice"},
    };
    const QString captions[11] = {
        QStringLiteral("Port"),       QStringLiteral("Baud Rate"), QStringLiteral("Data Width"),
        QStringLiteral("Stop Bits"),  QStringLiteral("Parity"),    QStringLiteral("Priority"),
        QStringLiteral("Delay (ms)"), QStringLiteral("NMEA Log"),  QStringLiteral("Log Time"),
        QStringLiteral("Enable DTR"), QStringLiteral("Enable RTS")};
    const QStringList* choices[11] = {&ports,      &rates,    &widths,   &stops,
                                      &parities,   &priorities, &delays, &switches,
                                      &switches,   &switches, &switches};
    const QString initial[11] = {
        QStringLiteral("COM1"), QStringLiteral("9600"),  QStringLiteral("8"),
        QStringLiteral("1"),    QStringLiteral("None"),  QStringLiteral("Normal"),
        QStringLiteral("5"),    QStringLiteral("False"), QStringLiteral("False"),
        QStringLiteral("True"), QStringLiteral("True")};

    for (const PageControls& p : pages) {
        auto* layout = new QGridLayout(p.page);
        *p.portGroup = named(new QGroupBox(QString::fromLatin1(p.portGroupCaption), p.page),
                             p.portGroupName);
        *p.optionalGroup =
            named(new QGroupBox(QStringLiteral("Optional Settings"), p.page), p.optionalGroupName);
        auto* portForm = new QFormLayout(*p.portGroup);
        auto* optionalForm = new QFormLayout(*p.optionalGroup);
        for (int i = 0; i < 11; ++i) {
            QGroupBox* group = i < 5 ? *p.portGroup : *p.optionalGroup;
            *p.boxes[i] = editableList(group, p.names[i], *choices[i], initial[i]);
            (i < 5 ? portForm : optionalForm)
                ->addRow(label(captions[i], group, p.names[i]), *p.boxes[i]);
            if (i == 0) {
                *p.device = named(new QLabel(group), p.deviceName);
                // A status text, not a caption: the translation walk passes it by.
                (*p.device)->setProperty("designClass", QStringLiteral("TPanel"));
                portForm->addRow(QString(), *p.device);
            }
        }
        layout->addWidget(*p.portGroup, 0, 0);
        layout->addWidget(*p.optionalGroup, 0, 1);
    }

    auto* gpsLayout = static_cast<QGridLayout*>(GPSTabSheet->layout());
    GyroEnabled = named(new QCheckBox(QStringLiteral("Enable Gyro"), GPSTabSheet), "GyroEnabled");
    GPSSet = named(new QPushButton(QStringLiteral("GPS Set"), GPSTabSheet), "GPSSet");
    gpsLayout->addWidget(GyroEnabled, 1, 0);
    gpsLayout->addWidget(GPSSet, 1, 1, Qt::AlignRight);

    auto* sensorLayout = static_cast<QGridLayout*>(SensorTabSheet->layout());
    SensorEnabled =
        named(new QCheckBox(QStringLiteral("Sensor Enabled"), SensorTabSheet), "SensorEnabled");
    SensorSet = named(new QPushButton(QStringLiteral("SBES Set"), SensorTabSheet), "SensorSet");
    SBESMessage = named(new QGroupBox(QStringLiteral("SBESMessage"), SensorTabSheet), "SBESMessage");
    auto* messageLayout = new QFormLayout(SBESMessage);
    cSBESMessage = editableList(
        SBESMessage, "cSBESMessage",
        {QStringLiteral("Tavrin SMT"), QStringLiteral("NMEA DPT"), QStringLiteral("NMEA DBT"),
         QStringLiteral("Tavrin XDR HI"), QStringLiteral("ODC HI"), QStringLiteral("Tavrin XDR LO"),
         QStringLiteral("Tavrin XDR H/L"), QStringLiteral("OTHER")},
        QStringLiteral("Tavrin SMT"));
    eSBESFormat = named(new QLineEdit(SBESMessage), "eSBESFormat");
    eSBESFormat->setMaxLength(int(256));
    SBESFormatInfo = named(new QLabel(SBESMessage), "SBESFormatInfo");
    SBESFormatInfo->setWordWrap(true);
    SBESFormatInfo->setProperty("designClass", QStringLiteral("TPanel"));
    messageLayout->addRow(label(QStringLiteral("Message"), SBESMessage, "cSBESMessage"),
                          cSBESMessage);
    messageLayout->addRow(label(QStringLiteral("Format"), SBESMessage, "eSBESFormat"),
                          eSBESFormat);
    messageLayout->addRow(QString(), SBESFormatInfo);
    sensorLayout->addWidget(SBESMessage, 1, 0, 1, 2);
    sensorLayout->addWidget(SensorEnabled, 2, 0);
    sensorLayout->addWidget(SensorSet, 2, 1, Qt::AlignRight);
    showFormatInfo();
    showPortDevice(true);
    showPortDevice(false);
}

void TFGPS::buildGeodeticPage() {
    auto* layout = new QGridLayout(ParametersTabSheet);
    auto edit = [](QGroupBox* group, QFormLayout* form, const char* name, const char* caption) {
        auto* e = named(new QLineEdit(group), name);
        form->addRow(label(QString::fromLatin1(caption), group, name), e);
        return e;
    };
    auto group = [this](const char* name, const char* caption, QFormLayout*& form) {
        auto* g = named(new QGroupBox(QString::fromLatin1(caption), ParametersTabSheet), name);
        form = new QFormLayout(g);
        return g;
    };
    QFormLayout* f = nullptr;
    EllipsoidGroup = group("EllipsoidGroup", "Ellipsoid", f);
    edSMA = edit(EllipsoidGroup, f, "edSMA", "Semi Major Axis");
    edIF = edit(EllipsoidGroup, f, "edIF", "Flattening");
    DatumGroup = group("DatumGroup", "Datum", f);
    edNameOfDatum = edit(DatumGroup, f, "edNameOfDatum", "Name of Datum");

    TransformationGroup =
        group("TransformationGroup", "Transformation Parameters from WGS-84", f);
    edRX = edit(TransformationGroup, f, "edRX", "X Rotation");
    edRY = edit(TransformationGroup, f, "edRY", "Y Rotation");
    edRZ = edit(TransformationGroup, f, "edRZ", "Z Rotation");
    edSX = edit(TransformationGroup, f, "edSX", "X Shift");
    edSY = edit(TransformationGroup, f, "edSY", "Y Shift");
    edSZ = edit(TransformationGroup, f, "edSZ", "Z Shift");
    edPPM = edit(TransformationGroup, f, "edPPM", "Scale Factor");
    cbUseDTP = named(new QCheckBox(QStringLiteral("Use DTP"), TransformationGroup), "cbUseDTP");
    cbUseDTP->setChecked(true);
    // Stored and logged only: the datum transformation is always applied.
    cbUseDTP->setAttribute(Qt::WA_TransparentForMouseEvents);
    cbUseDTP->setFocusPolicy(Qt::NoFocus);
    f->addRow(cbUseDTP);

    TMGroup = group("TMGroup", "TM Parameters", f);
    edCM = edit(TMGroup, f, "edCM", "Central Meridian");
    edRL = edit(TMGroup, f, "edRL", "Reference Latitude");
    edSF = edit(TMGroup, f, "edSF", "Scale Factor");
    edFE = edit(TMGroup, f, "edFE", "False Easting");
    edFN = edit(TMGroup, f, "edFN", "False Northing");
    cbUseTMProjection =
        named(new QCheckBox(QStringLiteral("Use Projection"), TMGroup), "cbUseTMProjection");
    cbUseTMProjection->setChecked(true);
    f->addRow(cbUseTMProjection);

    LCCGroup = group("LCCGroup", "LCC Parameters", f);
    eLCCSP1 = edit(LCCGroup, f, "eLCCSP1", "Standard Parallel 1");
    eLCCSP2 = edit(LCCGroup, f, "eLCCSP2", "Standard Parallel 2");
    eLCCSF = edit(LCCGroup, f, "eLCCSF", "Scale Factor");
    eLCCCP = edit(LCCGroup, f, "eLCCCP", "Central Parallel");
    eLCCM = edit(LCCGroup, f, "eLCCM", "Central Meridian");
    eLCCFE = edit(LCCGroup, f, "eLCCFE", "False Easting");
    eLCCFN = edit(LCCGroup, f, "eLCCFN", "False Norhing");
    cbUseLCCProjection =
        named(new QCheckBox(QStringLiteral("Use Projection"), LCCGroup), "cbUseLCCProjection");
    cLambert1 = named(new QCheckBox(QStringLiteral("Use Lambert 1"), LCCGroup), "cLambert1");
    f->addRow(cbUseLCCProjection);
    f->addRow(cLambert1);

    auto* left = new QVBoxLayout();
    left->addWidget(EllipsoidGroup);
    left->addWidget(DatumGroup);
    left->addWidget(TransformationGroup);
    left->addStretch();
    layout->addLayout(left, 0, 0);
    layout->addWidget(TMGroup, 0, 1, Qt::AlignTop);
    layout->addWidget(LCCGroup, 0, 2, Qt::AlignTop);
}

void TFGPS::buildGlobalPage() {
    auto* layout = new QGridLayout(tGlobalSetting);
    auto group = [this](const char* name, const char* caption, QFormLayout*& form) {
        auto* g = named(new QGroupBox(QString::fromLatin1(caption), tGlobalSetting), name);
        form = new QFormLayout(g);
        return g;
    };
    auto edit = [](QGroupBox* g, QFormLayout* form, const char* name, const char* caption,
                   const char* initial) {
        auto* e = named(new QLineEdit(QString::fromLatin1(initial), g), name);
        form->addRow(label(QString::fromLatin1(caption), g, name), e);
        return e;
    };
    auto colors = [](QGroupBox* g, QFormLayout* form, const char* name, const char* caption,
                     uint32_t initial) {
        auto* c = named(new TColorBox(g), name);
        c->SetSelected(initial);
        form->addRow(label(QString::fromLatin1(caption), g, name), c);
        return c;
    };
    QFormLayout* f = nullptr;
    QGroupBox* grid = group("GridGroup", "Grid", f);
    cbGridVisible = named(new QCheckBox(QStringLiteral("Show Grid"), grid), "cbGridVisible");
    cbGridVisible->setChecked(true);
    cbAutoGrid = named(new QCheckBox(QStringLiteral("Auto Scale"), grid), "cbAutoGrid");
    f->addRow(cbGridVisible);
    f->addRow(cbAutoGrid);
    edGridSpacingX = edit(grid, f, "edGridSpacingX", "Grid Spacing X", "100");
    edGridSpacingY = edit(grid, f, "edGridSpacingY", "Grid Spacing Y", "100");
    cbGridColor = colors(grid, f, "cbGridColor", "Grid Color", 0xC0C0C0);

    QGroupBox* depth = group("DepthLabelGroup", "Depth Labels", f);
    cbShowDepthLabels =
        named(new QCheckBox(QStringLiteral("Show Depth Labels"), depth), "cbShowDepthLabels");
    cbShowDepthLabels->setChecked(true);
    f->addRow(cbShowDepthLabels);
    edDepthLabelSpacing = edit(depth, f, "edDepthLabelSpacing", "Label Spacing (m)", "10");
    edDepthLabelFontName = edit(depth, f, "edDepthLabelFontName", "Font Name", "Arial");
    edDepthLabelFontSize = edit(depth, f, "edDepthLabelFontSize", "Font Size", "12");
    cbTextColor = colors(depth, f, "cbTextColor", "Text Color", 0);

    QGroupBox* events = group("EventLabelGroup", "Event Labels", f);
    edEventLabelFontSize = edit(events, f, "edEventLabelFontSize", "Font Size", "24");
    cbEventLabelColor = colors(events, f, "cbEventLabelColor", "Text Color", 255);

    QGroupBox* overlay = group("OverlayGroup", "Depth / Speed Overlay", f);
    edOverlayFontSize = edit(overlay, f, "edOverlayFontSize", "Font Size", "40");
    cbOverlayDepthColor = colors(overlay, f, "cbOverlayDepthColor", "Depth Color", 0x800000);
    cbOverlaySpeedColor = colors(overlay, f, "cbOverlaySpeedColor", "Speed Color", 0);

    QGroupBox* screenshot = group("ScreenshotGroup", "Screenshot", f);
    eScreenshotInterval = edit(screenshot, f, "eScreenshotInterval", "Inteval (second)", "60");

    layout->addWidget(grid, 0, 0);
    layout->addWidget(depth, 0, 1);
    layout->addWidget(events, 1, 0);
    layout->addWidget(overlay, 1, 1);
    layout->addWidget(screenshot, 2, 0);
    layout->setRowStretch(3, 1);
}

void TFGPS::buildMonitorPage() {
    auto* layout = new QVBoxLayout(TabSheet1);
    QFont font(QStringLiteral("Arial Narrow"));
    font.setPixelSize(21);
    font.setBold(true);
    auto memo = [&](const char* name, const char* heading) {
        auto* m = named(new QPlainTextEdit(TabSheet1), name);
        m->setFont(font);
        QPalette palette = m->palette();
        palette.setColor(QPalette::Base, Qt::black);
        palette.setColor(QPalette::Text, QColor(0x00, 0xFF, 0x00));
        m->setPalette(palette);
        m->setPlainText(QString::fromLatin1(heading));
        m->viewport()->installEventFilter(this);
        layout->addWidget(m);
        return m;
    };
    MemoGPS = memo("MemoGPS", "NMEA POSITION DATA");
    MemoSensor = memo("MemoSensor", "NMEA SENSOR DATA");
    MemoSensor->setLineWrapMode(QPlainTextEdit::NoWrap);
}
