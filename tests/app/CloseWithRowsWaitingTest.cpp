#include "DevicePagesForTests.h"
#include "StartedProgram.h"

#include "app/survey_windows/AcquisitionSession.h"
#include "app/survey_windows/SurveyStateAccess.h"

#include "platform/DataPaths.h"
#include "platform/EventLog.h"
#include "platform/FileIO.h"
#include "tests/support/EventLoopWait.h"
#include "tools/devsim/PseudoTerminal.h"

#include <QAction>
#include <QTemporaryFile>
#include <QToolButton>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

// The program's windows with a run whose rows wait in memory: the survey logs' disk is full
// (through the writer's write call), so every row of it waits.
class CloseWithRowsWaiting : public StartedProgram {
protected:
    PseudoTerminal receiver;

    void SetUp() override {
        StartedProgram::SetUp();
        SurveyAcquisitionState() = AcquisitionState();
    }
    void TearDown() override {
        StartedProgram::TearDown();
        SurveyAcquisitionState() = AcquisitionState();
    }

    // Three soundings' rows in each log, waiting when Stop is pressed.
    void runWithRowsWaiting() {
        StoreSurveySetUp();
        writeSetting(QStringLiteral("SERIAL_PORTS"), QStringLiteral("COM1"),
                     QString::fromStdString(receiver.devicePath()));
        StorePortPage(true, 1);
        writeSetting(QStringLiteral("SENSOR COMUNICATION SETTINGS"),
                     QStringLiteral("Sensor Enabled     "), QStringLiteral("0"));
        start();
        FNav->Realtime->click();
        ASSERT_TRUE(FNav->Acquisition->Running());
        AcquisitionCore& core = FNav->Acquisition->Core();
        core.Writer()->setWriteCall([](int, const char*, size_t) -> ssize_t {
            errno = ENOSPC;
            return -1;
        });
        for (int i = 0; i < 3; ++i) {
            core.Writer()->append(core.SurveyLog(), "survey row " + std::to_string(i) + "\r\n");
            core.Writer()->append(core.XyzLog(), "xyz row " + std::to_string(i) + "\r\n");
        }
        FNav->Realtime->click();
        ASSERT_FALSE(FNav->Acquisition->Running());
        ASSERT_EQ(core.Writer()->pendingRows(core.SurveyLog()), 3u);
    }
    static void freeTheRoom() { FNav->Acquisition->Core().Writer()->setWriteCall({}); }
    static std::string SurveyLog() { return ReadWholeFile(CoordinatesLogPath).value_or(""); }
};

TEST_F(CloseWithRowsWaiting, ClosingAsksAndWaitingPutsTheCloseOffUntilTheRowsAreWritten) {
    ASSERT_NO_FATAL_FAILURE(runWithRowsWaiting());
    ScriptedDialogs& dialogs = TestEnvironment::dialogs();
    dialogs.answer(DialogAnswer::Yes);
    FNav->Exit1->trigger();
    QApplication::processEvents();
    ASSERT_EQ(dialogs.questions.size(), 1);
    const std::string question = dialogs.questions[0].toStdString();
    EXPECT_EQ(question.rfind("6 survey rows wait in memory for room on the disk", 0), 0u)
        << question;
    EXPECT_NE(question.find(CoordinatesLogPath + ": 3 rows"), std::string::npos) << question;
    EXPECT_TRUE(FNav->isVisible()) << "the close waits for the room";
    EXPECT_EQ(SurveyLog().find("survey row"), std::string::npos);

    freeTheRoom();
    ASSERT_TRUE(WaitUntil([] { return !FNav->isVisible(); }, 10000))
        << "closed once every row is written";
    EXPECT_EQ(SurveyLog().substr(SurveyLog().find("survey row")),
              "survey row 0\r\nsurvey row 1\r\nsurvey row 2\r\n");
    EXPECT_EQ(dialogs.questions.size(), 1) << "asked once";
}

TEST_F(CloseWithRowsWaiting, ClosingTheWindowAndLosingTheRowsClosesAtOnceAndLogsTheLoss) {
    ASSERT_NO_FATAL_FAILURE(runWithRowsWaiting());
    ScriptedDialogs& dialogs = TestEnvironment::dialogs();
    dialogs.answer(DialogAnswer::No);
    EXPECT_TRUE(FNav->close());
    EXPECT_EQ(dialogs.questions.size(), 1);
    EXPECT_FALSE(FNav->isVisible());
    DestroyApplicationWindows();
    const std::string events = ReadWholeFile(EventsLogPath()).value_or("");
    EXPECT_NE(events.find("Not written for want of room when the program ended, and lost: "
                          "Survey log " +
                          CoordinatesLogPath + ": 3 rows"),
              std::string::npos)
        << events;
}

// Standard error written to a file while the scope lives.
class CapturedStandardError {
public:
    CapturedStandardError() {
        file_.open();
        std::fflush(stderr);
        saved_ = ::dup(2);
        ::dup2(file_.handle(), 2);
    }
    ~CapturedStandardError() { restore(); }
    std::string text() {
        restore();
        return ReadWholeFile(file_.fileName().toStdString()).value_or("");
    }

private:
    void restore() {
        if (saved_ < 0)
            return;
        std::fflush(stderr);
        ::dup2(saved_, 2);
        ::close(saved_);
        saved_ = -1;
    }
    QTemporaryFile file_;
    int saved_ = -1;
};

TEST_F(CloseWithRowsWaiting, AnEndBySignalCannotWaitAndSaysOnStandardErrorWhatIsLost) {
    ASSERT_NO_FATAL_FAILURE(runWithRowsWaiting());
    CapturedStandardError standardError;
    WatchEndRequests();
    const bool ended = LoopEndsByItself([] { ::raise(SIGTERM); });
    StopWatchingEndRequests();
    ASSERT_TRUE(ended) << "the signal ended the program";
    DestroyApplicationWindows();
    const std::string text = standardError.text();
    EXPECT_TRUE(TestEnvironment::dialogs().questions.isEmpty()) << "nobody to ask";
    EXPECT_NE(text.find("Survey log " + CoordinatesLogPath + ": 3 rows"), std::string::npos)
        << text;
    EXPECT_NE(text.find("Simple XYZ log " + XyzFolder + TodayText + " Simple XYZ.csv: 3 rows"),
              std::string::npos)
        << text;
    const std::string events = ReadWholeFile(EventsLogPath()).value_or("");
    EXPECT_NE(events.find("Survey log " + CoordinatesLogPath + ": 3 rows"), std::string::npos)
        << "and in the events log, which can be written";
}

} // namespace
