#include "StartedProgram.h"

#include "app/devices/TfJoystick.h"
#include "app/program/WindowPlacement.h"
#include "app/settings_windows/TNavset.h"
#include "app/survey_windows/TOffsets.h"
#include "app/survey_windows/TfRealtime.h"
#include "app/survey_windows/TfWaterfal.h"

#include <QFrame>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>

namespace {

TEST(WindowPlacement, AWindowGoesBesideOrBelowTheMainWindowElseIntoTheFreeMapArea) {
    const QRect screen(0, 0, 1920, 1080);
    const QSize window(500, 400);
    struct Case {
        const char* what;
        QRect mainFrame;
        QRect mapArea;
        std::vector<QRect> taken;
        QPoint expected;
    };
    const Case cases[] = {
        {"room on the right", QRect(0, 0, 1000, 700), QRect(40, 90, 950, 560), {}, QPoint(1004, 0)},
        {"room below only", QRect(0, 0, 1600, 600), QRect(40, 90, 1550, 460), {}, QPoint(0, 604)},
        {"the right taken", QRect(0, 0, 1000, 600), QRect(40, 90, 950, 460),
         {QRect(1010, 10, 100, 100)}, QPoint(0, 604)},
        {"a full screen: the map's corner", QRect(0, 0, 1920, 1080), QRect(40, 90, 1870, 940), {},
         QPoint(40, 90)},
        {"the corner taken: next in the row", QRect(0, 0, 1920, 1080), QRect(40, 90, 1870, 940),
         {QRect(40, 90, 100, 100)}, QPoint(544, 90)},
        {"nothing free: the map's corner", QRect(0, 0, 1920, 1080), QRect(40, 90, 600, 300), {},
         QPoint(40, 90)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PlaceClearOfControls(window, c.mainFrame, c.mapArea, screen, c.taken), c.expected)
            << c.what;
}

class FirstStart : public StartedProgram {
protected:
    // The main window's controls, in screen coordinates.
    static std::vector<std::pair<const char*, QRect>> controls() {
        const auto onScreen = [](QWidget* widget) {
            return QRect(widget->mapToGlobal(QPoint(0, 0)), widget->size());
        };
        return {{"menu bar", onScreen(FNav->menuBar())},
                {"top tool bar", onScreen(FNav->tRealtime)},
                {"second tool bar", onScreen(FNav->tDraw)},
                {"drawing tool bar", onScreen(FNav->tShape)},
                {"Start/Stop", onScreen(FNav->Realtime)},
                {"status bar", onScreen(FNav->pRealtime)}};
    }

    static void expectClearOfControls(QWidget* window) {
        ASSERT_TRUE(window->isVisible()) << window->objectName().toStdString();
        for (const auto& [name, rect] : controls())
            EXPECT_FALSE(window->frameGeometry().intersects(rect))
                << window->objectName().toStdString() << " covers the " << name;
    }
};

TEST_F(FirstStart, WindowsWithoutAStoredPositionCoverNoControlOfTheMainWindow) {
    start();
    // Shown by the start: the set-up window, and the navigation settings and battery windows
    // that are visible from their creation on.
    for (QWidget* window : std::initializer_list<QWidget*>{Offsets, Navset, fJoystick})
        expectClearOfControls(window);
    for (QWidget* window : std::initializer_list<QWidget*>{fWaterfal, fRealtime}) {
        window->show();
        QApplication::processEvents();
        expectClearOfControls(window);
    }
}

TEST_F(FirstStart, AStoredPositionClearOfTheControlsStaysAndOneOverThemCountsAsNone) {
    start();
    const QPoint inTheMap = FNav->Panel4->mapToGlobal(QPoint(20, 20));
    writeSetting(QStringLiteral("fRealtime"), QStringLiteral("Left"),
                 QString::number(inTheMap.x()));
    writeSetting(QStringLiteral("fRealtime"), QStringLiteral("Top"), QString::number(inTheMap.y()));
    // Over the tool bars, and at the corner of the main window's title bar.
    writeSetting(QStringLiteral("Navset"), QStringLiteral("Left"), QStringLiteral("3"));
    writeSetting(QStringLiteral("Navset"), QStringLiteral("Top"), QStringLiteral("5"));
    writeSetting(QStringLiteral("Offsets"), QStringLiteral("Left"), QStringLiteral("0"));
    writeSetting(QStringLiteral("Offsets"), QStringLiteral("Top"), QStringLiteral("0"));
    for (QWidget* window : std::initializer_list<QWidget*>{Navset, Offsets})
        window->hide();
    FNav->mRealtimeWindow1Click();
    FNav->NavigationSettings1Click();
    FNav->OffsetsandValues1Click();
    QApplication::processEvents();

    EXPECT_EQ(fRealtime->pos(), inTheMap);
    for (QWidget* window : std::initializer_list<QWidget*>{Navset, Offsets})
        expectClearOfControls(window);
}

} // namespace
