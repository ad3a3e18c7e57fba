#include "DevicePagesForTests.h"
#include "StartedProgram.h"
#include "tests/support/PaintCounter.h"

#include "app/devices/TFGPS.h"
#include "app/devices/TfJoystick.h"
#include "app/survey_windows/AcquisitionSession.h"
#include "app/survey_windows/SurveyStateAccess.h"
#include "app/survey_windows/TfRealtime.h"
#include "app/survey_windows/TfWaterfal.h"
#include "app/widgets/StyleManager.h"
#include "app/widgets/TFMsg.h"
#include "canvas/TTavrinCanvas.h"

#include "platform/ColorValue.h"
#include "platform/DataPaths.h"
#include "platform/EventLog.h"
#include "platform/FileIO.h"
#include "positioning/gnss/NmeaChecksum.h"
#include "positioning/gnss/TavrinSerialGPS.h"
#include "tests/support/EventLoopWait.h"
#include "tools/devsim/PseudoTerminal.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextDocument>
#include <QToolBar>
#include <QToolButton>

#include <algorithm>
#include <cmath>
#include <filesystem>

namespace {

std::string Nmea(const std::string& body) {
    return "$" + body + "*" + NmeaChecksum(body) + "\r\n";
}

QColor BoxColour(const QGroupBox* box) {
    return box->palette().color(QPalette::Window);
}

// What the dialogs showed, for a failing check.
std::string Shown() {
    std::string shown;
    for (const auto& message : TestEnvironment::dialogs().messages)
        shown += message.text.toStdString() + "\n";
    return shown;
}

std::string GeodesyLogPath() {
    return LogFolder + TodayString() + " Geodesy.txt";
}

// The program's windows over real ports: the device settings window's pages decide what Start
// opens, and what arrives shows in the realtime window and the port monitor.
class MainWindowAcquisition : public StartedProgram {
protected:
    void SetUp() override {
        StartedProgram::SetUp();
        SurveyAcquisitionState() = AcquisitionState();
    }
    void TearDown() override {
        StartedProgram::TearDown();
        SurveyAcquisitionState() = AcquisitionState();
    }

    static void storeSetup() {
        StoreSurveySetUp();
    }
    static void mapPort(int number, const std::string& device) {
        writeSetting(QStringLiteral("SERIAL_PORTS"), QStringLiteral("COM%1").arg(number),
                     QString::fromStdString(device));
    }
    static void storeSensorEnabled(bool enabled) {
        writeSetting(QStringLiteral("SENSOR COMUNICATION SETTINGS"),
                     QStringLiteral("Sensor Enabled     "),
                     enabled ? QStringLiteral("1") : QStringLiteral("0"));
    }
    // A stored set-up and the receiver on COM1, without the sounder: what the windows load.
    static void storeGnssOnly(const PseudoTerminal& receiver) {
        storeSetup();
        mapPort(1, receiver.devicePath());
        StorePortPage(true, 1);
        storeSensorEnabled(false);
    }
    // Starts the windows on the stored receiver, with the monitor shown, and presses Start.
    static void startGnssOnly(const PseudoTerminal& receiver) {
        storeGnssOnly(receiver);
        start();
        FGPS->show();
        FNav->Realtime->click();
        ASSERT_TRUE(FNav->ZGPS1->Connected) << FNav->ZGPS1->LastError;
    }
    // Writes the lines and a marker, and waits until the GNSS handler has echoed the marker to
    // the monitor: every line before it has been handled then.
    static bool playGnss(PseudoTerminal& receiver, const std::string& lines, int mark) {
        const std::string sync = "$GPTXT,SYNC," + std::to_string(mark);
        return receiver.write(lines + sync + "\r\n") && WaitUntil([&] {
                   return FGPS->MemoGPS->document()->lastBlock().text() ==
                          QString::fromStdString(sync);
               });
    }
};

TEST_F(MainWindowAcquisition, StartWithoutSetUpValuesIsRefusedWithTheSetUpMessage) {
    start();
    ASSERT_NE(FNav->Acquisition, nullptr);
    FNav->Realtime->click();
    QApplication::processEvents();
    const auto& messages = TestEnvironment::dialogs().messages;
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, QStringLiteral("Failed! Recheck offset A"));
    EXPECT_FALSE(FNav->Realtime->isChecked());
    EXPECT_EQ(FNav->Realtime->text(), QStringLiteral("Start"));
    EXPECT_FALSE(FNav->Acquisition->Running());
}

TEST_F(MainWindowAcquisition, StartAndStopFromTheButton) {
    PseudoTerminal receiver;
    storeGnssOnly(receiver);
    start();
    FNav->Realtime->click();
    QApplication::processEvents();
    EXPECT_TRUE(TestEnvironment::dialogs().messages.empty()) << Shown();
    EXPECT_TRUE(FNav->Acquisition->Running());
    EXPECT_TRUE(FNav->ZGPS1->Connected);
    EXPECT_TRUE(FNav->Realtime->isChecked());
    EXPECT_EQ(FNav->Realtime->text(), QStringLiteral("Stop"));
    FNav->Realtime->click();
    QApplication::processEvents();
    EXPECT_FALSE(FNav->Acquisition->Running());
    EXPECT_FALSE(FNav->ZGPS1->Connected);
    EXPECT_EQ(FNav->Realtime->text(), QStringLiteral("Start"));
    const auto events = ReadWholeFile(EventsLogPath()).value_or("");
    const size_t started = events.find("Realtime STARTED");
    const size_t stopped = events.find("Realtime STOPPED");
    EXPECT_NE(started, std::string::npos);
    EXPECT_NE(stopped, std::string::npos);
    EXPECT_LT(events.find("Connected to GPS on COM1"), started);
    EXPECT_LT(started, events.find("Disconnected from GPS on COM1"));
}

// WCAG's relative luminance and contrast ratio.
double Luminance(const QColor& colour) {
    const auto channel = [](double c) {
        return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(colour.redF()) + 0.7152 * channel(colour.greenF()) +
           0.0722 * channel(colour.blueF());
}

double Contrast(const QColor& a, const QColor& b) {
    const double la = Luminance(a);
    const double lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

struct ButtonLook {
    QColor face;
    double captionContrast = 0;
};

// What the button shows: its face beside the caption, and the caption's strongest contrast to
// it among the pixels of the text.
ButtonLook LookOf(QToolButton* button) {
    const QImage image = button->grab().toImage();
    ButtonLook look;
    look.face = image.pixelColor(4, image.height() / 2);
    for (int y = 4; y < image.height() - 4; ++y)
        for (int x = 6; x < image.width() - 6; ++x)
            look.captionContrast = std::max(look.captionContrast, Contrast(look.face, image.pixelColor(x, y)));
    return look;
}

QColor ToolBarColour() {
    const QImage image = FNav->tRealtime->grab().toImage();
    return image.pixelColor(image.width() - 4, image.height() / 2);
}

TEST_F(MainWindowAcquisition, StartStopIsReadableInBothStatesAndEveryThemeAndTheBarComesBack) {
    PseudoTerminal receiver;
    storeGnssOnly(receiver);
    start();
    // A wide window, so that the bar has room right of its buttons.
    FNav->resize(1400, 700);
    for (const QString& theme : StyleManager::styleNames()) {
        SCOPED_TRACE(theme.toStdString());
        ASSERT_TRUE(StyleManager::trySetStyle(theme, false));
        QApplication::processEvents();
        const QColor barBefore = ToolBarColour();
        const ButtonLook stopped = LookOf(FNav->Realtime);
        EXPECT_GE(stopped.captionContrast, 4.5);

        FNav->Realtime->click();
        QApplication::processEvents();
        ASSERT_TRUE(FNav->Acquisition->Running()) << Shown();
        const ButtonLook running = LookOf(FNav->Realtime);
        EXPECT_GE(running.captionContrast, 4.5);
        // Recording: a red button on a green bar.
        EXPECT_GT(running.face.red(), 2 * running.face.green());
        const QColor barRunning = ToolBarColour();
        EXPECT_GT(barRunning.green(), 2 * barRunning.red());

        FNav->Realtime->click();
        QApplication::processEvents();
        ASSERT_FALSE(FNav->Acquisition->Running());
        EXPECT_EQ(ToolBarColour(), barBefore);
        EXPECT_GE(LookOf(FNav->Realtime).captionContrast, 4.5);
    }
    StyleManager::trySetStyle(StyleManager::defaultStyleName(), false);
}

TEST_F(MainWindowAcquisition, ClosingTheProgramWhileRunningEndsTheRunQuietly) {
    PseudoTerminal receiver;
    storeGnssOnly(receiver);
    start();
    FNav->Realtime->click();
    ASSERT_TRUE(FNav->Acquisition->Running());
    FNav->close();
    QApplication::processEvents();
    EXPECT_FALSE(FNav->ZGPS1->Connected);
    DestroyApplicationWindows();
    EXPECT_EQ(FNav, nullptr);
}

TEST_F(MainWindowAcquisition, StartOpensThePortsThePagesShowNotTheStoredOnes) {
    PseudoTerminal receiver, echoSounder;
    storeSetup();
    // Stored: a receiver that is not there and no sounder.
    mapPort(1, TestEnvironment::home().toStdString() + "/no-receiver");
    StorePortPage(true, 1);
    storeSensorEnabled(false);
    mapPort(2, receiver.devicePath());
    mapPort(3, echoSounder.devicePath());
    start();
    // Changed in the window, not saved.
    FillPortPage(true, 2);
    FillPortPage(false, 3);
    FGPS->SensorEnabled->setChecked(true);
    FGPS->eSBESFormat->setText(QStringLiteral("%*8s,%lf,%lf"));
    FNav->Realtime->click();
    QApplication::processEvents();
    EXPECT_TRUE(TestEnvironment::dialogs().messages.empty()) << Shown();
    ASSERT_TRUE(FNav->Acquisition->Running());
    EXPECT_TRUE(FNav->ZGPS1->Connected) << FNav->ZGPS1->LastError;
    EXPECT_EQ(FNav->ZGPS1->PortNumber, 2);
    EXPECT_TRUE(FNav->ZSENSOR->Connected) << FNav->ZSENSOR->LastError;
    EXPECT_EQ(FNav->ZSENSOR->PortNumber, 3);
    EXPECT_EQ(FNav->ZGPS1->LogFileName, LogFolder + TodayString() + " VXQ_GNSS_V3.log");
    EXPECT_NE(FMsg->Msg->toPlainText().indexOf(QStringLiteral("ZSENSOR Open called on port: COM3")),
              -1);
    FNav->Realtime->click();
}

TEST_F(MainWindowAcquisition, APortPageThatDoesNotApplyRefusesStartWithItsMessage) {
    PseudoTerminal receiver;
    const struct {
        const char* name;
        std::function<void()> spoil;
        const char* message; // empty: Start goes on
    } cases[] = {
        {"GNSS baud rate", [] { FGPS->BaudRate->setCurrentText(QStringLiteral("fast")); },
         "GPS Settings: Baud Rate \"fast\" is refused"},
        {"sounder port while the sounder is on",
         [] {
             FGPS->SensorEnabled->setChecked(true);
             // Both numbers of the default type, so that the port is what Start refuses.
             FGPS->eSBESFormat->setText(QStringLiteral("%*8s,%lf,%lf"));
             FGPS->SPort->setCurrentText(QString());
         },
         "Sensor (SBES) Settings: Port \"\" is refused"},
        {"sounder port while the sounder is off",
         [] {
             FGPS->SensorEnabled->setChecked(false);
             FGPS->SPort->setCurrentText(QString());
         },
         ""},
    };
    storeGnssOnly(receiver);
    start();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FillPortPage(true, 1);
        c.spoil();
        TestEnvironment::dialogs().clear();
        std::filesystem::remove_all(LogFolder);
        FNav->Realtime->click();
        QApplication::processEvents();
        const auto& messages = TestEnvironment::dialogs().messages;
        if (!*c.message) {
            EXPECT_TRUE(messages.empty()) << Shown();
            EXPECT_TRUE(FNav->Acquisition->Running());
            EXPECT_TRUE(FNav->ZGPS1->Connected);
            FNav->Realtime->click();
            continue;
        }
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_TRUE(messages[0].text.startsWith(QString::fromUtf8(c.message)))
            << messages[0].text.toStdString();
        EXPECT_FALSE(FNav->Acquisition->Running());
        EXPECT_FALSE(FNav->Realtime->isChecked());
        EXPECT_EQ(FNav->Realtime->text(), QStringLiteral("Start"));
        EXPECT_FALSE(FNav->ZGPS1->Connected);
        EXPECT_FALSE(FNav->ZSENSOR->Connected);
        EXPECT_FALSE(std::filesystem::exists(GeodesyLogPath())) << "nothing was written";
    }
}

TEST_F(MainWindowAcquisition, StartTakesTheGeodeticEditsAsTheyStand) {
    PseudoTerminal receiver;
    storeGnssOnly(receiver);
    start();
    // Stored: the International ellipsoid; in the window, not saved: WGS 84.
    FGPS->edSMA->setText(QStringLiteral("6378137"));
    FGPS->edIF->setText(QStringLiteral("0.0033528106647474"));
    FNav->Realtime->click();
    ASSERT_TRUE(FNav->Acquisition->Running());
    FNav->Realtime->click();
    const std::string log = ReadWholeFile(GeodesyLogPath()).value_or("");
    EXPECT_NE(log.find("Semi-Major Axis: 6378137\r\n"), std::string::npos) << log;

    // An edit the map could not use refuses Start with the page's reason, and writes nothing.
    FGPS->edIF->setText(QStringLiteral("298.257"));
    TestEnvironment::dialogs().clear();
    FNav->Realtime->click();
    const auto& messages = TestEnvironment::dialogs().messages;
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].text.startsWith(QStringLiteral(
        "Cannot start: Device Settings, Geodetic Parameters: Flattening (edIF) \"298.257\" must be "
        "at least 0 and below 0.01")))
        << messages[0].text.toStdString();
    EXPECT_FALSE(FNav->Acquisition->Running());
    EXPECT_FALSE(FNav->ZGPS1->Connected);
    EXPECT_EQ(ReadWholeFile(GeodesyLogPath()).value_or(""), log);
}

TEST_F(MainWindowAcquisition, GnssBoxTakesTheColourOfTheFixQuality) {
    PseudoTerminal receiver;
    ASSERT_NO_FATAL_FAILURE(startGnssOnly(receiver));
    QGroupBox* box = fRealtime->GPSGroupBox;
    TfRealtime::SetBoxColour(box, Qt::white);
    ASSERT_TRUE(playGnss(receiver, "", 0));
    EXPECT_EQ(BoxColour(box), QColor(0, 255, 0)) << "the map starts: lime";

    // The box follows the quality of the GGA before the line being handled.
    const struct {
        int quality;
        QColor colour;
    } cases[] = {
        {2, QColor(0, 255, 255)}, {1, QColor(255, 0, 0)}, {4, QColor(0, 255, 0)},
        {5, QColor(255, 255, 0)}, {0, QColor(255, 0, 0)}, {3, QColor(255, 255, 0)},
    };
    int mark = 1;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.quality);
        const std::string gga = Nmea("GPGGA,120000.00,4030.000,N,03306.000,E," +
                                     std::to_string(c.quality) + ",12,0.8,50.0,M,10.0,M,,");
        ASSERT_TRUE(playGnss(receiver, gga, mark++));
        EXPECT_EQ(BoxColour(box), c.colour);
    }

    // The receiver's watchdog: a silent receiver turns the box red.
    FNav->Acquisition->ZGPS1Idle(FNav->ZGPS1);
    EXPECT_EQ(BoxColour(box), QColor(255, 0, 0));
    FNav->Realtime->click();
}

TEST_F(MainWindowAcquisition, SpeedLabelShowsTheSpeedInKnotsWithOneDecimal) {
    PseudoTerminal receiver;
    ASSERT_NO_FATAL_FAILURE(startGnssOnly(receiver));
    ASSERT_TRUE(playGnss(receiver, Nmea("GPVTG,054.7,T,034.4,M,022.4,N,041.484,K"), 0));
    EXPECT_EQ(fRealtime->Speed->text(), QStringLiteral("22.4")) << "41.484 km/h";
    ASSERT_TRUE(playGnss(receiver, Nmea("GPVTG,054.7,T,034.4,M,0.0,N,0.0,K"), 1));
    EXPECT_EQ(fRealtime->Speed->text(), QStringLiteral("0.0"));
    FNav->Realtime->click();
}

TEST_F(MainWindowAcquisition, StartWithoutTheSounderLeavesOnlyTheGnssBox) {
    PseudoTerminal receiver;
    storeGnssOnly(receiver);
    start();
    fRealtime->show();
    FNav->Realtime->click();
    ASSERT_TRUE(FNav->Acquisition->Running());
    EXPECT_TRUE(fRealtime->DepthFrameHi->isHidden());
    EXPECT_TRUE(fRealtime->DepthFrameLo->isHidden());
    EXPECT_EQ(fRealtime->height(), TfRealtime::HeightWithoutDepths);
    FNav->Realtime->click();
}

class MainWindowSounder : public MainWindowAcquisition {
protected:
    PseudoTerminal receiver, echoSounder;

    // The receiver on COM1 and a sounder of the type on COM2, the monitor shown.
    void startSurvey(const char* type = "NMEA DBT", const char* format = "%*6s,%*lf,%*1s,%lf") {
        storeSetup();
        mapPort(1, receiver.devicePath());
        mapPort(2, echoSounder.devicePath());
        StorePortPage(true, 1);
        StorePortPage(false, 2);
        storeSensorEnabled(true);
        writeSetting("SENSOR COMUNICATION SETTINGS", "cSBESMessage", type);
        writeSetting("SENSOR COMUNICATION SETTINGS", "eSBESFormat", format);
        start();
        fRealtime->show();
        FGPS->show();
        FNav->Realtime->click();
        ASSERT_TRUE(FNav->ZSENSOR->Connected) << FNav->ZSENSOR->LastError;
    }
    // Writes the line and waits until the handler has put it into the monitor.
    bool playSounder(const std::string& line) {
        return echoSounder.write(line + "\r\n") && WaitUntil([&] {
                   return FGPS->MemoSensor->document()->lastBlock().text() ==
                          QString::fromStdString(line);
               });
    }
};

TEST_F(MainWindowSounder, SounderLinesReachTheMonitorTheFramesAndTheDepthLabels) {
    ASSERT_NO_FATAL_FAILURE(startSurvey());
    EXPECT_TRUE(fRealtime->DepthFrameHi->isHidden()) << "until the first sounding";
    EXPECT_TRUE(fRealtime->DepthFrameLo->isHidden());
    TfRealtime::SetBoxColour(fRealtime->DepthFrameHi, QColor(255, 0, 0));

    // A line without the type's marker: shown in the monitor, frames back and lime, depths
    // left alone.
    ASSERT_TRUE(playSounder("$SDDPT,10.0,0.0"));
    EXPECT_FALSE(fRealtime->DepthFrameHi->isHidden());
    EXPECT_TRUE(fRealtime->DepthFrameLo->isHidden()) << "a type with one depth";
    EXPECT_EQ(BoxColour(fRealtime->DepthFrameHi), QColor(0, 255, 0));
    EXPECT_TRUE(fWaterfal->isVisible());
    EXPECT_EQ(fRealtime->lDepthHi->text(), QStringLiteral("---"));

    // 10.0 m at 1530 m/s with a draft of 0.40 m.
    ASSERT_TRUE(playSounder("$SDDBT,32.8,f,10.0,M,5.4,F"));
    EXPECT_EQ(fRealtime->lDepthHi->text(), QStringLiteral("10.60"));
    EXPECT_EQ(fRealtime->lDepthLo->text(), QStringLiteral("0.00")) << "the type has no low depth";

    // The marker without a depth.
    ASSERT_TRUE(playSounder("$SDDBT,,f,,M,,F"));
    EXPECT_EQ(fRealtime->lDepthHi->text(), QStringLiteral("--.-"));
    EXPECT_EQ(fRealtime->lDepthLo->text(), QStringLiteral("--.-"));

    // With the monitor held, lines are handled but not shown.
    FNav->PortMonitorActive = false;
    ASSERT_TRUE(echoSounder.write("$SDDBT,32.8,f,12.0,M,5.4,F\r\n"));
    ASSERT_TRUE(WaitUntil([] { return fRealtime->lDepthHi->text() == QStringLiteral("12.64"); }));
    EXPECT_EQ(FGPS->MemoSensor->document()->lastBlock().text(), QStringLiteral("$SDDBT,,f,,M,,F"));
    FNav->PortMonitorActive = true;
    FNav->Realtime->click();
}

TEST_F(MainWindowSounder, ASoundingRepaintsTheMapOnlyWhenTheShallowAlertChangesItsColour) {
    ASSERT_NO_FATAL_FAILURE(startSurvey());
    ASSERT_TRUE(FNav->Realtime->isChecked()) << "the alert applies while the button is pressed";
    // The map tick paints on its own: held, so the paints counted are the soundings' alone.
    FNav->tMap->stop();
    PaintCounter counter;
    FNav->fcad->installEventFilter(&counter);
    // The first sounding gives the map the navigation settings' background.
    ASSERT_TRUE(playSounder("$SDDBT,32.8,f,10.0,M,5.4,F"));
    const uint32_t normal = FNav->fcad->BackColor;
    ASSERT_NE(normal, 0x0000FFu);
    RunEventsFor(100);

    // Deep water, again and again: the background stays, nothing is painted.
    counter.paints = 0;
    for (const char* line : {"$SDDBT,32.8,f,10.0,M,5.4,F", "$SDDBT,36.1,f,11.0,M,6.0,F",
                             "$SDDBT,32.8,f,10.0,M,5.4,F"})
        ASSERT_TRUE(playSounder(line));
    RunEventsFor(100);
    EXPECT_EQ(FNav->fcad->BackColor, normal);
    EXPECT_EQ(counter.paints, 0u);

    // 0.05 m and a draft of 0.40 m: at most the alert's 0.5 m, the map turns red and repaints;
    // shallow again, it stays red without a paint; deep, it turns back with one.
    ASSERT_TRUE(playSounder("$SDDBT,0.2,f,0.05,M,0.0,F"));
    ASSERT_TRUE(WaitUntil([&] { return counter.paints > 0u; }));
    EXPECT_EQ(FNav->fcad->BackColor, 0x0000FFu);
    RunEventsFor(100);
    counter.paints = 0;
    ASSERT_TRUE(playSounder("$SDDBT,0.1,f,0.04,M,0.0,F"));
    RunEventsFor(100);
    EXPECT_EQ(counter.paints, 0u);
    ASSERT_TRUE(playSounder("$SDDBT,32.8,f,10.0,M,5.4,F"));
    ASSERT_TRUE(WaitUntil([&] { return counter.paints > 0u; }));
    EXPECT_EQ(FNav->fcad->BackColor, normal);
    FNav->fcad->removeEventFilter(&counter);
    FNav->Realtime->click();
}

TEST_F(MainWindowSounder, ASoundingThatChangesNothingShownPaintsNothingInTheRealtimeWindow) {
    ASSERT_NO_FATAL_FAILURE(startSurvey());
    // The map tick writes the window's GNSS labels on its own: held, so the paints counted are
    // the soundings' alone.
    FNav->tMap->stop();
    ASSERT_TRUE(playSounder("$SDDBT,32.8,f,10.0,M,5.4,F"));
    RunEventsFor(100);
    PaintCounter counter;
    fRealtime->installEventFilter(&counter);
    for (QWidget* widget : fRealtime->findChildren<QWidget*>())
        widget->installEventFilter(&counter);

    // The same depth again (lines that differ only in the feet the format skips, so that each
    // is seen in the monitor): the frames stay lime and the labels keep their text.
    for (const char* line : {"$SDDBT,32.9,f,10.0,M,5.5,F", "$SDDBT,32.8,f,10.0,M,5.4,F",
                             "$SDDBT,32.9,f,10.0,M,5.5,F"})
        ASSERT_TRUE(playSounder(line));
    RunEventsFor(100);
    EXPECT_EQ(counter.paints, 0u);
    EXPECT_EQ(BoxColour(fRealtime->DepthFrameHi), QColor(0, 255, 0));
    EXPECT_EQ(fRealtime->lDepthHi->text(), QStringLiteral("10.60"));

    // A new depth is shown; after a silence painted the frames red, the next line makes them
    // lime again.
    ASSERT_TRUE(playSounder("$SDDBT,36.1,f,11.0,M,6.0,F"));
    EXPECT_EQ(fRealtime->lDepthHi->text(), QStringLiteral("11.62"));
    ASSERT_TRUE(WaitUntil([&] { return counter.paints > 0u; }));
    TfRealtime::SetBoxColour(fRealtime->DepthFrameHi, QColor(255, 0, 0));
    TfRealtime::SetBoxColour(fRealtime->DepthFrameLo, QColor(255, 0, 0));
    ASSERT_TRUE(playSounder("$SDDBT,36.2,f,11.0,M,6.1,F"));
    EXPECT_EQ(BoxColour(fRealtime->DepthFrameHi), QColor(0, 255, 0));
    EXPECT_EQ(BoxColour(fRealtime->DepthFrameLo), QColor(0, 255, 0));
    FNav->Realtime->click();
}

TEST_F(MainWindowSounder, DepthFrameAfterARunWithoutTheSounderFitsInTheWindow) {
    ASSERT_NO_FATAL_FAILURE(startSurvey());
    FNav->Realtime->click(); // Stop
    FGPS->SensorEnabled->setChecked(false);
    FNav->Realtime->click();
    ASSERT_EQ(fRealtime->height(), TfRealtime::HeightWithoutDepths);
    FNav->Realtime->click(); // Stop
    FGPS->SensorEnabled->setChecked(true);
    FNav->Realtime->click();
    ASSERT_TRUE(FNav->ZSENSOR->Connected);
    ASSERT_TRUE(playSounder("$SDDBT,32.8,f,10.0,M,5.4,F"));
    EXPECT_FALSE(fRealtime->DepthFrameHi->isHidden());
    EXPECT_EQ(fRealtime->height(), TfRealtime::HeightWithHighDepth);
    EXPECT_LE(fRealtime->DepthFrameHi->geometry().bottom(), fRealtime->height());
    FNav->Realtime->click();
}

TEST_F(MainWindowSounder, BatteryValueOfTheSounderReachesTheBatteryWindow) {
    ASSERT_NO_FATAL_FAILURE(startSurvey("Tavrin SMT", "%*8s,%lf,%lf"));
    ASSERT_TRUE(playSounder("$SMT0001,5.0,12.456"));
    EXPECT_EQ(fJoystick->pBattery->text(), QStringLiteral("12.46"));
    EXPECT_EQ(fRealtime->lDepthHi->text(), QStringLiteral("5.50"));
    FNav->Realtime->click();
}

TEST_F(MainWindowSounder, SounderTypeChangedDuringARunWaitsForTheNextStart) {
    ASSERT_NO_FATAL_FAILURE(startSurvey());
    // Picking another type during the run rewrites the format at once; the run keeps what
    // Start checked, so no sounding is lost to a half-made choice.
    FGPS->cSBESMessage->setCurrentText(QStringLiteral("NMEA DPT"));
    ASSERT_EQ(FGPS->eSBESFormat->text(), QStringLiteral("%*6s,%lf"));
    FGPS->eSBESFormat->setText(QStringLiteral("%*6s,"));
    ASSERT_TRUE(playSounder("$SDDBT,32.8,f,10.0,M,5.4,F"));
    EXPECT_EQ(fRealtime->lDepthHi->text(), QStringLiteral("10.60"));

    FNav->Realtime->click(); // Stop
    FGPS->eSBESFormat->setText(QStringLiteral("%*6s,%lf"));
    FNav->Realtime->click(); // Start with the new type
    ASSERT_TRUE(FNav->Acquisition->Running());
    ASSERT_TRUE(playSounder("$SDDPT,20.0,0.0"));
    EXPECT_EQ(fRealtime->lDepthHi->text(), QStringLiteral("20.80"));
    FNav->Realtime->click();
}

} // namespace
