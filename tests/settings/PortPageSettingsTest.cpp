#include "settings/DisplaySettings.h"
#include "settings/PortPageSettings.h"

#include "platform/IniFile.h"
#include "platform/SerialPort.h"
#include "positioning/gnss/TavrinSerialGPS.h"
#include "tools/devsim/PseudoTerminal.h"

#include "tests/support/EventLoopWait.h"
#include "tests/support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <climits>
#include <functional>

namespace {

PortPageTexts GoodPage() {
    return PortPageTexts{"COM3", "9600", "8", "1", "None", "Normal", "5",
                         "False", "False", "True", "True"};
}

std::vector<int> ListedPorts() {
    std::vector<int> numbers;
    for (int n = 1; n <= 20; ++n)
        numbers.push_back(n);
    return numbers;
}

} // namespace

TEST(PortPageSettings, TextsBecomeTheFieldsOfThePortOrTheWholePageIsRefused) {
    struct Case {
        const char* name;
        std::function<void(PortPageTexts&)> edit;
        const char* refusedSetting; // nullptr: accepted
        std::function<void(const PortPageFields&)> check;
    };
    const Case cases[] = {
        {"defaults", [](PortPageTexts&) {}, nullptr,
         [](const PortPageFields& f) {
             EXPECT_EQ(f.PortNumber, 3);
             EXPECT_EQ(f.BaudRate, 9600);
             EXPECT_EQ(f.DataBitsIndex, 4);
             EXPECT_EQ(f.StopBitsIndex, 1);
             EXPECT_EQ(f.ParityIndex, 0);
             EXPECT_EQ(f.PollInterval, 5);
             EXPECT_FALSE(f.NmeaLog);
             EXPECT_FALSE(f.LogTimestamps);
             EXPECT_TRUE(f.DTR);
             EXPECT_TRUE(f.RTS);
         }},
        {"port beyond the list", [](PortPageTexts& t) { t.port = "COM25"; }, "Port", nullptr},
        {"port with blanks and small letters", [](PortPageTexts& t) { t.port = " com3 "; },
         nullptr, [](const PortPageFields& f) { EXPECT_EQ(f.PortNumber, 3); }},
        {"bare port number", [](PortPageTexts& t) { t.port = "17"; }, nullptr,
         [](const PortPageFields& f) { EXPECT_EQ(f.PortNumber, 17); }},
        {"port not a number", [](PortPageTexts& t) { t.port = "COMX"; }, "Port", nullptr},
        {"empty port", [](PortPageTexts& t) { t.port = ""; }, "Port", nullptr},
        {"port zero", [](PortPageTexts& t) { t.port = "COM0"; }, "Port", nullptr},
        {"56000 baud", [](PortPageTexts& t) { t.baudRate = "56000"; }, nullptr,
         [](const PortPageFields& f) { EXPECT_EQ(f.BaudRate, 56000); }},
        {"256000 baud", [](PortPageTexts& t) { t.baudRate = "256000"; }, nullptr,
         [](const PortPageFields& f) { EXPECT_EQ(f.BaudRate, 256000); }},
        {"230400 baud", [](PortPageTexts& t) { t.baudRate = "230400"; }, nullptr,
         [](const PortPageFields& f) { EXPECT_EQ(f.BaudRate, 230400); }},
        {"unlisted rate", [](PortPageTexts& t) { t.baudRate = "12345"; }, "Baud Rate", nullptr},
        {"empty rate", [](PortPageTexts& t) { t.baudRate = ""; }, "Baud Rate", nullptr},
        {"parity even", [](PortPageTexts& t) { t.parity = "Even"; }, nullptr,
         [](const PortPageFields& f) { EXPECT_EQ(f.ParityIndex, 2); }},
        {"parity space", [](PortPageTexts& t) { t.parity = "space"; }, nullptr,
         [](const PortPageFields& f) { EXPECT_EQ(f.ParityIndex, 4); }},
        {"parity unknown", [](PortPageTexts& t) { t.parity = "Parity"; }, "Parity", nullptr},
        {"typed data width 7", [](PortPageTexts& t) { t.dataWidth = "7"; }, nullptr,
         [](const PortPageFields& f) { EXPECT_EQ(f.DataBitsIndex, 3); }},
        {"data width 4", [](PortPageTexts& t) { t.dataWidth = "4"; }, "Data Width", nullptr},
        {"stop bits 1.5", [](PortPageTexts& t) { t.stopBits = "1.5"; }, nullptr,
         [](const PortPageFields& f) { EXPECT_EQ(f.StopBitsIndex, 2); }},
        {"stop bits 2", [](PortPageTexts& t) { t.stopBits = "2"; }, nullptr,
         [](const PortPageFields& f) { EXPECT_EQ(f.StopBitsIndex, 3); }},
        {"stop bits 3", [](PortPageTexts& t) { t.stopBits = "3"; }, "Stop Bits", nullptr},
        {"delay not a number", [](PortPageTexts& t) { t.delay = "abc"; }, "Delay", nullptr},
        {"delay zero", [](PortPageTexts& t) { t.delay = "0"; }, "Delay", nullptr},
        {"delay too long", [](PortPageTexts& t) { t.delay = "100001"; }, "Delay", nullptr},
        {"priority unknown", [](PortPageTexts& t) { t.priority = "Urgent"; }, "Priority", nullptr},
        {"switches as numbers and any case",
         [](PortPageTexts& t) {
             t.nmeaLog = "1";
             t.logTime = "TRUE";
             t.enableDtr = "false";
             t.enableRts = "0";
         },
         nullptr,
         [](const PortPageFields& f) {
             EXPECT_TRUE(f.NmeaLog);
             EXPECT_TRUE(f.LogTimestamps);
             EXPECT_FALSE(f.DTR);
             EXPECT_FALSE(f.RTS);
         }},
        {"DTR not a switch", [](PortPageTexts& t) { t.enableDtr = "Yes"; }, "Enable DTR", nullptr},
        {"log time not a switch", [](PortPageTexts& t) { t.logTime = ""; }, "Log Time", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PortPageTexts texts = GoodPage();
        c.edit(texts);
        PortPageFields fields;
        fields.PortNumber = 9;
        fields.PollInterval = 77;
        fields.DTR = false;
        PortPageRefusal refusal;
        const bool accepted = ConvertPortPage(texts, ListedPorts(), fields, refusal);
        if (c.refusedSetting) {
            EXPECT_FALSE(accepted);
            EXPECT_EQ(refusal.setting, c.refusedSetting);
            // Nothing of a refused page reaches the port.
            EXPECT_EQ(fields.PortNumber, 9);
            EXPECT_EQ(fields.PollInterval, 77);
            EXPECT_FALSE(fields.DTR);
        } else {
            ASSERT_TRUE(accepted) << refusal.setting << ": " << refusal.reason;
            c.check(fields);
        }
    }
}

TEST(PortPageSettings, APortBeyondTheListIsAcceptedOnceMapped) {
    PortPageTexts texts = GoodPage();
    texts.port = "COM25";
    PortPageFields fields;
    PortPageRefusal refusal;
    std::vector<int> ports = ListedPorts();
    ASSERT_FALSE(ConvertPortPage(texts, ports, fields, refusal));
    EXPECT_EQ(PortPageRefusalMessage("GPS Settings", refusal),
              "GPS Settings: Port \"COM25\" is refused (COM25 is not in the port list: map it to "
              "a device in [SERIAL_PORTS]). Nothing of this page was applied.");
    ports.push_back(25);
    ASSERT_TRUE(ConvertPortPage(texts, ports, fields, refusal));
    EXPECT_EQ(fields.PortNumber, 25);
}

TEST(PortPageSettings, LogFileNameCarriesTheDateOfTheCopyInTheStartDaysFolder) {
    EXPECT_EQ(PortLogFileName("/home/s/WJT/2026-12-10/LOG/", "2026-12-11", true),
              "/home/s/WJT/2026-12-10/LOG/2026-12-11 VXQ_GNSS_V3.log");
    EXPECT_EQ(PortLogFileName("/x/LOG/", "2026-12-10", false), "/x/LOG/2026-12-10 VXQ_SBES_V3.log");
}

TEST(PortPageSettings, AnOpenedPseudoTerminalRunsAtThePagesRateAndStopBits) {
    PseudoTerminal terminal;
    {
        IniFile ini(TestEnvironment::settingsFile());
        ini.writeString(QStringLiteral("SERIAL_PORTS"), QStringLiteral("COM7"),
                        QString::fromStdString(terminal.devicePath()));
    }
    PortPageTexts texts = GoodPage();
    texts.port = "COM7";
    texts.baudRate = "56000";
    texts.stopBits = "2";
    texts.parity = "Even";
    texts.dataWidth = "7";
    texts.enableDtr = "False";
    PortPageFields fields;
    PortPageRefusal refusal;
    ASSERT_TRUE(ConvertPortPage(texts, ListedPorts(), fields, refusal)) << refusal.reason;

    TTavrinSerialGPS port;
    port.PortNumber = fields.PortNumber;
    port.BaudRate = fields.BaudRate;
    port.DataBitsIndex = fields.DataBitsIndex;
    port.StopBitsIndex = fields.StopBitsIndex;
    port.ParityIndex = fields.ParityIndex;
    port.DTR = fields.DTR;
    // The port hands these on unchanged; a pseudo-terminal keeps 8 bits without parity.
    const SerialLineSettings wanted = port.LineSettings();
    EXPECT_EQ(wanted.dataBits, 7);
    EXPECT_EQ(wanted.parity, SerialLineSettings::Parity::Even);
    EXPECT_FALSE(wanted.dtr);

    port.Open();
    ASSERT_TRUE(port.Connected) << port.LastError;
    SerialLineSettings read;
    std::string error;
    ASSERT_TRUE(SerialPort::readSettings(port.Handle->descriptor(), read, error)) << error;
    EXPECT_EQ(read.baudRate, 56000);
    EXPECT_EQ(read.stopBits, SerialLineSettings::StopBits::Two);
    port.Close();
}

TEST(GeodeticSettings, EachEditHoldsOneFiniteNumberInItsRange) {
    std::array<std::string, GeodeticEditCount> wgs84 = {
        "6378137", "0.0033528106647474", "0", "0", "0", "0", "0", "0", "0", "27", "0",
        "0.9996",  "500000", "0", "40", "42", "1", "41", "27", "500000", "0"};
    std::string reason;
    EXPECT_TRUE(CheckGeodeticTexts(wgs84, reason)) << reason;

    struct Case {
        int edit;
        const char* text;
        const char* reasonStart;
    };
    const Case cases[] = {
        {0, "", "Semi Major Axis (edSMA) \"\" must hold exactly one number"},
        {2, "1 2", "X Rotation (edRX) \"1 2\" must hold exactly one number"},
        {5, "nan", "X Shift (edSX) \"nan\" must hold exactly one number"},
        {0, "6378137,0", "Semi Major Axis (edSMA) \"6378137,0\" must hold exactly one"},
        {20, "inf", "False Norhing (eLCCFN) \"inf\" must hold exactly one number"},
        {1, "298.257", "Flattening (edIF) \"298.257\" must be at least 0 and below 0.01"},
        {1, "0.01", "Flattening (edIF) \"0.01\" must be at least 0"},
        {1, "-0.001", "Flattening (edIF) \"-0.001\" must be at least 0"},
        {0, "0", "Semi Major Axis (edSMA) \"0\" must be above 0"},
        {11, "0", "Scale Factor (edSF) \"0\" must be above 0"},
        {16, "-1", "Scale Factor (eLCCSF) \"-1\" must be above 0"},
    };
    for (const Case& c : cases) {
        auto texts = wgs84;
        texts[size_t(c.edit)] = c.text;
        EXPECT_FALSE(CheckGeodeticTexts(texts, reason)) << c.text;
        EXPECT_EQ(reason.rfind(c.reasonStart, 0), 0u) << reason;
    }
    // Blanks around the one number are fine.
    auto padded = wgs84;
    padded[0] = " 6378137 ";
    EXPECT_TRUE(CheckGeodeticTexts(padded, reason)) << reason;
}

TEST(DisplaySettingTexts, SpacingsIntervalsAndSizesFallBackWhenTheyDoNotConvert) {
    EXPECT_EQ(GridSpacingFromText("250"), 250.0);
    EXPECT_EQ(GridSpacingFromText("0.01"), 0.01);
    EXPECT_EQ(GridSpacingFromText("0.001"), 100.0);
    EXPECT_EQ(GridSpacingFromText("-5"), 100.0);
    EXPECT_EQ(GridSpacingFromText("abc"), 100.0);
    EXPECT_EQ(GridSpacingFromText("inf"), 100.0);

    struct Interval {
        const char* text;
        bool running;
        int intervalMs;
    };
    const Interval intervals[] = {
        {"60", true, 60000},
        {"0", false, 1000},
        {"-5", false, 1000},
        {"abc", true, 60000},
        {"1.5", true, 60000},
        {"3000000", true, (INT_MAX / 1000) * 1000},
        {"99999999999999", true, (INT_MAX / 1000) * 1000},
    };
    for (const Interval& i : intervals) {
        const ScreenshotTimerSetting timer = ScreenshotTimerFromText(i.text);
        EXPECT_EQ(timer.running, i.running) << i.text;
        if (i.running) {
            EXPECT_EQ(timer.intervalMs, i.intervalMs) << i.text;
        }
    }
    EXPECT_EQ(IntegerSettingFromText(" 14 ", 12), 14);
    EXPECT_EQ(IntegerSettingFromText("14pt", 12), 12);
    EXPECT_EQ(NumberSettingFromText("2.5", 10), 2.5);
    EXPECT_EQ(NumberSettingFromText("nan", 10), 10);
}
