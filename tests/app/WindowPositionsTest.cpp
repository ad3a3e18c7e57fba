// Window positions across starts under a real window manager, where each window gets a frame
// only once it is shown: the frame's corner is stored, and the same corner must come back.
#include "RunningProgram.h"

#include "platform/IniFile.h"

#include <QProcess>

#include <gtest/gtest.h>

namespace {

TEST(WindowPositions, AWindowComesBackExactlyWhereItWasLeftUnderAWindowManager) {
    RunningProgram program;
    const struct {
        const char* window;
        int left, top;
    } stored[] = {{"FNav", 40, 30}, {"Offsets", 300, 400}, {"Navset", 1100, 60}};
    {
        IniFile ini(QString::fromStdString(program.settingsFile()));
        for (const auto& s : stored) {
            ini.writeInteger(QString::fromLatin1(s.window), QStringLiteral("Left"), s.left);
            ini.writeInteger(QString::fromLatin1(s.window), QStringLiteral("Top"), s.top);
        }
        ini.writeInteger(QStringLiteral("FNav"), QStringLiteral("Width"), 1000);
        ini.writeInteger(QStringLiteral("FNav"), QStringLiteral("Height"), 650);
        ASSERT_TRUE(ini.flush());
    }
    // Two starts: each ends by the closing steps, which store the positions anew.
    for (int run = 1; run <= 2; ++run) {
        SCOPED_TRACE(run);
        QProcess desktop;
        QProcessEnvironment environment = program.process().processEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        desktop.setProcessEnvironment(environment);
        // The main window, the set-up window and the navigation settings framed.
        desktop.start(QStringLiteral("xvfb-run"),
                      {QStringLiteral("-a"), QStringLiteral("-s"),
                       QStringLiteral("-screen 0 1400x900x24"),
                       QStringLiteral(TESTS_DIR "/app/run_under_window_manager.sh"),
                       QStringLiteral("3"), program.programFile()});
        ASSERT_TRUE(desktop.waitForFinished(120000));
        ASSERT_EQ(desktop.exitCode(), 0) << desktop.readAllStandardError().toStdString();
        const IniFile ini(QString::fromStdString(program.settingsFile()));
        for (const auto& s : stored) {
            EXPECT_EQ(ini.readInteger(QString::fromLatin1(s.window), QStringLiteral("Left"), -1), s.left)
                << s.window;
            EXPECT_EQ(ini.readInteger(QString::fromLatin1(s.window), QStringLiteral("Top"), -1), s.top)
                << s.window;
        }
    }
}

} // namespace
