// Where the corrections go: the receiver's own port or a separate output port, and what the
// window does with every received block.
#include "app/ntrip/TfrmNTRIPSettings.h"

#include "app/ntrip/NtripWindowLinks.h"
#include "app/ntrip/RtcmReportCommand.h"
#include "platform/Clock.h"
#include "platform/NumberText.h"
#include "platform/SerialChannel.h"
#include "platform/SerialPort.h"
#include "platform/TimeZoneOffset.h"
#include "platform/WindowStacking.h"
#include "positioning/gnss/TavrinSerialGPS.h"
#include "positioning/ntrip/NtripWindowTexts.h"
#include "positioning/ntrip/TavrinNTRIPClient.h"
#include "positioning/rtcm/RtcmStreamScanner.h"
#include "settings/PortPageSettings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTimer>

#include <cmath>

namespace {

constexpr int OutputWriteLimitMs = 20;
constexpr uint64_t SilenceBeforeShowingMs = 30000;

int OutputBaudRate(int index) {
    static const int rates[] = {4800, 9600, 19200, 38400, 57600, 115200};
    return index >= 0 && index < 6 ? rates[index] : 115200;
}

} // namespace

void TfrmNTRIPSettings::EnumerateSerialPorts() {
    boxOutputPort->clear();
    boxOutputPort->addItem(QStringLiteral("This port (GPS)"));
    for (const SerialPortEntry& port : SerialPort::listPorts()) {
        if (!port.present)
            continue;
        boxOutputPort->addItem(QString::fromStdString(port.name), port.number);
        boxOutputPort->setItemData(boxOutputPort->count() - 1, QString::fromStdString(port.device),
                                   Qt::ToolTipRole);
    }
    boxOutputPort->setCurrentIndex(0);
}

void TfrmNTRIPSettings::SetOutputChecked(bool checked) {
    {
        const QSignalBlocker quiet(chkOutputPort);
        chkOutputPort->setChecked(checked);
    }
    chkOutputPortClick();
}

int TfrmNTRIPSettings::OutputPortNumber(int item) const {
    // Every port the list offers carries its number, a port mapped above COM20 included; an item
    // without one is read from its text, never capped to another port.
    const QVariant number = boxOutputPort->itemData(item);
    if (number.isValid())
        return number.toInt();
    return PortNumberFromText(boxOutputPort->itemText(item).toStdString());
}

void TfrmNTRIPSettings::boxOutputPortChange() {
    if (!chkOutputPort->isChecked())
        return;
    AddLogLine("Output port changed to " + boxOutputPort->currentText() + " - reopening the output");
    chkOutputPortClick();
}

void TfrmNTRIPSettings::boxOutputBaudChange() {
    // The receiver's own port keeps the rate of its device settings.
    if (!chkOutputPort->isChecked() || boxOutputPort->currentIndex() <= 0)
        return;
    AddLogLine("Output baud changed to " + boxOutputBaud->currentText() + " - reopening the output");
    chkOutputPortClick();
}

void TfrmNTRIPSettings::chkOutputPortClick() {
    if (chkOutputPort->isChecked())
        OpenOutputPort();
    else
        CloseOutputPort();
    SaveNtripSettings();
}

void TfrmNTRIPSettings::OpenOutputPort() {
    if (OutputOpen)
        CloseOutputPort();
    const int item = boxOutputPort->currentIndex();
    if (item < 0) {
        AddLogLine(QStringLiteral("No output port selected"));
        SetOutputChecked(false);
        return;
    }
    if (item == 0) {
        OutputChannel.reset();
        OutputOpen = true;
        if (Client)
            Client->SerialForwarding = true;
        const bool portHeld = Client && Client->SerialHandle();
        AddLogLine(portHeld ? QStringLiteral("Output enabled: Using GPS input port")
                            : QStringLiteral("Output enabled: Using GPS input port (GPS port not open yet)"));
        return;
    }
    if (Client)
        Client->SerialForwarding = false;
    const QString portText = boxOutputPort->currentText();
    SerialLineSettings line;
    line.baudRate = OutputBaudRate(boxOutputBaud->currentIndex());
    line.dataBits = 8;
    line.parity = SerialLineSettings::Parity::None;
    line.stopBits = SerialLineSettings::StopBits::One;
    line.parityChecking = false;
    line.dtr = true;
    line.rts = true;
    const int number = OutputPortNumber(item);
    if (number < 1) {
        AddLogLine("Failed to open output port: " + portText + " is not a port");
        SetOutputChecked(false);
        return;
    }
    SerialPort::OpenResult opened = SerialPort::open(SerialPort::devicePath(number), line);
    if (!opened.channel) {
        AddLogLine("Failed to open output port: " + portText);
        AddLogLine(QString::fromStdString(opened.error));
        SetOutputChecked(false);
        return;
    }
    OutputChannel = std::move(opened.channel);
    OutputOpen = true;
    OutputBytesDropped = 0;
    outputTooSlowReported_ = false;
    outputGoneReported_ = false;
    AddLogLine("Output port opened: " + portText + " @ " + QString::number(line.baudRate));
}

void TfrmNTRIPSettings::CloseOutputPort() {
    if (OutputChannel) {
        OutputChannel->close();
        OutputChannel.reset();
        AddLogLine(QStringLiteral("Output port closed"));
    }
    OutputOpen = false;
    if (Client)
        Client->SerialForwarding = true;
}

void TfrmNTRIPSettings::WriteOutputPort(const void* data, int length) {
    if (!OutputOpen || boxOutputPort->currentIndex() == 0 || !OutputChannel || length <= 0)
        return;
    // The block arrives through the worker's hand-over: a slow port must hold up neither the
    // window nor the corrections, so what it does not take in time is dropped.
    const long written = OutputChannel->write(data, size_t(length), OutputWriteLimitMs);
    if (written == length) {
        outputTooSlowReported_ = false;
        return;
    }
    if (written < 0 && OutputChannel->hungUp()) {
        if (!outputGoneReported_) {
            outputGoneReported_ = true;
            AddLogLine("Output port gone: " + boxOutputPort->currentText() + " no longer takes data");
        }
        return;
    }
    const int64_t dropped = length - std::max<long>(written, 0);
    OutputBytesDropped += dropped;
    if (!outputTooSlowReported_) {
        outputTooSlowReported_ = true;
        AddLogLine("Output port too slow: " + QString::number(dropped) + " bytes dropped");
    }
}

void TfrmNTRIPSettings::NtripDataReceived(const char* data, int length) {
    WriteOutputPort(data, length);
    LastDataTime = Clock::tickCount();
    // A new base station rewrites the events log: that must not hold up the worker that waits
    // for this handler, so the block is scanned once the hand-over has returned.
    std::string block(data, size_t(std::max(length, 0)));
    QTimer::singleShot(0, this, [this, block = std::move(block)] {
        ScanRtcmBlockForBaseStations(reinterpret_cast<const uint8_t*>(block.data()), block.size(),
                                     Last, [this](const std::string& line) { AddLogLine(line); });
    });
}

void TfrmNTRIPSettings::Button1Click() {
    std::optional<std::string> capture;
    RtcmVesselPosition vessel;
    if (Client) {
        capture = Client->RxTail.snapshot();
        vessel.latitude = Client->Latitude;
        vessel.longitude = Client->Longitude;
        vessel.altitude = Client->Altitude;
        vessel.manualPosition = Client->ManualPosition;
    }
    MakeRtcmReport(capture, vessel, Last, [this](const std::string& line) { AddLogLine(line); },
                   StandardUtcOffsetMinutes());
}

void TfrmNTRIPSettings::SetGpsPort(std::shared_ptr<SerialChannel> channel, const QString& portName) {
    if (Client) {
        Client->SetSerialPortHandle(std::move(channel));
        AddLogLine(QStringLiteral("Serial port handle connected"));
    }
    if (!portName.isEmpty()) {
        GpsPortName = portName;
        if (boxOutputPort->count() > 0)
            boxOutputPort->setItemText(0, portName + QStringLiteral(" This Port (GPS)"));
    }
}

void TfrmNTRIPSettings::FollowGpsPort() {
    const TTavrinSerialGPS* port = Links ? Links->GnssPort() : nullptr;
    if (!Client || !port)
        return;
    const TTavrinSerialGPS& gps = *port;
    const std::shared_ptr<SerialChannel> channel = gps.Handle;
    const bool open = gps.Connected && channel && channel->isOpen();
    const std::shared_ptr<SerialChannel> held = Client->SerialHandle();
    if (open && held != channel) {
        SetGpsPort(channel, QString::fromStdString(TTavrinSerialGPS::PortName(gps.PortNumber)));
    } else if (!open && held) {
        Client->SetSerialPortHandle(nullptr);
        AddLogLine(QStringLiteral("GPS port closed - corrections wait until it opens again"));
    }
}

void TfrmNTRIPSettings::FeedPositionFromReceiver() {
    const TTavrinSerialGPS* port = Links ? Links->GnssPort() : nullptr;
    if (!port || !rbFromGPS->isChecked())
        return;
    const TTavrinSerialGPS& gps = *port;
    if (!gps.Connected || gps.GetFixQuality() <= 0)
        return;
    UpdateVesselPosition(double(gps.GetLatitude()), double(gps.GetLongitude()),
                         double(gps.GetAltitude()));
}

void TfrmNTRIPSettings::UpdateVesselPosition(double latitude, double longitude, double altitude) {
    if (rbManual->isChecked())
        return;
    if (!std::isfinite(latitude) || !std::isfinite(longitude) || !std::isfinite(altitude))
        return;
    pendingPosition_.emplace(QString::fromStdString(FormatFixed(latitude, 8)),
                             QString::fromStdString(FormatFixed(longitude, 8)));
    if (isVisible())
        ShowPendingPosition();
    if (Client)
        Client->SetPosition(latitude, longitude, altitude);
}

void TfrmNTRIPSettings::ShowPendingPosition() {
    if (!pendingPosition_)
        return;
    const auto [latitude, longitude] = *std::exchange(pendingPosition_, std::nullopt);
    // An edit lays its text out again at every setText: only a changed position is written.
    if (edtLatitude->text() != latitude)
        edtLatitude->setText(latitude);
    if (edtLongitude->text() != longitude)
        edtLongitude->setText(longitude);
}

void TfrmNTRIPSettings::tmrUpdateTimer() {
    if (!Client)
        return;
    FollowGpsPort();
    FeedPositionFromReceiver();
    if (PendingAutoConnect) {
        PendingAutoConnect = false;
        if (!Client->Connected) {
            AddLogLine(QStringLiteral("Auto-reconnecting..."));
            btnConnectClick();
        }
    }
    if (DataWatchArmed && Client->Connected && !isVisible() &&
        Clock::tickCount() - LastDataTime > SilenceBeforeShowingMs) {
        WindowStacking::showInFront(this);
        AddLogLine(QStringLiteral("No data received for 30 seconds - showing NTRIP settings"));
    }
    const int received = Client->BytesReceived;
    lblBytesReceivedValue->setText(QString::fromStdString(NtripCounterText(received)));
    lblBytesSentValue->setText(QString::fromStdString(NtripCounterText(Client->BytesSent)));
    pbProgress->setValue(NtripProgressValue(received));
}
