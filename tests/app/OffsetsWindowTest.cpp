#include "DevicePagesForTests.h"
#include "StartedProgram.h"

#include "app/survey_windows/TOffsets.h"

#include "platform/AppPaths.h"
#include "platform/DataPaths.h"
#include "platform/FileIO.h"
#include "platform/ManualClock.h"

#include "tests/support/ZoneScope.h"

#include "app/survey_windows/SurveyStateAccess.h"

#include <QAction>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>
#include <QToolButton>

#include <filesystem>

namespace {

std::string OffsetsLogPath() {
    return LogFolder + TodayString() + " Offsets.log";
}

std::string SettingsBytes() {
    return ReadWholeFile(AppPaths::settingsFile().toStdString()).value_or(std::string());
}

// The stored set-up: what a rejected action must leave alone. (Its first step saves the
// project, which records the file's name in [FILE].)
QStringList StoredSetup() {
    const IniFile ini(AppPaths::settingsFile());
    QStringList values;
    for (const QString& key : ini.readSection(QStringLiteral("ECHOSOUNDER_OFFSETS")))
        values << key + QLatin1Char('=') + ini.readString(QStringLiteral("ECHOSOUNDER_OFFSETS"), key);
    return values;
}

class OffsetsWindow : public StartedProgram {
protected:
    void SetUp() override {
        StartedProgram::SetUp();
        std::filesystem::remove_all(OffsetsLogPath());
        SurveyAcquisitionState() = AcquisitionState();
        // The action ends in Start, which applies the device settings' geodetic and GNSS pages:
        // a receiver on COM1 that is not plugged in, and no sounder.
        StoreGeodeticParameters();
        writeSetting(QStringLiteral("SERIAL_PORTS"), QStringLiteral("COM1"),
                     TestEnvironment::home() + QStringLiteral("/no-receiver"));
        StorePortPage(true, 1);
        writeSetting(QStringLiteral("SENSOR COMUNICATION SETTINGS"),
                     QStringLiteral("Sensor Enabled     "), QStringLiteral("0"));
    }
    void TearDown() override {
        StartedProgram::TearDown();
        std::filesystem::remove_all(OffsetsLogPath());
        SurveyAcquisitionState() = AcquisitionState();
    }

    static void storeSetup(const char* a, const char* b, const char* c, const char* sv,
                           const char* tide) {
        const QString section = QStringLiteral("ECHOSOUNDER_OFFSETS");
        writeSetting(section, QStringLiteral("Offset A     "), QString::fromUtf8(a));
        writeSetting(section, QStringLiteral("Offset B     "), QString::fromUtf8(b));
        writeSetting(section, QStringLiteral("Offset C     "), QString::fromUtf8(c));
        writeSetting(section, QStringLiteral("SV           "), QString::fromUtf8(sv));
        writeSetting(section, QStringLiteral("Tide Height  "), QString::fromUtf8(tide));
    }
};

} // namespace

TEST_F(OffsetsWindow, AcceptedActionLogsStoresStartsAndHides) {
    start();
    ASSERT_TRUE(Offsets->isVisible()); // the main window shows it when first shown
    int startClicks = 0;
    QObject::connect(FNav->Realtime, &QToolButton::clicked, [&startClicks] { ++startClicks; });
    fillTheSetUpWindowValidly();
    Offsets->time->setText(QStringLiteral("2026-12-10 101500000"));

    Offsets->BitBtn1->click();

    EXPECT_TRUE(TestEnvironment::dialogs().messages.empty());
    EXPECT_FALSE(Offsets->isVisible());
    EXPECT_EQ(startClicks, 1);
    const auto log = ReadWholeFile(OffsetsLogPath());
    ASSERT_TRUE(log);
    EXPECT_EQ(log->rfind("\r\n\r\nTavrin Sounding Desk - offsets essential for post processing\r\n"
                         "Time..............................\t=2026-12-10 101500000\r\n",
                         0),
              0u);
    EXPECT_NE(log->find("Survey Location...................\t=Haliç\r\n"), std::string::npos);
    const std::string settings = SettingsBytes();
    for (const char* line :
         {"Offset A     =1.0", "Offset B     =2.0", "Offset C     =1.02", "SV           =1480",
          "Tide Height  =0.35", "Time         =2026-12-10 101500000", "Surveyor     =Deniz",
          "SurveyBoat   =Martı", "SurveyLocation=Haliç"})
        EXPECT_NE(settings.find(line), std::string::npos) << line;
    ASSERT_TRUE(Offsets->AcceptedSetup());
    EXPECT_DOUBLE_EQ(Offsets->AcceptedSetup()->offsetC, 1.02);
    EXPECT_DOUBLE_EQ(Offsets->AcceptedSetup()->soundVelocity, 1480);

    // Twice in a row: two blocks, one empty line apart.
    Offsets->show();
    fillTheSetUpWindowValidly();
    Offsets->BitBtn1->click();
    EXPECT_EQ(ReadWholeFile(OffsetsLogPath())->size(), 2 * log->size());
}

TEST_F(OffsetsWindow, RunningSurveyIsLeftRunningWhateverTheButtonShows) {
    start();
    int clicks = 0;
    QObject::connect(FNav->Realtime, &QToolButton::clicked, [&clicks] { ++clicks; });
    SurveyAcquisitionState().AcquisitionRunning = true;
    FNav->Realtime->setChecked(false); // the GNSS port dropped and released it
    fillTheSetUpWindowValidly();
    Offsets->BitBtn1->click();
    EXPECT_EQ(clicks, 0);
    EXPECT_FALSE(Offsets->isVisible());
    EXPECT_TRUE(ReadWholeFile(OffsetsLogPath()));
}

TEST_F(OffsetsWindow, RejectedActionTouchesNothingAndFocusesTheField) {
    start();
    int clicks = 0;
    QObject::connect(FNav->Realtime, &QToolButton::clicked, [&clicks] { ++clicks; });
    fillTheSetUpWindowValidly();
    Offsets->OffsetC->setText(QStringLiteral("1.5"));
    const QStringList settingsBefore = StoredSetup();

    Offsets->BitBtn1->click();

    auto& dialogs = TestEnvironment::dialogs();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text,
              QStringLiteral("Measurements contains error: A + C must be close enough to B."));
    EXPECT_TRUE(Offsets->isVisible());
    EXPECT_EQ(Offsets->focusWidget(), Offsets->OffsetA);
    EXPECT_EQ(clicks, 0);
    EXPECT_FALSE(std::filesystem::exists(OffsetsLogPath()));
    EXPECT_EQ(StoredSetup(), settingsBefore);
    EXPECT_FALSE(Offsets->AcceptedSetup());
}

TEST_F(OffsetsWindow, TideWithAUnitIsRefusedBeforeItReachesAnything) {
    writeSetting(QStringLiteral("SETTINGS"), QStringLiteral("Language"), QStringLiteral("tr"));
    start();
    fillTheSetUpWindowValidly();
    Offsets->TideHt->setText(QStringLiteral("0.35 m"));
    const QStringList settingsBefore = StoredSetup();
    Offsets->BitBtn1->click();
    auto& dialogs = TestEnvironment::dialogs();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text,
              QStringLiteral("'0.35 m' is not a valid floating point value"));
    EXPECT_FALSE(std::filesystem::exists(OffsetsLogPath()));
    EXPECT_EQ(StoredSetup(), settingsBefore);
    EXPECT_FALSE(Offsets->AcceptedSetup());

    // In Turkish the checks speak Turkish.
    dialogs.clear();
    Offsets->TideHt->setText(QStringLiteral("0.35"));
    Offsets->Surveyor->clear();
    Offsets->BitBtn1->click();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, QStringLiteral("Başarısız! Öçen kişinin adı boş olamaz"));
}

TEST_F(OffsetsWindow, OffsetsLogThatCannotBeWrittenIsReportedAndTheSurveyGoesOn) {
    start();
    int clicks = 0;
    QObject::connect(FNav->Realtime, &QToolButton::clicked, [&clicks] { ++clicks; });
    // A folder where the log should be: no write can reach it, even for root.
    std::filesystem::create_directories(OffsetsLogPath());
    fillTheSetUpWindowValidly();
    Offsets->BitBtn1->click();
    auto& dialogs = TestEnvironment::dialogs();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_TRUE(
        dialogs.messages[0].text.startsWith(QStringLiteral("The offsets log %1 cannot be written: ")
                                                .arg(QString::fromStdString(OffsetsLogPath()))))
        << dialogs.messages[0].text.toStdString();
    EXPECT_TRUE(std::filesystem::is_directory(OffsetsLogPath()));
    EXPECT_NE(SettingsBytes().find("SV           =1480"), std::string::npos);
    EXPECT_EQ(clicks, 1);
    EXPECT_FALSE(Offsets->isVisible());
}

TEST_F(OffsetsWindow, AcceptedSetupComesOnlyFromSaneStoredValues) {
    const struct {
        const char* a;
        const char* b;
        const char* c;
        const char* sv;
        const char* tide;
        bool accepted;
    } cases[] = {
        {"0.8", "2.3", "1.5", "1500", "0.2", true},  {"0.8", "2.3", "1.5", "1500", "0.2 m", false},
        {"0.8", "2.3", "1.6", "1500", "0.2", false}, {"0.8", "2.3", "1.5", "1800", "0.2", false},
        {"", "2.3", "1.5", "1500", "0.2", false},    {"nan", "2.3", "1.5", "1500", "0.2", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.a) + "/" + c.c + "/" + c.sv + "/" + c.tide);
        QFile::remove(TestEnvironment::settingsFile());
        storeSetup(c.a, c.b, c.c, c.sv, c.tide);
        TOffsets window;
        ASSERT_EQ(bool(window.AcceptedSetup()), c.accepted);
        if (c.accepted) {
            EXPECT_DOUBLE_EQ(window.AcceptedSetup()->offsetA, 0.8);
            EXPECT_DOUBLE_EQ(window.AcceptedSetup()->tideHeight, 0.2);
        }
    }
}

TEST_F(OffsetsWindow, CancelAndShowBringBackTheStoredValues) {
    storeSetup("0.8", "2.3", "1.5", "1500", "0.2");
    writeSetting(QStringLiteral("ECHOSOUNDER_OFFSETS"), QStringLiteral("SurveyLocation"),
                 QStringLiteral("Bay"));
    start();
    EXPECT_EQ(Offsets->OffsetA->text(), QStringLiteral("0.8"));
    EXPECT_EQ(Offsets->Location->text(), QStringLiteral("Bay"));
    EXPECT_EQ(Offsets->Surveyor->text(), QString());
    Offsets->OffsetA->setText(QStringLiteral("9"));
    Offsets->BitBtn3->click();
    EXPECT_FALSE(Offsets->isVisible());
    EXPECT_EQ(Offsets->OffsetA->text(), QStringLiteral("9")); // kept while hidden
    EXPECT_NE(SettingsBytes().find("[Offsets]"), std::string::npos);
    Offsets->show();
    EXPECT_EQ(Offsets->OffsetA->text(), QStringLiteral("0.8"));
    EXPECT_DOUBLE_EQ(Offsets->AcceptedSetup()->offsetA, 0.8);
}

TEST_F(OffsetsWindow, LeavingANumericFieldChecksItOnce) {
    start();
    // The offscreen platform activates no window, so the field is left by its focus event.
    const auto leave = [](QLineEdit* field, Qt::FocusReason reason) {
        Offsets->Location->setFocus();
        QFocusEvent out(QEvent::FocusOut, reason);
        QApplication::sendEvent(field, &out);
    };
    Offsets->OffsetB->setText(QStringLiteral("2,5"));
    leave(Offsets->OffsetB, Qt::TabFocusReason);
    auto& dialogs = TestEnvironment::dialogs();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text,
              QStringLiteral("'2,5' is not a valid floating point value"));
    EXPECT_EQ(Offsets->focusWidget(), Offsets->OffsetB);
    // Switching to another window is not leaving the field.
    dialogs.clear();
    leave(Offsets->OffsetB, Qt::ActiveWindowFocusReason);
    EXPECT_TRUE(dialogs.messages.empty());
    Offsets->OffsetB->setText(QStringLiteral("2.5"));
    leave(Offsets->OffsetB, Qt::MouseFocusReason);
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(OffsetsWindow, ClockLabelShowsDateAndTime) {
    start();
    EXPECT_EQ(Offsets->time->text(), QStringLiteral("Time"));
    EXPECT_TRUE(Offsets->Timer1->isActive());
    EXPECT_EQ(Offsets->Timer1->interval(), 1000);
    Offsets->Timer1Timer();
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d{4}-\\d{2}-\\d{2}( \\d{9})?$"))
                    .match(Offsets->time->text())
                    .hasMatch())
        << Offsets->time->text().toStdString();
}

TEST_F(OffsetsWindow, ClockLabelShowsUtcWhateverTheComputersZone) {
    start();
    ZoneScope istanbul("Europe/Istanbul");
    ManualClock clock(LocalDateTime{2026, 12, 11, 1, 30, 5, 42});
    Clock::install(&clock);
    Offsets->Timer1Timer();
    Clock::install(nullptr);
    // 01:30 in Istanbul (UTC+3) is 22:30 of the day before in UTC.
    EXPECT_EQ(Offsets->time->text(), QStringLiteral("2026-12-10 223005042"));
}

TEST_F(OffsetsWindow, ClockTextWithAColonIsWarnedAboutAndTheActionGoesOn) {
    start();
    fillTheSetUpWindowValidly();
    Offsets->time->setText(QStringLiteral("10.12.2026 10:15:00"));
    Offsets->BitBtn1->click();
    auto& dialogs = TestEnvironment::dialogs();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text,
              QStringLiteral("Time format does not fit requirements. The date and time fromat "
                             "must be YYYY-DD-MM HHmmssfff"));
    EXPECT_FALSE(Offsets->isVisible());
    EXPECT_NE(ReadWholeFile(OffsetsLogPath()).value_or("").find("\t=10.12.2026 10:15:00\r\n"),
              std::string::npos);
}
