// The NTRIP settings window over real parts: the settings file, pseudo-terminals standing for
// the receiver and an output device, a scripted caster and rtklib's str2str on 127.0.0.1.
#include "StartedProgram.h"

#include "app/ntrip/TfRTCMParsing.h"
#include "app/ntrip/TfrmNTRIPSettings.h"
#include "app/survey_windows/TOffsets.h"
#include "platform/FileIO.h"
#include "platform/ManualClock.h"
#include "platform/SerialChannel.h"
#include "platform/SerialPort.h"
#include "positioning/gnss/NmeaChecksum.h"
#include "positioning/gnss/TavrinSerialGPS.h"
#include "positioning/ntrip/TavrinNTRIPClient.h"
#include "tests/support/EventLoopWait.h"
#include "tests/support/NtripTestCaster.h"
#include "tests/support/PaintCounter.h"
#include "tools/devsim/PseudoTerminal.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTextCursor>

#include <sys/stat.h>

#include <filesystem>
#include <memory>

namespace {

const QString Section = QStringLiteral("NTRIP");
const std::string Icy = "ICY 200 OK\r\n";
const std::string RtcmData = TESTS_DIR "/positioning/rtcm/data/";
const std::string Corrections = TESTS_DIR "/positioning/ntrip/data/corrections.rtcm3";

std::string ReadFixture(const std::string& path) {
    return ReadWholeFile(path).value_or(std::string());
}

// A pseudo-terminal mapped to COM<n> in [SERIAL_PORTS]: the device the program opens.
std::unique_ptr<PseudoTerminal> MappedPort(int number) {
    auto device = std::make_unique<PseudoTerminal>();
    IniFile ini(TestEnvironment::settingsFile());
    ini.writeString(QStringLiteral("SERIAL_PORTS"), QStringLiteral("COM%1").arg(number),
                    QString::fromStdString(device->devicePath()));
    return device;
}

// Whether the device receives `size` bytes within a generous bound.
bool ReadsAtLeast(PseudoTerminal& device, size_t size) {
    std::string received;
    return WaitUntil([&] {
        received += device.read();
        return received.size() >= size;
    }, 20000);
}

mode_t ModeOf(const QString& path) {
    struct stat info {};
    return ::stat(path.toLocal8Bit().constData(), &info) == 0 ? (info.st_mode & 0777) : 0;
}

class NtripWindow : public StartedProgram {
protected:
    TfrmNTRIPSettings& window() { return *frmNTRIPSettings; }

    bool Logged(const QString& text) { return window().memoLog->toPlainText().contains(text); }
    int LoggedCount(const QString& text) { return window().memoLog->toPlainText().count(text); }

    QString Stored(const char* key) {
        return IniFile(TestEnvironment::settingsFile()).readString(Section, QString::fromLatin1(key), "<none>");
    }

    // The operator's click on "Enable".
    void ClickOutputBox(bool checked) {
        window().chkOutputPort->setChecked(checked);
        window().chkOutputPortClick();
    }
    // Picks an output port by its text, adding it to the list when the list lacks it.
    void ChooseOutputPort(const QString& text) {
        if (window().boxOutputPort->findText(text) < 0)
            window().boxOutputPort->addItem(text);
        window().boxOutputPort->setCurrentIndex(window().boxOutputPort->findText(text));
    }

    void AimAt(int port, const QString& mountPoint) {
        window().edtServer->setText(QStringLiteral("127.0.0.1"));
        window().edtPort->setText(QString::number(port));
        window().boxMountpoint->clear();
        window().boxMountpoint->addItem(mountPoint);
    }
};

} // namespace

TEST_F(NtripWindow, AFreshStartShowsTheDefaultsAndASaveWritesTheTwelveKeys) {
    start();
    EXPECT_EQ(window().windowTitle(), "Tavrin NTRIP Client");
    EXPECT_EQ(window().size(), QSize(320, 498));
    EXPECT_FALSE(window().isVisible());
    EXPECT_EQ(window().edtServer->text(), "rtk2go.com");
    EXPECT_EQ(window().edtPort->text(), "2101");
    EXPECT_TRUE(window().rbFromGPS->isChecked());
    EXPECT_FALSE(window().edtLatitude->isEnabled());
    EXPECT_EQ(window().boxOutputBaud->currentText(), "115200");
    EXPECT_EQ(window().boxOutputPort->itemText(0), "This port (GPS)");
    EXPECT_EQ(window().boxProfile->currentText(), "<New Profile>");
    EXPECT_TRUE(Logged("Tavrin NTRIP Client initialized"));

    window().edtUsername->setText("boat");
    window().edtPassword->setText("secret");
    window().rbManual->setChecked(true);
    window().edtLatitude->setText("41.5");
    window().boxOutputBaud->setCurrentIndex(2);
    window().SaveNtripSettings();
    const IniFile ini(TestEnvironment::settingsFile());
    EXPECT_EQ(ini.readSection(Section),
              (QStringList{"Server", "Port", "Username", "Password", "MountPoint", "UseManualPosition",
                           "Latitude", "Longitude", "OutputPort", "OutputBaud", "OutputEnabled",
                           "AutoConnect"}));
    EXPECT_EQ(Stored("Password"), "secret");
    EXPECT_EQ(Stored("UseManualPosition"), "1");
    EXPECT_EQ(Stored("OutputBaud"), "2");
    EXPECT_EQ(Stored("OutputPort"), "This port (GPS)");

    // The next start reads them back.
    DestroyApplicationWindows();
    start();
    EXPECT_EQ(window().edtUsername->text(), "boat");
    EXPECT_TRUE(window().rbManual->isChecked());
    EXPECT_TRUE(window().edtLatitude->isEnabled());
    EXPECT_EQ(window().edtLatitude->text(), "41.5");
    EXPECT_EQ(window().boxOutputBaud->currentIndex(), 2);
}

TEST_F(NtripWindow, APasswordMakesTheSettingsAndProfileFilesOwnerOnly) {
    writeSetting("APPLICATION", "Style", "x"); // the settings file exists, readable by all
    ::chmod(TestEnvironment::settingsFile().toLocal8Bit().constData(), 0644);
    start();
    window().edtPassword->setText("secret");
    window().SaveNtripSettings();
    EXPECT_EQ(ModeOf(TestEnvironment::settingsFile()), 0600u);
    // Another window's burst replaces the file and keeps its mode.
    writeSetting("CANVAS", "Zoom", "1");
    EXPECT_EQ(ModeOf(TestEnvironment::settingsFile()), 0600u);

    window().btnSaveProfileClick();
    EXPECT_EQ(ModeOf(window().ProfilesPath), 0600u);
    QFile::remove(window().ProfilesPath);
}

TEST_F(NtripWindow, ProfilesSaveReplaceAndLoadAndAFieldWithATabIsRefused) {
    start();
    QFile::remove(window().ProfilesPath);
    window().edtServer->setText("caster.one");
    window().edtPort->setText("2101");
    window().edtUsername->setText("boat");
    window().edtPassword->setText("p1");
    window().btnSaveProfileClick();
    EXPECT_TRUE(Logged("Profile saved: boat@caster.one:2101"));
    window().edtPassword->setText("p2"); // same name: replaces
    window().btnSaveProfileClick();
    window().edtUsername->setText("other"); // another user: adds
    window().btnSaveProfileClick();
    EXPECT_EQ(window().boxProfile->count(), 3);
    EXPECT_EQ(window().boxProfile->currentText(), "other@caster.one:2101");

    window().edtPassword->setText("with\ttab");
    window().btnSaveProfileClick();
    EXPECT_TRUE(Logged("Error saving profile: the password holds a tab or a line break"));
    EXPECT_EQ(window().boxProfile->count(), 3);

    window().edtPassword->clear();
    window().boxProfile->setCurrentIndex(1);
    window().boxProfileChange();
    EXPECT_EQ(window().edtUsername->text(), "boat");
    EXPECT_EQ(window().edtPassword->text(), "p2");
    QFile::remove(window().ProfilesPath);
}

TEST_F(NtripWindow, OutputPortOpensAtTheTableRateAndAGoneStoredPortFallsBackToTheReceiver) {
    auto output = MappedPort(12);
    writeSetting(Section, "OutputPort", "COM19"); // nothing behind it
    writeSetting(Section, "OutputBaud", "7");
    start();
    EXPECT_EQ(window().boxOutputPort->currentIndex(), 0);
    window().SaveNtripSettings();
    EXPECT_EQ(Stored("OutputPort"), "This port (GPS)");

    const int item = window().boxOutputPort->findText("COM12");
    ASSERT_GT(item, 0);
    window().boxOutputPort->setCurrentIndex(item);
    window().boxOutputBaud->setCurrentIndex(7); // outside the table
    window().chkOutputPort->setChecked(true);
    window().chkOutputPortClick();
    ASSERT_TRUE(window().OutputChannel) << window().memoLog->toPlainText().toStdString();
    SerialLineSettings line;
    std::string error;
    ASSERT_TRUE(SerialPort::readSettings(window().OutputChannel->descriptor(), line, error)) << error;
    EXPECT_EQ(line.baudRate, 115200);
    EXPECT_TRUE(Logged("Output port opened: COM12 @ 115200"));
    EXPECT_FALSE(window().Client->SerialForwarding);

    const std::string block = "\xD3\x00\x01\x02";
    window().WriteOutputPort(block.data(), int(block.size()));
    EXPECT_EQ(output->read(block.size(), 2000), block);

    window().chkOutputPort->setChecked(false);
    window().chkOutputPortClick();
    EXPECT_TRUE(Logged("Output port closed"));
    EXPECT_TRUE(window().Client->SerialForwarding);
}

TEST_F(NtripWindow, AnOutputDeviceThatCannotOpenUnticksTheBoxAndForwardsToTheReceiverAgain) {
    writeSetting("SERIAL_PORTS", "COM13", "/nonexistent/tty");
    start();
    window().boxOutputPort->addItem("COM13");
    window().boxOutputPort->setCurrentIndex(window().boxOutputPort->count() - 1);
    window().chkOutputPort->setChecked(true);
    window().chkOutputPortClick();
    EXPECT_TRUE(Logged("Failed to open output port: COM13"));
    EXPECT_FALSE(window().chkOutputPort->isChecked());
    EXPECT_FALSE(window().OutputOpen);
    EXPECT_TRUE(window().Client->SerialForwarding);
    EXPECT_EQ(Stored("OutputEnabled"), "0");
}

TEST_F(NtripWindow, ASlowOutputPortDropsWhatItCannotTakeAndSaysSoOnce) {
    auto output = MappedPort(14); // nobody reads it
    start();
    window().boxOutputPort->setCurrentIndex(window().boxOutputPort->findText("COM14"));
    window().boxOutputBaud->setCurrentIndex(0);
    window().chkOutputPort->setChecked(true);
    window().chkOutputPortClick();
    ASSERT_TRUE(window().OutputOpen);
    const std::string block(4095, '\x55');
    for (int i = 0; i < 40 && window().OutputBytesDropped == 0; ++i)
        window().WriteOutputPort(block.data(), int(block.size()));
    EXPECT_GT(window().OutputBytesDropped, 0);
    window().WriteOutputPort(block.data(), int(block.size()));
    EXPECT_EQ(LoggedCount("Output port too slow:"), 1);
}

TEST_F(NtripWindow, AManualPositionThatIsNoPlausibleNumberStartsNothing) {
    start();
    AimAt(FreeLocalPort(), "MOUNT");
    window().rbManual->setChecked(true);
    window().UpdatePositionControls();
    const char* refused[][2] = {{"abc", "29"}, {"91", "29"}, {"41", "-180.5"}, {"nan", "0"}};
    for (const auto& position : refused) {
        window().edtLatitude->setText(position[0]);
        window().edtLongitude->setText(position[1]);
        window().btnConnectClick();
        EXPECT_EQ(window().Client->State, TTavrinNTRIPClient::Disconnected);
        EXPECT_EQ(window().btnConnect->text(), "Connect");
    }
    EXPECT_EQ(LoggedCount("Latitude is not a number from -90 to 90"), 3);
    EXPECT_EQ(LoggedCount("Longitude is not a number from -180 to 180"), 1);
    EXPECT_FALSE(Logged("Connecting to"));
}

TEST_F(NtripWindow, AutoConnectAcrossStartsAndAManualDisconnectEndsIt) {
    std::atomic<int> served{0};
    ScriptedCaster caster([&](CasterConnection& c, int) {
        c.readRequest();
        ++served;
        c.send(Icy + "correction bytes");
        c.readToEnd(20000);
    });
    writeSetting(Section, "Server", "127.0.0.1");
    writeSetting(Section, "Port", QString::number(caster.port()));
    writeSetting(Section, "MountPoint", "MOUNT");
    writeSetting(Section, "AutoConnect", "1");
    writeSetting(Section, "OutputEnabled", "1"); // saving at the box's click keeps AutoConnect
    start();
    EXPECT_TRUE(window().PendingAutoConnect);
    EXPECT_EQ(Stored("AutoConnect"), "1");
    ASSERT_TRUE(WaitUntil([&] { return window().windowTitle() == "Tavrin NTRIP Client - Receiving Data"; }));
    EXPECT_TRUE(Logged("Auto-reconnecting..."));
    EXPECT_EQ(window().btnConnect->text(), "Disconnect");
    ASSERT_TRUE(WaitUntil([&] { return window().lblBytesReceivedValue->text() == "16"; }));

    window().btnConnectClick();
    EXPECT_TRUE(Logged("Disconnecting (manual)..."));
    EXPECT_EQ(Stored("AutoConnect"), "0");
    EXPECT_EQ(window().btnConnect->text(), "Connect");
    RunEventsFor(700);
    EXPECT_EQ(served, 1); // no reconnection follows
}

TEST_F(NtripWindow, TheFirstDataSaveAutoConnectAndSilenceOrALostStreamShowsTheWindow) {
    ManualClock clock({2025, 3, 7, 12, 0, 0, 0}, 1000000);
    Clock::install(&clock);
    std::atomic<bool> hangUp{false};
    ScriptedCaster caster([&](CasterConnection& c, int index) {
        if (index > 0)
            return;
        c.readRequest();
        c.send(Icy + "data");
        while (!hangUp && c.pause(10)) {
        }
    });
    start();
    AimAt(caster.port(), "MOUNT");
    // The stream's own silence limit reads the same clock: keep it out of the 30 s watched here.
    window().Client->ReceiveTimeoutMs = 600000;
    window().btnConnectClick();
    ASSERT_TRUE(WaitUntil([&] { return window().DataWatchArmed; }));
    EXPECT_EQ(Stored("AutoConnect"), "1");
    EXPECT_TRUE(Logged("Auto-connect enabled for next startup"));

    clock.advance(29000);
    window().tmrUpdateTimer();
    EXPECT_FALSE(window().isVisible());
    clock.advance(1500);
    window().tmrUpdateTimer();
    EXPECT_TRUE(window().isVisible());
    EXPECT_TRUE(Logged("No data received for 30 seconds - showing NTRIP settings"));

    // Data "arrived" again, so the silence watch stays quiet while the stream is lost.
    window().LastDataTime = Clock::tickCount();
    window().hide();
    window().Client->AutoReconnect = false;
    hangUp = true;
    ASSERT_TRUE(WaitUntil([&] { return window().isVisible(); }));
    EXPECT_TRUE(Logged("Connection lost - showing NTRIP settings"));
    Clock::install(nullptr);
}

TEST_F(NtripWindow, ABaseStationInTheStreamIsLoggedOnceAndTheReportReadsTheCapture) {
    const std::string recording = ReadFixture(RtcmData + "base2417.rtcm3");
    ASSERT_FALSE(recording.empty());
    ScriptedCaster caster([&](CasterConnection& c, int) {
        c.readRequest();
        c.send(Icy);
        for (int pass = 0; pass < 3; ++pass) {
            c.send(recording);
            c.pause(30);
        }
        c.readToEnd(20000);
    });
    start();
    window().Button1Click();
    EXPECT_TRUE(Logged("No RTCM data to parse"));

    AimAt(caster.port(), "MOUNT");
    window().btnConnectClick();
    ASSERT_TRUE(WaitUntil([&] { return window().Client->BytesReceived >= int(3 * recording.size()); }));
    ASSERT_TRUE(WaitUntil([&] { return Logged("Base #2417"); }));
    RunEventsFor(100);
    EXPECT_EQ(LoggedCount("Base #2417"), 1);

    window().Button1Click();
    ASSERT_NE(fRTCMParsing, nullptr);
    EXPECT_TRUE(fRTCMParsing->isVisible());
}

TEST_F(NtripWindow, RealCasterCorrectionsReachTheReceiversPortAndFollowItWhenItReopens) {
    Str2StrCaster caster(Corrections, "surveyor", "secret", "TAVRIN1");
    ASSERT_TRUE(caster.running()) << "str2str did not start as a caster on 127.0.0.1";
    auto receiver = MappedPort(15);
    start();
    FNav->ZGPS1->PortNumber = 15;
    FNav->ZGPS1->Open();
    ASSERT_TRUE(FNav->ZGPS1->Connected) << FNav->ZGPS1->LastError;

    window().edtServer->setText("127.0.0.1");
    window().edtPort->setText(QString::number(caster.port()));
    window().edtUsername->setText("surveyor");
    window().edtPassword->setText("secret");
    window().btnFetchSourcesClick();
    ASSERT_TRUE(WaitUntil([&] { return Logged("Found 1 mount points"); }, 20000));
    EXPECT_EQ(window().boxMountpoint->currentText(), "TAVRIN1");

    // The window was never shown: the tick hands the open port over by itself.
    window().btnConnectClick();
    ASSERT_TRUE(WaitUntil([&] { return window().Client->SerialHandle() == FNav->ZGPS1->Handle; }));
    const std::string& recording = caster.fixture();
    std::string received;
    ASSERT_TRUE(WaitUntil([&] {
        received += receiver->read();
        return received.size() >= 2 * recording.size();
    }, 20000));
    // Once the first whole block has passed, what follows is an unbroken run of the recording.
    const std::string run = received.substr(received.size() - recording.size());
    EXPECT_NE((recording + recording).find(run), std::string::npos);

    // The port closes and opens again mid-stream: corrections reach the reopened port.
    FNav->ZGPS1->Close();
    ASSERT_TRUE(WaitUntil([&] { return !window().Client->SerialHandle(); }));
    FNav->ZGPS1->Open();
    ASSERT_TRUE(FNav->ZGPS1->Connected);
    receiver->read();
    std::string after;
    ASSERT_TRUE(WaitUntil([&] {
        after += receiver->read();
        return after.size() >= recording.size();
    }, 20000));
}

TEST_F(NtripWindow, AWrongPasswordIsRefusedAndForwardsNothing) {
    Str2StrCaster caster(Corrections, "surveyor", "secret", "TAVRIN1");
    ASSERT_TRUE(caster.running());
    start();
    AimAt(caster.port(), "TAVRIN1");
    window().edtUsername->setText("surveyor");
    window().edtPassword->setText("wrong");
    window().btnConnectClick();
    ASSERT_TRUE(WaitUntil([&] { return Logged("401 - Invalid username or password"); }, 20000));
    ASSERT_TRUE(WaitUntil([&] { return window().windowTitle().endsWith("Disconnected"); }));
    EXPECT_EQ(window().Client->BytesReceived, 0);
}

TEST_F(NtripWindow, TheGgaCarriesTheReceiversPositionOrTheTypedOne) {
    SharedText uploads[2];
    ScriptedCaster caster([&](CasterConnection& c, int index) {
        c.readRequest();
        c.send(Icy + "data");
        if (index < 2)
            uploads[index].set(c.readUntil("\r\n", 10000));
        c.readToEnd(20000);
    });
    auto receiver = MappedPort(16);
    start();
    window().show(); // the edits show the receiver's position
    FNav->ZGPS1->PortNumber = 16;
    FNav->ZGPS1->Open();
    ASSERT_TRUE(FNav->ZGPS1->Connected);
    const std::string body = "GPGGA,120000.00,4100.7407,N,02858.6000,E,4,12,0.8,12.5,M,36.1,M,,";
    ASSERT_TRUE(receiver->write("$" + body + "*" + NmeaChecksum(body) + "\r\n"));
    ASSERT_TRUE(WaitUntil([&] { return window().edtLatitude->text() == "41.01234500"; }));
    EXPECT_EQ(window().edtLongitude->text(), "28.97666667");

    AimAt(caster.port(), "MOUNT");
    window().btnConnectClick();
    ASSERT_TRUE(WaitUntil([&] { return uploads[0].isSet(); }));
    EXPECT_NE(uploads[0].get().find(",4100.7407,N,02858.6000,E,"), std::string::npos) << uploads[0].get();

    window().btnConnectClick(); // manual disconnect
    window().rbManual->setChecked(true);
    window().UpdatePositionControls();
    window().edtLatitude->setText("-33.5");
    window().edtLongitude->setText("151.25");
    window().btnConnectClick();
    ASSERT_TRUE(WaitUntil([&] { return uploads[1].isSet(); }));
    EXPECT_NE(uploads[1].get().find(",3330.0000,S,15115.0000,E,"), std::string::npos) << uploads[1].get();
}

TEST_F(NtripWindow, AnOutputPortMappedAboveCom20GetsTheCorrectionsAndOneThatNamesNoPortIsRefused) {
    auto com20 = MappedPort(20);
    auto com25 = MappedPort(25);
    start();
    ASSERT_GT(window().boxOutputPort->findText("COM25"), 0);
    ChooseOutputPort("COM25");
    ClickOutputBox(true);
    ASSERT_TRUE(window().OutputOpen);
    EXPECT_TRUE(Logged("Output port opened: COM25 @ 115200"));
    const std::string block = "\xD3\x00\x02\x03\x04";
    window().WriteOutputPort(block.data(), int(block.size()));
    EXPECT_EQ(com25->read(block.size(), 2000), block);
    EXPECT_EQ(com20->read(), "");

    // Stored and chosen again at the next start.
    DestroyApplicationWindows();
    start();
    EXPECT_EQ(window().boxOutputPort->currentText(), "COM25");
    EXPECT_TRUE(window().chkOutputPort->isChecked());
    window().WriteOutputPort(block.data(), int(block.size()));
    EXPECT_EQ(com25->read(block.size(), 2000), block);
    EXPECT_EQ(com20->read(), "");

    ClickOutputBox(false);
    ChooseOutputPort("USB adapter");
    ClickOutputBox(true);
    EXPECT_TRUE(Logged("Failed to open output port: USB adapter is not a port"));
    EXPECT_FALSE(window().chkOutputPort->isChecked());
    EXPECT_TRUE(window().Client->SerialForwarding);
}

TEST_F(NtripWindow, ChangingTheOutputPortOrItsBaudWhileEnabledReopensItAndSaysSo) {
    auto com12 = MappedPort(12);
    auto com14 = MappedPort(14);
    writeSetting("SERIAL_PORTS", "COM13", "/nonexistent/tty");
    start();
    ChooseOutputPort("COM12");
    ClickOutputBox(true);
    ASSERT_TRUE(window().OutputOpen);
    const std::string block = "\xD3\x00\x01\x07";

    // Another port: the first closes, the chosen one opens and takes the corrections.
    ChooseOutputPort("COM14");
    EXPECT_TRUE(Logged("Output port changed to COM14 - reopening the output"));
    EXPECT_TRUE(Logged("Output port opened: COM14 @ 115200"));
    window().WriteOutputPort(block.data(), int(block.size()));
    EXPECT_EQ(com14->read(block.size(), 2000), block);
    EXPECT_EQ(com12->read(), "");
    EXPECT_EQ(Stored("OutputPort"), "COM14");

    // Another rate: the port opens again at it.
    window().boxOutputBaud->setCurrentIndex(1);
    EXPECT_TRUE(Logged("Output baud changed to 9600 - reopening the output"));
    EXPECT_TRUE(Logged("Output port opened: COM14 @ 9600"));
    SerialLineSettings line;
    std::string error;
    ASSERT_TRUE(window().OutputChannel);
    ASSERT_TRUE(SerialPort::readSettings(window().OutputChannel->descriptor(), line, error)) << error;
    EXPECT_EQ(line.baudRate, 9600);
    EXPECT_EQ(Stored("OutputBaud"), "1");

    // The receiver's own port: the separate one closes and the client forwards again.
    window().boxOutputPort->setCurrentIndex(0);
    EXPECT_FALSE(window().OutputChannel);
    EXPECT_TRUE(window().OutputOpen);
    EXPECT_TRUE(window().Client->SerialForwarding);
    EXPECT_TRUE(window().chkOutputPort->isChecked());
    EXPECT_EQ(LoggedCount("Output port closed"), 3); // COM12, COM14 at 115200, COM14 at 9600

    // A port that cannot open: the box unticks and the receiver keeps the corrections.
    ChooseOutputPort("COM13"); // listed while its device was there
    EXPECT_TRUE(Logged("Failed to open output port: COM13"));
    EXPECT_FALSE(window().chkOutputPort->isChecked());
    EXPECT_TRUE(window().Client->SerialForwarding);
    EXPECT_EQ(Stored("OutputEnabled"), "0");

    // Not enabled: a change opens nothing.
    ChooseOutputPort("COM12");
    EXPECT_FALSE(window().OutputOpen);
    EXPECT_FALSE(Logged("Output port changed to COM12"));
}

TEST_F(NtripWindow, OnlyTheSetUpWindowsNtripButtonShowsTheWindowModally) {
    start();
    Offsets->show();
    Offsets->bNTRIPShow->click();
    ASSERT_TRUE(window().isVisible());
    EXPECT_TRUE(window().isModal());
    EXPECT_EQ(QApplication::activeModalWidget(), &window());
    window().btnClose->click();
    EXPECT_FALSE(window().isVisible());

    // The menu command.
    FNav->TavrinNTRIPClient1Click();
    ASSERT_TRUE(window().isVisible());
    EXPECT_FALSE(window().isModal());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);

    // Already shown modeless, the set-up window's button makes it modal.
    Offsets->bNTRIPShow->click();
    EXPECT_TRUE(window().isVisible());
    EXPECT_TRUE(window().isModal());
    window().close();
    EXPECT_FALSE(window().isVisible());

    // The window's own showing when a stream is lost.
    window().DataWatchArmed = true;
    window().NtripStatusChanged(TTavrinNTRIPClient::Disconnected, "Connection closed");
    ASSERT_TRUE(window().isVisible());
    EXPECT_TRUE(Logged("Connection lost - showing NTRIP settings"));
    EXPECT_FALSE(window().isModal());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(NtripWindow, TheLogShowsItsNewestLineAndEachAttemptSaysConnectingOnce) {
    Str2StrCaster caster(Corrections, "surveyor", "secret", "TAVRIN1");
    ASSERT_TRUE(caster.running()) << "str2str did not start as a caster on 127.0.0.1";
    start();
    // A password protects the profile file too: keep it in the test's own folder.
    window().ProfilesPath = TestEnvironment::home() + QStringLiteral("/profiles.txt");
    const QScrollBar* bar = window().memoLog->verticalScrollBar();
    const auto atNewestLine = [&] {
        QApplication::processEvents();
        return bar->maximum() > 0 && bar->value() == bar->maximum() &&
               window().memoLog->toPlainText().endsWith(QStringLiteral("line 149"));
    };
    // Lines that arrive while the window is hidden, and while it is shown.
    for (int i = 0; i < 120; ++i)
        window().AddLogLine(QStringLiteral("line %1").arg(i));
    FNav->TavrinNTRIPClient1Click();
    for (int i = 120; i < 150; ++i)
        window().AddLogLine(QStringLiteral("line %1").arg(i));
    EXPECT_TRUE(atNewestLine()) << bar->value() << " of " << bar->maximum();
    // The operator clicked at the top of the log: the next line still shows.
    window().memoLog->moveCursor(QTextCursor::Start);
    window().memoLog->verticalScrollBar()->setValue(0);
    QApplication::processEvents();
    window().AddLogLine(QStringLiteral("line 149"));
    EXPECT_TRUE(atNewestLine()) << bar->value() << " of " << bar->maximum();
    // Hidden with the log scrolled up, shown again: the newest line once more.
    window().memoLog->verticalScrollBar()->setValue(0);
    window().hide();
    window().AddLogLine(QStringLiteral("line 149"));
    FNav->TavrinNTRIPClient1Click();
    EXPECT_TRUE(atNewestLine()) << bar->value() << " of " << bar->maximum();

    AimAt(caster.port(), "TAVRIN1");
    window().edtUsername->setText("surveyor");
    window().edtPassword->setText("secret");
    window().btnConnectClick();
    ASSERT_TRUE(WaitUntil([&] { return window().Client->State == TTavrinNTRIPClient::Receiving; }, 20000));
    EXPECT_EQ(LoggedCount("Connecting to"), 1);
    EXPECT_TRUE(Logged("Connecting to 127.0.0.1:" + QString::number(caster.port()) + "/TAVRIN1"));
    window().btnConnectClick(); // manual disconnect
    window().btnConnectClick();
    ASSERT_TRUE(WaitUntil([&] { return window().Client->State == TTavrinNTRIPClient::Receiving; }, 20000));
    EXPECT_EQ(LoggedCount("Connecting to"), 2);
    QApplication::processEvents();
    EXPECT_EQ(bar->value(), bar->maximum()); // the client's lines follow too
}

TEST_F(NtripWindow, TheMountPointBoxShowsTheMountPointInUseAfterALargeSourceTable) {
    // A caster that answers the stream request with a 10 MB table: the client keeps only the
    // first part of it, and "MOUNT" is in none of it.
    std::string table = "SOURCETABLE 200 OK\r\nContent-Type: text/plain\r\n\r\n";
    for (int i = 0; table.size() < 10u * 1024 * 1024; ++i)
        table += "STR;OTHER" + std::to_string(i) + ";" + std::string(200, 'x') + "\r\n";
    table += "ENDSOURCETABLE\r\n";
    SharedText secondRequest;
    ScriptedCaster caster([&](CasterConnection& c, int index) {
        const std::string request = c.readRequest();
        if (index != 1) {
            c.send(table);
            return;
        }
        secondRequest.set(request);
        c.send(Icy + "data");
        c.readToEnd(20000);
    });
    start();
    AimAt(caster.port(), "MOUNT");
    window().Client->SetReconnectInterval(30);
    window().btnConnectClick();
    ASSERT_TRUE(WaitUntil([&] { return Logged("Found "); }, 20000));
    EXPECT_TRUE(Logged("Source table too long"));
    EXPECT_GT(window().boxMountpoint->count(), 1000);
    EXPECT_EQ(window().boxMountpoint->currentText(), "MOUNT");

    ASSERT_TRUE(WaitUntil([&] { return window().Client->Connected.load(); }, 20000));
    EXPECT_EQ(secondRequest.get().rfind("GET /MOUNT HTTP/1.0\r\n", 0), 0u) << secondRequest.get();
    EXPECT_EQ(window().boxMountpoint->currentText(), "MOUNT");

    // Fetch Sources asks for no mount point: the table's first one is offered.
    window().btnConnectClick(); // disconnect
    window().btnFetchSourcesClick();
    ASSERT_TRUE(WaitUntil([&] { return LoggedCount("Found ") >= 2; }, 20000));
    EXPECT_EQ(window().boxMountpoint->currentText(), "OTHER0");
}

TEST_F(NtripWindow, ChoosingTheReceiversPortWhileASeparateOneIsOpenSendsTheCorrectionsThere) {
    Str2StrCaster caster(Corrections, "surveyor", "secret", "TAVRIN1");
    ASSERT_TRUE(caster.running()) << "str2str did not start as a caster on 127.0.0.1";
    auto receiver = MappedPort(15);
    auto output = MappedPort(12);
    start();
    // A password protects the profile file too: keep it in the test's own folder.
    window().ProfilesPath = TestEnvironment::home() + QStringLiteral("/profiles.txt");
    FNav->ZGPS1->PortNumber = 15;
    FNav->ZGPS1->Open();
    ASSERT_TRUE(FNav->ZGPS1->Connected) << FNav->ZGPS1->LastError;
    ChooseOutputPort("COM12");
    ClickOutputBox(true);
    ASSERT_TRUE(window().OutputOpen);

    AimAt(caster.port(), "TAVRIN1");
    window().edtUsername->setText("surveyor");
    window().edtPassword->setText("secret");
    window().btnConnectClick();
    ASSERT_TRUE(ReadsAtLeast(*output, caster.fixture().size()));
    EXPECT_EQ(receiver->read(), "");

    window().boxOutputPort->setCurrentIndex(0);
    EXPECT_TRUE(Logged("Output enabled: Using GPS input port"));
    output->read();
    ASSERT_TRUE(ReadsAtLeast(*receiver, caster.fixture().size()));
    EXPECT_EQ(output->read(), "");
}

namespace {

TEST_F(NtripWindow, APositionThatStaysRepaintsNoPositionEdit) {
    start();
    window().show();
    window().UpdateVesselPosition(41.012345, 28.9766667, 12.5);
    RunEventsFor(50);
    PaintCounter paints;
    window().edtLatitude->installEventFilter(&paints);
    window().edtLongitude->installEventFilter(&paints);

    // The map tick hands the caster the position five times a second, the same while the
    // vessel lies still.
    for (int tick = 0; tick < 3; ++tick)
        window().UpdateVesselPosition(41.012345, 28.9766667, 12.5);
    RunEventsFor(50);
    EXPECT_EQ(paints.paints, 0u);
    EXPECT_EQ(window().edtLatitude->text(), "41.01234500");

    window().UpdateVesselPosition(41.012346, 28.9766667, 12.5);
    EXPECT_EQ(window().edtLatitude->text(), "41.01234600");
    EXPECT_EQ(window().edtLongitude->text(), "28.97666670");
    ASSERT_TRUE(WaitUntil([&] { return paints.paints > 0u; })) << "a new position is shown";
}

TEST_F(NtripWindow, AHiddenWindowShowsTheLatestPositionWhenShownAndEveryReaderGetsIt) {
    start();
    ASSERT_FALSE(window().isVisible());
    int textChanges = 0;
    QObject::connect(window().edtLatitude, &QLineEdit::textChanged, [&] { ++textChanges; });
    // Hidden, the ticks' positions are not laid out in the edits one by one.
    for (const double latitude : {41.0, 41.1, 41.2})
        window().UpdateVesselPosition(latitude, 28.9766667, 12.5);
    EXPECT_EQ(textChanges, 0);

    // Saved while hidden: the file gets the latest position all the same.
    window().SaveNtripSettings();
    EXPECT_EQ(Stored("Latitude"), "41.20000000");
    EXPECT_EQ(Stored("Longitude"), "28.97666670");

    window().UpdateVesselPosition(41.3, 28.9766667, 12.5);
    window().show();
    EXPECT_EQ(window().edtLatitude->text(), "41.30000000");

    // Shown, each new position is written at once.
    window().UpdateVesselPosition(41.4, 28.9766667, 12.5);
    EXPECT_EQ(window().edtLatitude->text(), "41.40000000");

    // Hidden again, and switched to a typed position: the edits start from the receiver's
    // last position, and a typed one is not overwritten by it later.
    window().hide();
    window().UpdateVesselPosition(41.5, 28.9766667, 12.5);
    window().rbManual->setChecked(true);
    window().UpdatePositionControls();
    EXPECT_EQ(window().edtLatitude->text(), "41.50000000");
    window().edtLatitude->setText("40.25");
    window().UpdateVesselPosition(41.6, 28.9766667, 12.5);
    window().show();
    EXPECT_EQ(window().edtLatitude->text(), "40.25");
}

} // namespace
