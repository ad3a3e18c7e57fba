// The device settings window's port pages: the copy into the ports, the sounder's message
// type and format, and the I/O port monitor.

#include "app/devices/TFGPS.h"
#include "settings/PortPageSettings.h"

#include "app/devices/DeviceSettingsLinks.h"
#include "app/widgets/DesignedColours.h"

#include "platform/DataPaths.h"
#include "platform/Dialogs.h"
#include "platform/ErrorBoundary.h"
#include "platform/ScanFormat.h"
#include "platform/SerialPort.h"
#include "positioning/gnss/TavrinSerialGPS.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QTextBlock>

namespace {

constexpr int MonitorLineLimit = 100;

struct MessageType {
    const char* type;
    const char* format;
    int frame; // 1 shown, 0 hidden, -1 unchanged
};

// Types are compared with the whole text, exactly and case-sensitively.
constexpr MessageType MessageTypes[] = {
    {"Tavrin SMT", "%*8s,%lf,%lf", 0},
    {"NMEA DPT", "%*6s,%lf", 0},
    {"NMEA DBT", "%*6s,%*lf,%*1s,%lf", 0},
    {"Tavrin XDR HI", "%*8s,%lf", 0},
    {"ODC HI", "%*42s,%lf", 0},
    {"Tavrin XDR LO", "%*8s,%*lf,%*8s,%lf", 1},
    {"Tavrin XDR H/L", "%*8s,%lf,%*8s,%lf", 1},
};

std::string Text(const QComboBox* box) {
    return box->currentText().toStdString();
}

} // namespace

bool TFGPS::BuiltInSounderFormat(const QString& type, QString& format) {
    for (const MessageType& m : MessageTypes) {
        if (type == QLatin1String(m.type)) {
            format = QString::fromLatin1(m.format);
            return true;
        }
    }
    return false;
}

PortPageTexts TFGPS::portPageTexts(bool gnss) const {
    if (gnss)
        return PortPageTexts{Text(Port),     Text(BaudRate),  Text(DataWidth), Text(StopBits),
                             Text(Parity),   Text(Priority),  Text(Delay),     Text(NMEALog),
                             Text(LogTime),  Text(EnableDTR), Text(EnableRTS)};
    return PortPageTexts{Text(SPort),    Text(SBaudRate),  Text(SDataWidth), Text(SStopBits),
                         Text(SParity),  Text(SPriority),  Text(SDelay),     Text(SNMEALog),
                         Text(SLogTime), Text(SEnableDTR), Text(SEnableRTS)};
}

bool TFGPS::copyPortPage(bool gnss) {
    TTavrinSerialGPS* port = Links ? Links->Port(gnss) : nullptr;
    if (!port)
        return false;
    std::vector<int> offered;
    for (const SerialPortEntry& entry : SerialPort::listPorts())
        offered.push_back(entry.number);
    PortPageFields fields;
    PortPageRefusal refusal;
    if (!ConvertPortPage(portPageTexts(gnss), offered, fields, refusal)) {
        const std::string page = gnss ? "GPS Settings" : "Sensor (SBES) Settings";
        report(QString::fromStdString(PortPageRefusalMessage(page, refusal)));
        return false;
    }
    port->PortNumber = fields.PortNumber;
    port->BaudRate = fields.BaudRate;
    port->DataBitsIndex = fields.DataBitsIndex;
    port->StopBitsIndex = fields.StopBitsIndex;
    port->ParityIndex = fields.ParityIndex;
    port->PollInterval = fields.PollInterval;
    port->NmeaLog = fields.NmeaLog;
    port->LogTimestamps = fields.LogTimestamps;
    port->DTR = fields.DTR;
    port->RTS = fields.RTS;
    port->LogFileName = PortLogFileName(LogFolder, TodayString(), gnss);
    return true;
}

bool TFGPS::GPSSetClick() {
    return copyPortPage(true);
}

bool TFGPS::SensorSetClick() {
    return copyPortPage(false);
}

void TFGPS::showPortDevice(bool gnss) {
    QComboBox* box = gnss ? Port : SPort;
    QLabel* shown = gnss ? PortDevice : SPortDevice;
    if (!box || !shown)
        return;
    const int number = PortNumberFromText(box->currentText().toStdString());
    for (const SerialPortEntry& entry : SerialPort::listPorts()) {
        if (entry.number == number) {
            shown->setText(QString::fromStdString(entry.device) +
                           (entry.present ? QStringLiteral(" (present)")
                                          : QStringLiteral(" (not present)")));
            return;
        }
    }
    shown->setText(number == 0 ? QStringLiteral("not a port")
                               : QStringLiteral("not in the port list ([SERIAL_PORTS])"));
}

void TFGPS::showFormatInfo() {
    if (!SBESFormatInfo || !eSBESFormat)
        return;
    const std::string format = eSBESFormat->text().toStdString();
    std::string error;
    const bool valid = CompileSounderFormat(format, error).valid;
    SBESFormatInfo->setText(QString::fromStdString(DescribeSounderFormat(format)));
    SetDesignedTextColour(SBESFormatInfo, valid ? QColor(0, 0x80, 0) : QColor(0xC0, 0, 0));
}

void TFGPS::cSBESMessageChange(TypeChangeSource source) {
    const QString type = cSBESMessage->currentText();
    for (const MessageType& m : MessageTypes) {
        if (type != QLatin1String(m.type))
            continue;
        eSBESFormat->setText(QString::fromLatin1(m.format));
        if (Links)
            Links->ShowLowFrequencyFrame(m.frame == 1);
        return;
    }
    // "OTHER" by hand starts an empty format for the operator to type; the run after start
    // keeps the format the operator stored with it.
    if (type == QLatin1String("OTHER") && source == TypeChangeSource::Operator)
        eSBESFormat->clear();
}

void TFGPS::MemoGPSChange() {
    if (MemoGPS->blockCount() > MonitorLineLimit)
        MemoGPS->clear();
}

void TFGPS::MemoSensorChange() {
    if (MemoSensor->blockCount() > MonitorLineLimit)
        MemoSensor->clear();
}

void TFGPS::MemoGPSMouseDown() {
    if (Links)
        Links->SetPortMonitorActive(false);
}

void TFGPS::MemoGPSMouseUp() {
    if (Links)
        Links->SetPortMonitorActive(true);
}

void TFGPS::AppendMonitorLine(QObject* port, const std::string& line) {
    if (!Links || !Links->PortMonitorActive() || !isVisible())
        return;
    QPlainTextEdit* memo = nullptr;
    if (port && port == Links->Port(true))
        memo = MemoGPS;
    else if (port && port == Links->Port(false))
        memo = MemoSensor;
    if (!memo)
        return;
    // Device bytes shown one for one, whatever they are.
    memo->appendPlainText(QString::fromLatin1(line.data(), qsizetype(line.size())));
}

bool TFGPS::eventFilter(QObject* watched, QEvent* event) {
    const bool onMemo = (MemoGPS && watched == MemoGPS->viewport()) ||
                        (MemoSensor && watched == MemoSensor->viewport());
    if (onMemo) {
        if (event->type() == QEvent::MouseButtonPress)
            MemoGPSMouseDown();
        else if (event->type() == QEvent::MouseButtonRelease)
            MemoGPSMouseUp();
    }
    return QDialog::eventFilter(watched, event);
}

void TFGPS::FormCloseQuery() {
    MemoGPS->clear();
    MemoSensor->clear();
}

void TFGPS::closeEvent(QCloseEvent* event) {
    ErrorBoundary::run([this] { FormCloseQuery(); });
    // The window is only hidden; it lives until the program ends.
    event->accept();
}

void TFGPS::reject() {
    close();
}

void TFGPS::BitBtn2Click() {
    close();
}
