#include "RunningProgram.h"
#include "StartedProgram.h"

#include "app/translation/TfTranslationEditor.h"

#include "platform/DataPaths.h"
#include "platform/EventLog.h"
#include "platform/IniFile.h"

#include "tests/support/EventLoopWait.h"

#include <QAction>
#include <QDir>
#include <QDirIterator>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

namespace fs = std::filesystem;

std::string FileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

size_t Occurrences(const std::string& text, const std::string& part) {
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

using ProgramEnd = StartedProgram;

TEST_F(ProgramEnd, NoWindowKeepsTheProgramAliveAfterTheMainWindowCloses) {
    // Without the editor first: the loop this test runs ends with the main window at all.
    for (const bool withEditor : {false, true}) {
        start();
        if (withEditor) {
            FNav->TranslationEditor1->trigger();
            ASSERT_TRUE(fTranslationEditor && fTranslationEditor->isVisible());
        }
        int code = -1;
        EXPECT_TRUE(LoopEndsByItself([] { FNav->close(); }, &code))
            << (withEditor ? "with" : "without") << " the translation editor open";
        EXPECT_EQ(code, 0);
        DestroyApplicationWindows();
        QApplication::processEvents();
    }
}

TEST_F(ProgramEnd, AnEndRequestRunsTheClosingStepsOnceAndEndsTheLoop) {
    const size_t savesBefore = Occurrences(FileText(EventsLogPath()), "Auto-saved: ");
    start();
    // Another window open, as on a survey day: it must not hold the end back.
    FNav->TranslationEditor1->trigger();
    int code = -1;
    // A second request while the first is handled, as when SIGTERM follows SIGHUP.
    EXPECT_TRUE(LoopEndsByItself(
        [] {
            EndProgramOrderly();
            EndProgramOrderly();
        },
        &code));
    EXPECT_EQ(code, 0);
    EXPECT_FALSE(FNav->isVisible());
    EXPECT_EQ(Occurrences(FileText(EventsLogPath()), "Auto-saved: "), savesBefore + 1);
    const IniFile ini(TestEnvironment::settingsFile());
    EXPECT_FALSE(ini.readString(QStringLiteral("CANVAS"), QStringLiteral("PlanWorldLeft")).isEmpty());
    EXPECT_FALSE(ini.readString(QStringLiteral("FNav"), QStringLiteral("Top")).isEmpty());
}

TEST_F(ProgramEnd, AnEndRequestMadeBeforeTheEventLoopRunsEndsItOnceItRuns) {
    start();
    // As a signal handled while the windows are made, before the loop runs.
    EndProgramOrderly();
    EXPECT_TRUE(FNav->isVisible());
    int code = -1;
    EXPECT_TRUE(LoopEndsByItself([] {}, &code));
    EXPECT_EQ(code, 0);
    EXPECT_FALSE(FNav->isVisible());
}

TEST(ProgramEndBySignal, EachEndSignalRunsTheClosingStepsOfTheRealProgram) {
    for (const int signalNumber : {SIGTERM, SIGHUP, SIGINT}) {
        SCOPED_TRACE(strsignal(signalNumber));
        RunningProgram program;
        ASSERT_TRUE(program.waitForMainWindow()) << program.process().readAllStandardError().toStdString();
        ASSERT_EQ(::kill(pid_t(program.process().processId()), signalNumber), 0);
        ASSERT_TRUE(program.process().waitForFinished(30000));
        EXPECT_EQ(program.process().exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(program.process().exitCode(), 0);

        // The auto-save of the map, remembered for the next start.
        const auto saved = RunningProgram::findUnder(
            program.home() + "/WJT", [](const fs::path& path) { return path.extension() == ".wjt"; });
        ASSERT_EQ(saved.size(), 1u);
        const IniFile ini(QString::fromStdString(program.settingsFile()));
        EXPECT_EQ(ini.readString(QStringLiteral("FILE"), QStringLiteral("Last File Saved")).toStdString(),
                  saved[0].string());
        // The map view and the window positions.
        for (const char* key : {"PlanWorldLeft", "PlanWorldRight", "PlanWorldTop", "PlanWorldBottom"})
            EXPECT_FALSE(ini.readString(QStringLiteral("CANVAS"), QString::fromLatin1(key)).isEmpty()) << key;
        for (const char* window : {"FNav", "Offsets"})
            for (const char* key : {"Left", "Top", "Width", "Height"})
                EXPECT_FALSE(ini.readString(QString::fromLatin1(window), QString::fromLatin1(key)).isEmpty())
                    << window << " " << key;
    }
}

} // namespace
