#pragma once

#include "StartedProgram.h"

#include "app/main_window/TFNav.h"
#include "app/survey_windows/TOffsets.h"

#include "tests/support/EventLoopWait.h"

#include <QCoreApplication>
#include <QFrame>
#include <QMenuBar>
#include <QProcess>
#include <QScreen>
#include <QToolBar>
#include <QWindow>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

// Tests whose point is where windows open and which one is in front: offscreen there is no
// window manager and no stacking, so such a test would pass whatever the program does. Each
// runs once more in a process of its own, on a virtual X server of 1920 x 1080 under openbox;
// the test's body runs there, with the program's windows made as at a start.
class UnderAWindowManager : public StartedProgram {
protected:
    // True inside that process: the test goes on there. Outside, runs the test there, fails when
    // it fails there, and is false.
    static bool insideAWindowManager() {
        if (qEnvironmentVariableIsSet("TAVRIN_INSIDE_WINDOW_MANAGER"))
            return true;
        const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
        QProcess desktop;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        environment.insert(QStringLiteral("TAVRIN_INSIDE_WINDOW_MANAGER"), QStringLiteral("1"));
        desktop.setProcessEnvironment(environment);
        desktop.setProcessChannelMode(QProcess::MergedChannels);
        // A display number of its own to start the search from: other tests start X servers too.
        const int firstDisplay = 200 + int(QCoreApplication::applicationPid() % 5000) * 3;
        desktop.start(
            QStringLiteral("xvfb-run"),
            {QStringLiteral("-a"), QStringLiteral("-n"), QString::number(firstDisplay),
             QStringLiteral("-s"), QStringLiteral("-screen 0 1920x1080x24 -dpi 96"),
             QStringLiteral(TESTS_DIR "/app/run_under_window_manager.sh"),
             QStringLiteral("--until-done"), QCoreApplication::applicationFilePath(),
             QStringLiteral("--gtest_filter=%1.%2")
                 .arg(QLatin1String(test->test_suite_name()), QLatin1String(test->name()))});
        EXPECT_TRUE(desktop.waitForFinished(180000));
        const QByteArray output = desktop.readAll();
        EXPECT_EQ(desktop.exitCode(), 0) << output.toStdString();
        // A filter that matched nothing would pass without having tested anything.
        EXPECT_TRUE(output.contains("[  PASSED  ] 1 test.")) << output.toStdString();
        return false;
    }

    // The program started, with the main window framed by the window manager.
    static void startFramed() {
        start();
        ASSERT_TRUE(framed(FNav));
    }

    // The program started and the set-up window, which stays on top of the program's other
    // windows, framed: the start shows it.
    static void startWithTheSetUpWindow() {
        ASSERT_NO_FATAL_FAILURE(startFramed());
        ASSERT_TRUE(framed(Offsets));
    }

    // The window is shown and framed, and it has kept still for a while: the window manager
    // and the program may each move it once more after the frame is known.
    static bool framed(QWidget* window) {
        return WaitUntil([window] {
                   return window->isVisible() && window->frameGeometry() != window->geometry();
               }) &&
               keptStill(window, 4);
    }

    // The window's frame has not moved for `looks` looks, 50 ms apart.
    static bool keptStill(QWidget* window, int looks) {
        QRect last = window->frameGeometry();
        int still = 0;
        return WaitUntil([&] {
            RunEventsFor(50);
            const QRect now = window->frameGeometry();
            still = now == last ? still + 1 : 0;
            last = now;
            return still >= looks;
        });
    }

    // The windows' object names, for a failure's message.
    static std::string names(const std::vector<QWidget*>& windows) {
        std::string text;
        for (const QWidget* window : windows)
            text += window->objectName().toStdString() + " ";
        return text;
    }

    // The program's top-level windows the window manager manages, bottom to top.
    static std::vector<QWidget*> stackingOrder() {
        QProcess xprop;
        xprop.start(QStringLiteral("xprop"),
                    {QStringLiteral("-root"), QStringLiteral("_NET_CLIENT_LIST_STACKING")});
        xprop.waitForFinished(10000);
        const QString text = QString::fromLatin1(xprop.readAllStandardOutput());
        std::vector<QWidget*> order;
        for (const QString& field : text.mid(text.indexOf('#') + 1).split(',')) {
            bool ok = false;
            const WId id = field.trimmed().toULongLong(&ok, 16);
            // The native window's own id: a window whose stay-on-top flag changed gets a new X
            // window at its next showing, which the widget's cached id does not follow.
            for (QWidget* window : QApplication::topLevelWidgets())
                if (ok && window->isVisible() && window->windowHandle() &&
                    window->windowHandle()->winId() == id)
                    order.push_back(window);
        }
        return order;
    }

    // The window is in front of every other shown window of the program.
    static bool inFront(QWidget* window) {
        const std::vector<QWidget*> order = stackingOrder();
        return !order.empty() && order.back() == window;
    }

    // The main window's title bar, menu, tool bars and status bar, on the screen.
    static std::vector<std::pair<const char*, QRect>> mainWindowControls() {
        const auto onScreen = [](QWidget* widget) {
            return QRect(widget->mapToGlobal(QPoint(0, 0)), widget->size());
        };
        const QRect frame = FNav->frameGeometry();
        return {{"title bar",
                 QRect(frame.topLeft(), QPoint(frame.right(), FNav->geometry().top() - 1))},
                {"menu bar", onScreen(FNav->menuBar())},
                {"top tool bar", onScreen(FNav->tRealtime)},
                {"second tool bar", onScreen(FNav->tDraw)},
                {"drawing tool bar", onScreen(FNav->tShape)},
                {"status bar", onScreen(FNav->pRealtime)}};
    }

    // The window's title bar lies on the screen.
    static bool titleBarOnScreen(QWidget* window) {
        const QRect frame = window->frameGeometry();
        const QRect title(frame.topLeft(), QPoint(frame.right(), window->geometry().top() - 1));
        return window->screen()->geometry().contains(title);
    }
};
