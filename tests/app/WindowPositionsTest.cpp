// Window positions across starts under a real window manager, where each window gets a frame
// only once it is shown: the frame's corner is stored, and the same corner must come back.
#include "RunningProgram.h"
#include "StartedProgram.h"

#include "platform/IniFile.h"

#include <QCoreApplication>
#include <QFrame>
#include <QMenuBar>
#include <QProcess>
#include <QTemporaryDir>
#include <QToolBar>
#include <QToolButton>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>

namespace {

// Runs the program under a window manager on a virtual X server until its first windows are
// framed, then ends it with SIGTERM; with `report`, the framed windows are written there.
void RunUnderAWindowManager(RunningProgram& program, const QString& report = QString()) {
    QProcess desktop;
    QProcessEnvironment environment = program.process().processEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    desktop.setProcessEnvironment(environment);
    // The main window, the set-up window and the navigation settings framed. 96 dpi, as the
    // offscreen platform has, so that both lay the windows out alike.
    // Parallel tests each start an X server: each looks for a free display from a number of
    // its own, so that two never race for the same one.
    const int firstDisplay = 200 + int(QCoreApplication::applicationPid() % 5000) * 3;
    QStringList arguments{QStringLiteral("-a"), QStringLiteral("-n"), QString::number(firstDisplay),
                          QStringLiteral("-s"),
                          QStringLiteral("-screen 0 1400x900x24 -dpi 96"),
                          QStringLiteral(TESTS_DIR "/app/run_under_window_manager.sh"),
                          QStringLiteral("3"), program.programFile()};
    if (!report.isEmpty())
        arguments << report;
    desktop.start(QStringLiteral("xvfb-run"), arguments);
    ASSERT_TRUE(desktop.waitForFinished(120000));
    ASSERT_EQ(desktop.exitCode(), 0) << desktop.readAllStandardError().toStdString();
}

TEST(WindowPositions, AWindowComesBackExactlyWhereItWasLeftUnderAWindowManager) {
    RunningProgram program;
    const struct {
        const char* window;
        int left, top;
    } stored[] = {{"FNav", 40, 30},
                  {"Offsets", 760, 300},
                  {"Navset", 1100, 60},
                  // Never shown in these runs: it keeps its place for the day it is.
                  {"fRealtime", 1000, 450}};
    {
        IniFile ini(QString::fromStdString(program.settingsFile()));
        for (const auto& s : stored) {
            ini.writeInteger(QString::fromLatin1(s.window), QStringLiteral("Left"), s.left);
            ini.writeInteger(QString::fromLatin1(s.window), QStringLiteral("Top"), s.top);
        }
        ini.writeInteger(QStringLiteral("FNav"), QStringLiteral("Width"), 700);
        ini.writeInteger(QStringLiteral("FNav"), QStringLiteral("Height"), 500);
        ASSERT_TRUE(ini.flush());
    }
    // Two starts: each ends by the closing steps, which store the positions anew.
    for (int run = 1; run <= 2; ++run) {
        SCOPED_TRACE(run);
        RunUnderAWindowManager(program);
        const IniFile ini(QString::fromStdString(program.settingsFile()));
        for (const auto& s : stored) {
            EXPECT_EQ(ini.readInteger(QString::fromLatin1(s.window), QStringLiteral("Left"), -1), s.left)
                << s.window;
            EXPECT_EQ(ini.readInteger(QString::fromLatin1(s.window), QStringLiteral("Top"), -1), s.top)
                << s.window;
        }
    }
}

using FirstStartUnderAWindowManager = StartedProgram;

TEST_F(FirstStartUnderAWindowManager, NoWindowTheStartShowsCoversTheMainWindowsControls) {
    RunningProgram program;
    QTemporaryDir dir;
    const QString report = dir.filePath(QStringLiteral("windows.txt"));
    RunUnderAWindowManager(program, report);

    struct Framed {
        QRect client;
        QRect frame;
        std::string title;
    };
    std::vector<Framed> windows;
    std::ifstream lines(report.toStdString());
    for (std::string line; std::getline(lines, line);) {
        std::istringstream fields(line);
        int x, y, width, height, left, right, top, bottom;
        fields >> x >> y >> width >> height >> left >> right >> top >> bottom;
        ASSERT_FALSE(fields.fail()) << line;
        std::string title;
        std::getline(fields >> std::ws, title);
        const QRect client(x, y, width, height);
        windows.push_back({client, client.adjusted(-left, -top, right, bottom), title});
    }
    const auto main = std::find_if(windows.begin(), windows.end(), [](const Framed& w) {
        return w.title.rfind("Tavrin Iskandil Masasi - ", 0) == 0;
    });
    ASSERT_NE(main, windows.end());
    ASSERT_GE(windows.size(), 3u);

    // Where the controls lie in the main window's client area: the same window, offscreen.
    start();
    FNav->resize(main->client.size());
    QApplication::processEvents();
    const auto inClient = [](QWidget* control) {
        return QRect(control->mapTo(FNav, QPoint(0, 0)), control->size());
    };
    const std::pair<const char*, QRect> controls[] = {
        {"menu bar", inClient(FNav->menuBar())},   {"top tool bar", inClient(FNav->tRealtime)},
        {"second tool bar", inClient(FNav->tDraw)}, {"drawing tool bar", inClient(FNav->tShape)},
        {"status bar", inClient(FNav->pRealtime)}};
    for (const Framed& window : windows) {
        if (&window == &*main)
            continue;
        for (const auto& [name, rect] : controls)
            EXPECT_FALSE(window.frame.intersects(rect.translated(main->client.topLeft())))
                << window.title << " covers the " << name;
    }
}

} // namespace
