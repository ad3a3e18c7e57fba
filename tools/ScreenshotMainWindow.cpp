// Starts the program the way its entry does, lets the windows settle, and saves two pictures
// into the given folder: "screen.png", the whole screen with every window the start shows
// (without a window manager they pile up at their stored positions), and "main-window.png",
// the main window alone. Meant for a virtual X server (tools/screenshot.sh): the settings file
// and the data root are whatever the caller set up (the script uses a fresh temporary HOME).
//
// Usage: tavrin_screenshot <output folder> [settings file]

#include "app/main_window/TFNav.h"
#include "app/program/ProgramStart.h"
#include "tools/ScreenshotCommands.h"
#include "tools/ScreenshotDarkTheme.h"
#include "tools/ScreenshotDeviceWindows.h"
#include "tools/ScreenshotMapTools.h"
#include "tools/ScreenshotNtripWindow.h"
#include "tools/ScreenshotOperatorWindows.h"
#include "tools/ScreenshotSettingsWindows.h"
#include "tools/ScreenshotSurveyWindows.h"
#include "tools/ScreenshotTranslation.h"

#include "platform/AppPaths.h"
#include "platform/DataPaths.h"
#include "platform/NumericLocale.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPixmap>
#include <QScreen>
#include <QThread>

#include <cstdio>
#include <cstdlib>

int main(int argc, char* argv[]) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <output folder> [settings file]\n", argv[0]);
        return 2;
    }
    const QString output = QString::fromLocal8Bit(argv[1]);
    if (argc > 2)
        AppPaths::setSettingsFile(QString::fromLocal8Bit(argv[2]));
    // The program's own folder is the fresh HOME the script made (the language files are
    // there), so that nothing the windows keep beside themselves lands in the build tree.
    if (const char* home = std::getenv("HOME"))
        AppPaths::setApplicationFolder(home);

    BuildDataPaths();
    const EntrySettings settings = ReadEntrySettings();
    QApplication application(argc, argv);
    ResetNumericLocale();
    const int result = RunProgramEntry([&] {
        ApplyStartStyle(settings.ThemeStyle);
        QApplication::setApplicationName(QStringLiteral("Tavrin SD"));
        CreateApplicationWindows();
        FNav->show();
        // Let the window manager-less server map and paint every window.
        QElapsedTimer settle;
        settle.start();
        while (settle.elapsed() < 1500) {
            QApplication::processEvents(QEventLoop::AllEvents, 50);
            QThread::msleep(20);
        }
        QScreen* screen = QGuiApplication::primaryScreen();
        if (!screen)
            return 3;
        const QString screenFile = output + QStringLiteral("/screen.png");
        const QString windowFile = output + QStringLiteral("/main-window.png");
        const QPixmap picture = screen->grabWindow(0);
        if (picture.isNull() || !picture.save(screenFile, "PNG"))
            return 4;
        const QPixmap window = FNav->grab();
        if (window.isNull() || !window.save(windowFile, "PNG"))
            return 4;
        std::printf("%s\n%s\n", screenFile.toLocal8Bit().constData(),
                    windowFile.toLocal8Bit().constData());
        // The first start, before any other picture moves a window.
        if (!SaveFirstStartPicture(output))
            return 4;
        const QStringList operatorPictures = SaveOperatorPictures(output);
        if (operatorPictures.isEmpty())
            return 4;
        if (!SaveNtripScreenshots(output) || !SaveTranslationScreenshots(output))
            return 4;
        const QStringList mapToolPictures = SaveMapToolPictures(output);
        if (mapToolPictures.isEmpty())
            return 4;
        for (const QString& file : mapToolPictures)
            std::printf("%s\n", file.toLocal8Bit().constData());
        const QStringList settingsPictures = SaveSettingsWindowPictures(output);
        if (settingsPictures.isEmpty())
            return 4;
        for (const QString& file : settingsPictures)
            std::printf("%s\n", file.toLocal8Bit().constData());
        if (!SaveSurveyWindowScreenshots(output))
            return 4;
        QStringList deviceFiles;
        const bool deviceSaved = SaveDeviceWindowScreenshots(output, deviceFiles);
        for (const QString& file : deviceFiles)
            std::printf("%s\n", file.toLocal8Bit().constData());
        if (!deviceSaved)
            return 4;
        const QStringList commandPictures = SaveCommandPictures(output);
        if (commandPictures.isEmpty())
            return 4;
        for (const QString& file : commandPictures)
            std::printf("%s\n", file.toLocal8Bit().constData());
        const QStringList darkPictures = SaveDarkThemePictures(output);
        if (darkPictures.isEmpty())
            return 4;
        for (const QString& file : darkPictures)
            std::printf("%s\n", file.toLocal8Bit().constData());
        return 0;
    });
    DestroyApplicationWindows();
    return result;
}
