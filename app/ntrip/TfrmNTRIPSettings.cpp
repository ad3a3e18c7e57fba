#include "app/ntrip/TfrmNTRIPSettings.h"

#include "app/widgets/DesignedColours.h"

#include "app/ntrip/NtripWindowLinks.h"
#include "platform/AppPaths.h"
#include "platform/Clock.h"
#include "platform/DateTimeText.h"
#include "platform/ErrorBoundary.h"
#include "platform/FileIO.h"
#include "platform/FormState.h"
#include "platform/IniFile.h"
#include "platform/NumberText.h"
#include "platform/WindowStacking.h"
#include "positioning/ntrip/NtripProfiles.h"
#include "positioning/ntrip/NtripWindowTexts.h"
#include "positioning/ntrip/TavrinNTRIPClient.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QShowEvent>
#include <QTextCursor>
#include <QTimer>

#include <cmath>

TfrmNTRIPSettings* frmNTRIPSettings = nullptr;

namespace {

// A public caster that serves RTCM 3 streams of many reference stations.
const QString DefaultCasterHost = QStringLiteral("rtk2go.com");
const QString Section = QStringLiteral("NTRIP");
constexpr int ClientWidth = 320;
constexpr int ClientHeight = 498;
constexpr int LogLineLimit = 100;

QLabel* Caption(QWidget* parent, const char* name, const QString& text, int x, int y, int w = 80) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(x, y, w, 20);
    return label;
}

template <class Control>
Control* Place(Control* control, const char* name, int x, int y, int w, int h) {
    control->setObjectName(QString::fromLatin1(name));
    control->setGeometry(x, y, w, h);
    return control;
}

std::string Text(const QLineEdit* edit) {
    return edit->text().toStdString();
}

} // namespace

TfrmNTRIPSettings::TfrmNTRIPSettings(NtripWindowLinks* links, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      Links(links) {
    setObjectName(QStringLiteral("frmNTRIPSettings"));
    setWindowTitle(QStringLiteral("Tavrin NTRIP Client"));
    setFixedSize(ClientWidth, ClientHeight);
    IniPath = AppPaths::settingsFile();
    ProfilesPath = QString::fromStdString(AppPaths::applicationFolder()) + QStringLiteral("profiles.txt");
    LastDataTime = Clock::tickCount();
    CreateControls();
    FormCreate();
}

TfrmNTRIPSettings::~TfrmNTRIPSettings() {
    FormDestroy();
}

void TfrmNTRIPSettings::CreateControls() {
    boxProfile = Place(new QComboBox(this), "boxProfile", 8, 8, 272, 24);
    btnSaveProfile = Place(new QPushButton(QStringLiteral("+"), this), "btnSaveProfile", 284, 8, 28, 24);

    Caption(this, "lblServer", QStringLiteral("Server"), 8, 40);
    edtServer = Place(new QLineEdit(DefaultCasterHost, this), "edtServer", 108, 40, 204, 22);
    Caption(this, "lblPort", QStringLiteral("Port"), 8, 66);
    edtPort = Place(new QLineEdit(QStringLiteral("2101"), this), "edtPort", 108, 66, 80, 22);
    Caption(this, "lblUsername", QStringLiteral("Username"), 8, 92);
    edtUsername = Place(new QLineEdit(this), "edtUsername", 108, 92, 204, 22);
    Caption(this, "lblPassword", QStringLiteral("Password"), 8, 118);
    edtPassword = Place(new QLineEdit(this), "edtPassword", 108, 118, 204, 22);
    edtPassword->setEchoMode(QLineEdit::Password);
    edtPassword->setStyleSheet(QStringLiteral("lineedit-password-character: 42"));

    Caption(this, "lblOutputPosition", QStringLiteral("Output Position"), 8, 146, 100);
    rbFromGPS = Place(new QRadioButton(QStringLiteral("From GPS"), this), "rbFromGPS", 108, 146, 96, 20);
    rbManual = Place(new QRadioButton(QStringLiteral("Manual"), this), "rbManual", 210, 146, 100, 20);
    rbFromGPS->setChecked(true);
    Caption(this, "lblLatitude", QStringLiteral("Latitude (deg)"), 8, 172, 100);
    edtLatitude = Place(new QLineEdit(QStringLiteral("0.0"), this), "edtLatitude", 108, 172, 204, 22);
    Caption(this, "lblLongitude", QStringLiteral("Longitude (deg)"), 8, 198, 100);
    edtLongitude = Place(new QLineEdit(QStringLiteral("0.0"), this), "edtLongitude", 108, 198, 204, 22);
    edtLatitude->setEnabled(false);
    edtLongitude->setEnabled(false);

    Caption(this, "lblMountpoint", QStringLiteral("Mountpoint"), 8, 226);
    boxMountpoint = Place(new QComboBox(this), "boxMountpoint", 108, 226, 110, 24);
    btnFetchSources = Place(new QPushButton(QStringLiteral("Fetch Sources"), this), "btnFetchSources",
                            222, 226, 90, 24);

    chkShowLog = Place(new QCheckBox(QStringLiteral("Show Log"), this), "chkShowLog", 8, 256, 90, 20);
    chkShowLog->setChecked(true);
    pbProgress = Place(new QProgressBar(this), "pbProgress", 100, 258, 212, 16);
    pbProgress->setRange(0, 100);
    pbProgress->setValue(0);
    pbProgress->setTextVisible(false);
    memoLog = Place(new QPlainTextEdit(this), "memoLog", 8, 280, 304, 104);
    memoLog->setReadOnly(true);
    memoLog->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memoLog->setLineWrapMode(QPlainTextEdit::NoWrap);
    memoLog->setMaximumBlockCount(LogLineLimit);
    QFont mono(QStringLiteral("Liberation Mono"));
    mono.setStyleHint(QFont::Monospace);
    mono.setPointSize(8);
    memoLog->setFont(mono);

    Caption(this, "lblOutputPort", QStringLiteral("Output Port"), 8, 390);
    chkOutputPort = Place(new QCheckBox(QStringLiteral("Enable"), this), "chkOutputPort", 108, 390, 90, 20);
    boxOutputPort = Place(new QComboBox(this), "boxOutputPort", 8, 414, 180, 24);
    Caption(this, "lblBaud", QStringLiteral("Baud"), 196, 416, 36);
    boxOutputBaud = Place(new QComboBox(this), "boxOutputBaud", 234, 414, 78, 24);
    for (const char* rate : {"4800", "9600", "19200", "38400", "57600", "115200"})
        boxOutputBaud->addItem(QString::fromLatin1(rate));
    boxOutputBaud->setCurrentIndex(5);

    Caption(this, "lblBytesReceived", QStringLiteral("Bytes Received"), 8, 444, 96);
    lblBytesReceivedValue = Place(new QLabel(QStringLiteral("0"), this), "lblBytesReceivedValue", 106, 444, 62, 20);
    Caption(this, "lblBytesSent", QStringLiteral("Bytes Sent"), 172, 444, 68);
    lblBytesSentValue = Place(new QLabel(QStringLiteral("0"), this), "lblBytesSentValue", 242, 444, 70, 20);
    for (QLabel* counter : {lblBytesReceivedValue, lblBytesSentValue})
        SetDesignedTextColour(counter, QColor(0, 128, 0));

    btnConnect = Place(new QPushButton(QStringLiteral("Connect"), this), "btnConnect", 8, 466, 98, 26);
    Button1 = Place(new QPushButton(QStringLiteral("RTCM Parsing"), this), "Button1", 111, 466, 98, 26);
    btnClose = Place(new QPushButton(QStringLiteral("Close"), this), "btnClose", 214, 466, 98, 26);

    tmrUpdate = new QTimer(this);
    tmrUpdate->setObjectName(QStringLiteral("tmrUpdate"));
    tmrUpdate->setInterval(500);

    const auto bind = [this](auto* sender, auto signal, void (TfrmNTRIPSettings::*handler)()) {
        connect(sender, signal, this, [this, handler] { ErrorBoundary::run([&] { (this->*handler)(); }); });
    };
    bind(boxProfile, qOverload<int>(&QComboBox::activated), &TfrmNTRIPSettings::boxProfileChange);
    bind(btnSaveProfile, &QPushButton::clicked, &TfrmNTRIPSettings::btnSaveProfileClick);
    bind(btnFetchSources, &QPushButton::clicked, &TfrmNTRIPSettings::btnFetchSourcesClick);
    bind(btnConnect, &QPushButton::clicked, &TfrmNTRIPSettings::btnConnectClick);
    bind(btnClose, &QPushButton::clicked, &TfrmNTRIPSettings::btnCloseClick);
    bind(rbFromGPS, &QRadioButton::clicked, &TfrmNTRIPSettings::rbFromGPSClick);
    bind(rbManual, &QRadioButton::clicked, &TfrmNTRIPSettings::rbManualClick);
    bind(chkShowLog, &QCheckBox::clicked, &TfrmNTRIPSettings::chkShowLogClick);
    bind(chkOutputPort, &QCheckBox::clicked, &TfrmNTRIPSettings::chkOutputPortClick);
    bind(boxOutputPort, qOverload<int>(&QComboBox::currentIndexChanged), &TfrmNTRIPSettings::boxOutputPortChange);
    bind(boxOutputBaud, qOverload<int>(&QComboBox::currentIndexChanged), &TfrmNTRIPSettings::boxOutputBaudChange);
    bind(Button1, &QPushButton::clicked, &TfrmNTRIPSettings::Button1Click);
    connect(tmrUpdate, &QTimer::timeout, this, [this] { timerGuard_.run([this] { tmrUpdateTimer(); }); });
    tmrUpdate->start();
}

void TfrmNTRIPSettings::FormCreate() {
    const QString icon = QString::fromStdString(AppPaths::applicationFolder()) + QStringLiteral("ntrip.png");
    if (QFile::exists(icon))
        setWindowIcon(QIcon(icon));
    EnumerateSerialPorts();
    Client = std::make_unique<TTavrinNTRIPClient>();
    Client->OnStatus = [this](int state, const std::string& message) { NtripStatusChanged(state, message); };
    Client->OnData = [this](const char* data, int length) { NtripDataReceived(data, length); };
    Client->OnSourceTable = [this](const std::vector<std::string>& names) { NtripSourceTableReceived(names); };
    Client->OnLog = [this](const std::string& text) { NtripLogMessage(text); };
    LoadProfileList();
    LoadNtripSettings();
    AddLogLine(QStringLiteral("Tavrin NTRIP Client initialized"));
}

void TfrmNTRIPSettings::FormShow() {
    UpdatePositionControls();
}

void TfrmNTRIPSettings::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (event->spontaneous())
        return;
    if (const std::optional<QPoint> centre = Links ? Links->MainWindowCentre() : std::nullopt)
        PlaceCentredOn(this, *centre);
    ShowPendingPosition();
    FormShow();
    ScrollLogToNewestLine();
}

void TfrmNTRIPSettings::ShowModally() {
    // Modal for this showing only: the menu command and the window's own showings (a lost
    // stream, 30 s of silence) must not block Stop and the map.
    WindowStacking::showModal(this);
}

void TfrmNTRIPSettings::FormDestroy() {
    tmrUpdate->stop();
    SaveNtripSettings();
    CloseOutputPort();
    if (Client) {
        Client->Disconnect();
        Client.reset();
    }
}

// ---- Settings ---------------------------------------------------------------------------------

void TfrmNTRIPSettings::LoadNtripSettings() {
    ShowPendingPosition();
    const IniFile ini(IniPath);
    edtServer->setText(ini.readString(Section, QStringLiteral("Server"), DefaultCasterHost));
    edtPort->setText(ini.readString(Section, QStringLiteral("Port"), QStringLiteral("2101")));
    edtUsername->setText(ini.readString(Section, QStringLiteral("Username")));
    edtPassword->setText(ini.readString(Section, QStringLiteral("Password")));
    const QString mountPoint = ini.readString(Section, QStringLiteral("MountPoint"));
    if (!mountPoint.isEmpty()) {
        boxMountpoint->addItem(mountPoint);
        boxMountpoint->setCurrentIndex(boxMountpoint->count() - 1);
    }
    if (ini.readBool(Section, QStringLiteral("UseManualPosition"), false))
        rbManual->setChecked(true);
    else
        rbFromGPS->setChecked(true);
    edtLatitude->setText(ini.readString(Section, QStringLiteral("Latitude"), QStringLiteral("0.0")));
    edtLongitude->setText(ini.readString(Section, QStringLiteral("Longitude"), QStringLiteral("0.0")));
    const QString outputPort = ini.readString(Section, QStringLiteral("OutputPort"));
    if (!outputPort.isEmpty()) {
        const int found = boxOutputPort->findText(outputPort, Qt::MatchExactly);
        if (found >= 0)
            boxOutputPort->setCurrentIndex(found);
    }
    boxOutputBaud->setCurrentIndex(ini.readInteger(Section, QStringLiteral("OutputBaud"), 5));
    AutoConnect = ini.readBool(Section, QStringLiteral("AutoConnect"), false);
    const bool outputEnabled = ini.readBool(Section, QStringLiteral("OutputEnabled"), false);
    if (outputEnabled)
        SetOutputChecked(true);
    UpdatePositionControls();
    if (AutoConnect && !boxMountpoint->currentText().isEmpty()) {
        PendingAutoConnect = true;
        AddLogLine(QStringLiteral("Auto-connect enabled - will connect on startup"));
    }
}

void TfrmNTRIPSettings::SaveNtripSettings() {
    ShowPendingPosition();
    if (!edtPassword->text().isEmpty())
        ProtectCredentialFiles();
    IniFile ini(IniPath);
    ini.writeString(Section, QStringLiteral("Server"), edtServer->text());
    ini.writeString(Section, QStringLiteral("Port"), edtPort->text());
    ini.writeString(Section, QStringLiteral("Username"), edtUsername->text());
    ini.writeString(Section, QStringLiteral("Password"), edtPassword->text());
    ini.writeString(Section, QStringLiteral("MountPoint"), boxMountpoint->currentText());
    ini.writeBool(Section, QStringLiteral("UseManualPosition"), rbManual->isChecked());
    ini.writeString(Section, QStringLiteral("Latitude"), edtLatitude->text());
    ini.writeString(Section, QStringLiteral("Longitude"), edtLongitude->text());
    ini.writeString(Section, QStringLiteral("OutputPort"), boxOutputPort->currentText());
    ini.writeInteger(Section, QStringLiteral("OutputBaud"), boxOutputBaud->currentIndex());
    ini.writeBool(Section, QStringLiteral("OutputEnabled"), chkOutputPort->isChecked());
    ini.writeBool(Section, QStringLiteral("AutoConnect"), AutoConnect);
}

void TfrmNTRIPSettings::ProtectCredentialFiles() {
    for (const QString& path : {IniPath, ProfilesPath}) {
        std::string error;
        if (!RestrictToOwner(path.toStdString(), &error))
            AddLogLine(QString::fromStdString("Cannot protect the password: " + error));
    }
}

// ---- Profiles ---------------------------------------------------------------------------------

void TfrmNTRIPSettings::LoadProfileList() {
    boxProfile->clear();
    boxProfile->addItem(QStringLiteral("<New Profile>"));
    if (const auto text = ReadWholeFile(ProfilesPath.toStdString(), 1 << 20)) {
        for (const std::string& name : NtripProfileNames(SplitProfileFile(*text)))
            boxProfile->addItem(QString::fromStdString(name));
    }
    boxProfile->setCurrentIndex(boxProfile->count() > 1 ? 1 : 0);
}

void TfrmNTRIPSettings::boxProfileChange() {
    ShowPendingPosition();
    const int index = boxProfile->currentIndex();
    if (index <= 0)
        return;
    const auto text = ReadWholeFile(ProfilesPath.toStdString(), 1 << 20);
    if (!text)
        return;
    const auto line = NtripProfileLineAt(SplitProfileFile(*text), size_t(index - 1));
    if (!line)
        return;
    const std::vector<std::string> fields = SplitProfileFields(*line);
    if (fields.size() < 5)
        return;
    edtServer->setText(QString::fromStdString(fields[1]));
    edtPort->setText(QString::fromStdString(fields[2]));
    edtUsername->setText(QString::fromStdString(fields[3]));
    edtPassword->setText(QString::fromStdString(fields[4]));
    if (fields.size() >= 7) {
        edtLatitude->setText(QString::fromStdString(fields[5]));
        edtLongitude->setText(QString::fromStdString(fields[6]));
    }
}

void TfrmNTRIPSettings::btnSaveProfileClick() {
    SaveProfile();
}

void TfrmNTRIPSettings::SaveProfile() {
    ShowPendingPosition();
    const NtripProfile profile{Text(edtServer),   Text(edtPort),     Text(edtUsername),
                               Text(edtPassword), Text(edtLatitude), Text(edtLongitude)};
    const std::string name = NtripProfileName(profile);
    std::string reason;
    const auto line = NtripProfileLine(profile, &reason);
    bool saved = false;
    if (line) {
        const std::string path = ProfilesPath.toStdString();
        std::vector<std::string> lines;
        bool readable = true;
        if (QFile::exists(ProfilesPath)) {
            const auto text = ReadWholeFile(path, 1 << 20);
            readable = text.has_value();
            if (text)
                lines = SplitProfileFile(*text);
            else
                reason = "the profile file cannot be read";
        }
        if (readable) {
            StoreProfileLine(lines, name, *line);
            if (!profile.password.empty())
                RestrictToOwner(path);
            saved = WriteFileAtomically(path, JoinProfileFile(lines), &reason);
        }
    }
    if (saved)
        AddLogLine(QString::fromStdString("Profile saved: " + name));
    else
        AddLogLine(QString::fromStdString("Error saving profile: " + reason));
    LoadProfileList();
    const int found = boxProfile->findText(QString::fromStdString(name), Qt::MatchExactly);
    if (found >= 0)
        boxProfile->setCurrentIndex(found);
}

// ---- Connection -------------------------------------------------------------------------------

void TfrmNTRIPSettings::btnConnectClick() {
    if (!Client)
        return;
    ShowPendingPosition();
    if (Client->Connected) {
        AddLogLine(QStringLiteral("Disconnecting (manual)..."));
        AutoConnect = false;
        SaveNtripSettings();
        Client->AutoReconnect = false;
        Client->Disconnect();
        btnConnect->setText(QStringLiteral("Connect"));
        return;
    }
    if (boxMountpoint->currentText().isEmpty()) {
        AddLogLine(QStringLiteral("Please select a mountpoint first"));
        return;
    }
    // A network caster computes corrections for the position it is sent: a typo must not
    // become 0 or a value the GGA sentence cannot carry.
    double latitude = 0, longitude = 0;
    if (rbManual->isChecked()) {
        if (!ParseNumber(edtLatitude->text().trimmed(), latitude) || std::fabs(latitude) > 90) {
            AddLogLine("Latitude is not a number from -90 to 90: " + edtLatitude->text());
            return;
        }
        if (!ParseNumber(edtLongitude->text().trimmed(), longitude) || std::fabs(longitude) > 180) {
            AddLogLine("Longitude is not a number from -180 to 180: " + edtLongitude->text());
            return;
        }
    } else {
        if (!ParseNumber(edtLatitude->text(), latitude))
            latitude = 0;
        if (!ParseNumber(edtLongitude->text(), longitude))
            longitude = 0;
    }
    SaveNtripSettings();
    CopyCasterFields();
    Client->MountPoint = boxMountpoint->currentText().toStdString();
    Client->ManualPosition = rbManual->isChecked();
    if (rbManual->isChecked()) {
        Client->Latitude = latitude;
        Client->Longitude = longitude;
    }
    AddLogLine("Position: " + edtLatitude->text() + ", " + edtLongitude->text());
    // "Connecting to" server, port and mount point comes from the client, once per attempt,
    // reconnections included.
    Client->AutoReconnect = true;
    Client->Connect();
    btnConnect->setText(QStringLiteral("Disconnect"));
}

void TfrmNTRIPSettings::CopyCasterFields() {
    int port = 2101;
    if (!ParseInteger(edtPort->text().trimmed(), port))
        port = 2101; // a port that is not a number connects to the usual one
    Client->Host = Text(edtServer);
    Client->Port = port;
    Client->Username = Text(edtUsername);
    Client->Password = Text(edtPassword);
}

void TfrmNTRIPSettings::btnFetchSourcesClick() {
    if (!Client)
        return;
    CopyCasterFields();
    AddLogLine(QStringLiteral("Fetching source table..."));
    btnFetchSources->setEnabled(false);
    Client->RequestSourceTable();
}

void TfrmNTRIPSettings::NtripSourceTableReceived(const std::vector<std::string>& mountPoints) {
    btnFetchSources->setEnabled(true);
    boxMountpoint->clear();
    for (const std::string& name : mountPoints)
        boxMountpoint->addItem(QString::fromStdString(name));
    // A caster answers a stream request for a mount point it does not serve (or one cut off a
    // table too long to keep) with its table; the client keeps asking for that mount point at
    // every reconnection, so the box keeps showing it. After Fetch Sources none is in use.
    const QString inUse = Client ? QString::fromStdString(Client->MountPoint) : QString();
    if (!inUse.isEmpty()) {
        int index = boxMountpoint->findText(inUse);
        if (index < 0) {
            boxMountpoint->insertItem(0, inUse);
            index = 0;
        }
        boxMountpoint->setCurrentIndex(index);
    } else if (boxMountpoint->count() > 0) {
        boxMountpoint->setCurrentIndex(0);
    }
    AddLogLine("Found " + QString::number(mountPoints.size()) + " mount points");
}

void TfrmNTRIPSettings::NtripStatusChanged(int state, const std::string& message) {
    (void)message; // it reaches the log through the client's log event
    if (state == TTavrinNTRIPClient::Disconnected || state == TTavrinNTRIPClient::Failed) {
        btnFetchSources->setEnabled(true);
        if (DataWatchArmed) {
            DataWatchArmed = false;
            if (!isVisible()) {
                WindowStacking::showInFront(this);
                AddLogLine(QStringLiteral("Connection lost - showing NTRIP settings"));
            }
        }
    }
    if (state == TTavrinNTRIPClient::Receiving) {
        DataWatchArmed = true;
        LastDataTime = Clock::tickCount();
        if (!AutoConnect) {
            AutoConnect = true;
            SaveNtripSettings();
            AddLogLine(QStringLiteral("Auto-connect enabled for next startup"));
        }
    }
    btnConnect->setText(QString::fromStdString(NtripConnectButtonText(state)));
    setWindowTitle(QString::fromStdString(NtripWindowCaption(state)));
}

void TfrmNTRIPSettings::NtripLogMessage(const std::string& text) {
    AddLogLine(QString::fromStdString(text));
}

void TfrmNTRIPSettings::AddLogLine(const QString& text) {
    // The memo keeps the last hundred lines; the oldest go first.
    memoLog->appendPlainText(QString::fromStdString(ClockTimeText(Clock::now())) + QLatin1Char(' ') + text);
    ScrollLogToNewestLine();
}

void TfrmNTRIPSettings::ScrollLogToNewestLine() {
    // The memo follows its end only while it is already there, and not while hidden: the
    // operator opening the window must see what happened last.
    memoLog->moveCursor(QTextCursor::End);
    memoLog->moveCursor(QTextCursor::StartOfLine);
    memoLog->verticalScrollBar()->setValue(memoLog->verticalScrollBar()->maximum());
}

// ---- Small handlers ---------------------------------------------------------------------------

void TfrmNTRIPSettings::btnCloseClick() {
    hide();
}

void TfrmNTRIPSettings::rbFromGPSClick() {
    UpdatePositionControls();
}

void TfrmNTRIPSettings::rbManualClick() {
    UpdatePositionControls();
}

void TfrmNTRIPSettings::chkShowLogClick() {
    memoLog->setVisible(chkShowLog->isChecked());
}

void TfrmNTRIPSettings::UpdatePositionControls() {
    // A switch to the typed position starts from the receiver's last one, as the edits held it.
    ShowPendingPosition();
    const bool manual = rbManual->isChecked();
    for (QLineEdit* edit : {edtLatitude, edtLongitude}) {
        edit->setEnabled(manual);
        edit->setReadOnly(!manual);
        QPalette colours = edit->palette();
        colours.setColor(QPalette::Base, palette().color(manual ? QPalette::Base : QPalette::Button));
        edit->setPalette(colours);
    }
    if (Client)
        Client->ManualPosition = manual;
}
