#include "DevicePagesForTests.h"
#include "StartedProgram.h"

#include "app/devices/TFGPS.h"

#include "platform/ScanFormat.h"
#include "positioning/gnss/TavrinSerialGPS.h"
#include "tools/devsim/DeviceScript.h"
#include "tools/devsim/PseudoTerminal.h"

#include "tests/support/EventLoopWait.h"

#include <QComboBox>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

namespace {

// A sounder script with what each of its lines should scan to.
struct SounderScript {
    std::string type;
    std::string format; // the operator's, for "OTHER"
    std::vector<std::string> lines;
    std::vector<std::vector<double>> expected;
    DeviceScript script;
};

SounderScript LoadSounderScript(const std::string& path) {
    SounderScript s;
    std::ifstream in(path);
    std::string line;
    std::vector<double> pending;
    while (std::getline(in, line)) {
        if (line.rfind("# type: ", 0) == 0) {
            s.type = line.substr(8);
        } else if (line.rfind("# format: ", 0) == 0) {
            s.format = line.substr(10);
        } else if (line.rfind("# expect:", 0) == 0) {
            pending.clear();
            std::istringstream numbers(line.substr(9));
            double v = 0;
            while (numbers >> v)
                pending.push_back(v);
        } else if (!line.empty() && line[0] != '#') {
            s.lines.push_back(line);
            s.expected.push_back(pending);
        }
    }
    s.script = DeviceScript::load(path);
    return s;
}

void Play(PseudoTerminal& terminal, const DeviceScript& script) {
    PlayPace pace;
    pace.mode = PlayPace::Mode::PerEpoch;
    pace.epochIntervalMs = 1;
    std::thread player([&] { PlayScript(terminal, script, pace); });
    player.join();
}

void Mouse(QPlainTextEdit* memo, QEvent::Type type) {
    QMouseEvent event(type, QPointF(4, 4), QPointF(4, 4), Qt::LeftButton,
                      type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                      Qt::NoModifier);
    QApplication::sendEvent(memo->viewport(), &event);
}

} // namespace

class SounderEndToEnd : public StartedProgram {
protected:
    void mapPort(int number, const PseudoTerminal& terminal) {
        writeSetting(QStringLiteral("SERIAL_PORTS"), QStringLiteral("COM%1").arg(number),
                     QString::fromStdString(terminal.devicePath()));
    }

    // Binds the sounder's lines as the acquisition handler does: scanned with the selected
    // format, echoed to the monitor.
    void bindSounder() {
        FNav->ZSENSOR->OnNewCommand = [this](QObject* sender, const std::string& line) {
            FGPS->AppendMonitorLine(sender, line);
            double v[ScanFormat::MaxNumbers] = {};
            const int n = ScanSounderLine(line, FGPS->eSBESFormat->text().toStdString(), v);
            received.push_back(line);
            scanned.emplace_back(v, v + n);
        };
    }

    std::vector<std::string> received;
    std::vector<std::vector<double>> scanned;
};

TEST_F(SounderEndToEnd, EachSounderTypesLinesScanToTheirNumbersAndShowInTheMonitor) {
    PseudoTerminal terminal;
    mapPort(7, terminal);
    start();
    FGPS->show();
    QApplication::processEvents();
    FillPortPage(false, 7);

    const std::string folder = TEST_DATA_DIR "/sounder";
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.path().extension() != ".txt")
            continue;
        ++files;
        const SounderScript s = LoadSounderScript(entry.path().string());
        SCOPED_TRACE(entry.path().filename().string() + " (" + s.type + ")");
        ASSERT_FALSE(s.lines.empty());

        FGPS->cSBESMessage->setCurrentText(QString::fromStdString(s.type));
        if (!s.format.empty())
            FGPS->eSBESFormat->setText(QString::fromStdString(s.format));
        ASSERT_TRUE(FGPS->SensorSetClick());
        bindSounder();
        FNav->ZSENSOR->Open();
        ASSERT_TRUE(FNav->ZSENSOR->Connected) << FNav->ZSENSOR->LastError;
        FGPS->MemoSensor->clear();
        received.clear();
        scanned.clear();

        Play(terminal, s.script);
        ASSERT_TRUE(WaitUntil([&] { return received.size() >= s.lines.size(); }));
        ASSERT_EQ(received, s.lines);
        for (size_t i = 0; i < s.lines.size(); ++i) {
            ASSERT_EQ(scanned[i].size(), s.expected[i].size()) << s.lines[i];
            for (size_t k = 0; k < scanned[i].size(); ++k)
                EXPECT_DOUBLE_EQ(scanned[i][k], s.expected[i][k]) << s.lines[i];
        }
        QStringList shown = FGPS->MemoSensor->toPlainText().split(QLatin1Char('\n'));
        QStringList sent;
        for (const std::string& line : s.lines)
            sent << QString::fromStdString(line);
        EXPECT_EQ(shown, sent);
        FNav->ZSENSOR->Close();
    }
    EXPECT_EQ(files, 8);
}

TEST_F(SounderEndToEnd, MonitorShowsNothingWhileHeldAndEmptiesAtTheHundredAndFirstLine) {
    PseudoTerminal sounder;
    PseudoTerminal gnss;
    mapPort(7, sounder);
    mapPort(8, gnss);
    start();
    FGPS->show();
    QApplication::processEvents();
    FillPortPage(false, 7);
    ASSERT_TRUE(FGPS->SensorSetClick());
    bindSounder();
    FNav->ZSENSOR->Open();
    ASSERT_TRUE(FNav->ZSENSOR->Connected) << FNav->ZSENSOR->LastError;

    // While a button is held on a memo, lines are not shown, and not shown afterwards either.
    Mouse(FGPS->MemoGPS, QEvent::MouseButtonPress);
    Play(sounder, DeviceScript::demoSounder(3));
    ASSERT_TRUE(WaitUntil([&] { return received.size() >= 3; }));
    Mouse(FGPS->MemoGPS, QEvent::MouseButtonRelease);
    EXPECT_EQ(FGPS->MemoSensor->toPlainText(), QStringLiteral("NMEA SENSOR DATA"));

    // The heading and 99 lines stand; the next one makes 101 and empties the memo.
    Play(sounder, DeviceScript::demoSounder(99));
    ASSERT_TRUE(WaitUntil([&] { return received.size() >= 102; }));
    EXPECT_EQ(FGPS->MemoSensor->blockCount(), 100);
    Play(sounder, DeviceScript::demoSounder(1));
    ASSERT_TRUE(WaitUntil([&] { return received.size() >= 103; }));
    EXPECT_EQ(FGPS->MemoSensor->toPlainText(), QString());
    Play(sounder, DeviceScript::demoSounder(1));
    ASSERT_TRUE(WaitUntil([&] { return received.size() >= 104; }));
    EXPECT_EQ(FGPS->MemoSensor->toPlainText(), QString::fromStdString(received.back()));

    // The receiver's demo fills the other memo.
    FillPortPage(true, 8);
    ASSERT_TRUE(FGPS->GPSSetClick());
    size_t gnssLines = 0;
    FNav->ZGPS1->OnNewCommand = [&](QObject* sender, const std::string& line) {
        FGPS->AppendMonitorLine(sender, line);
        ++gnssLines;
    };
    FNav->ZGPS1->Open();
    ASSERT_TRUE(FNav->ZGPS1->Connected) << FNav->ZGPS1->LastError;
    const DeviceScript demo = DeviceScript::demoGnss(3);
    Play(gnss, demo);
    ASSERT_TRUE(WaitUntil([&] { return gnssLines >= demo.lineCount(); }));
    const QString shown = FGPS->MemoGPS->toPlainText();
    EXPECT_TRUE(shown.startsWith(QStringLiteral("NMEA POSITION DATA\n")));
    EXPECT_EQ(FGPS->MemoGPS->blockCount(), int(demo.lineCount()) + 1);
    EXPECT_TRUE(shown.contains(QStringLiteral("GGA")));
    FNav->ZGPS1->Close();
    FNav->ZSENSOR->Close();
}
