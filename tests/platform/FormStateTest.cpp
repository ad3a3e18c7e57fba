#include "platform/FormState.h"
#include "platform/AppPaths.h"
#include "platform/IniFile.h"

#include <QGuiApplication>
#include <QScreen>
#include <QStyle>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

class FormStateTest : public ::testing::Test {
protected:
    QWidget form;
    QRect screen;

    void SetUp() override {
        form.setObjectName("Navset");
        form.setGeometry(100, 120, 400, 300);
        screen = QGuiApplication::primaryScreen()->geometry();
        IniFile(AppPaths::settingsFile()).eraseSection("Navset");
    }

    void store(int state, int left, int top, int width, int height) {
        IniFile ini(AppPaths::settingsFile());
        ini.writeInteger("Navset", "WindowState", state);
        ini.writeInteger("Navset", "Left", left);
        ini.writeInteger("Navset", "Top", top);
        ini.writeInteger("Navset", "Width", width);
        ini.writeInteger("Navset", "Height", height);
    }
};

TEST_F(FormStateTest, SavesStateAndGeometryUnderTheFormName) {
    form.move(33, 44);
    form.resize(500, 250);
    EXPECT_TRUE(SaveFormState(&form));
    const IniFile ini(AppPaths::settingsFile());
    EXPECT_EQ(ini.readSection("Navset"),
              QStringList({"WindowState", "Left", "Top", "Width", "Height"}));
    EXPECT_EQ(ini.readInteger("NAVSET", "WindowState", -1), 0);
    EXPECT_EQ(ini.readInteger("Navset", "Left", -1), 33);
    EXPECT_EQ(ini.readInteger("Navset", "Top", -1), 44);
    EXPECT_EQ(ini.readInteger("Navset", "Width", -1), 500);
    EXPECT_EQ(ini.readInteger("Navset", "Height", -1), 250);
}

TEST_F(FormStateTest, SaveIntoAnUnwritableSettingsFileSaysSo) {
    const QString kept = AppPaths::settingsFile();
    AppPaths::setSettingsFile(kept + QStringLiteral(".missing/TavrinSD.INI"));
    const bool saved = SaveFormState(&form);
    AppPaths::setSettingsFile(kept);
    EXPECT_FALSE(saved);
}

TEST_F(FormStateTest, PlacesOffEveryScreenCountAsNoneAndOpenWhollyOnTheScreen) {
    const int title = form.style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, &form);
    struct Case {
        int left, top, expectedLeft, expectedTop;
    };
    const Case cases[] = {
        {-8, -8, 0, 0}, // a maximized-looking position: the title bar above the top edge
        {screen.width(), 10, screen.width() - 640, 10}, // a monitor to the right, not there now
        {screen.width() + 200, 10, screen.width() - 640, 10},
        {-1900, 50, 0, 50},                                       // a monitor to the left
        {20, screen.height(), 20, screen.height() - 480 - title}, // below the screen
    };
    for (const Case& c : cases) {
        store(0, c.left, c.top, 640, 480);
        RestoreFormState(&form, 1);
        EXPECT_EQ(form.pos(), QPoint(c.expectedLeft, c.expectedTop)) << c.left << "," << c.top;
        EXPECT_EQ(form.size(), QSize(640, 480));
    }
}

TEST_F(FormStateTest, AStoredPlaceWithTheTitleBarOffTheScreenOrRefusedCountsAsNone) {
    const int title = form.style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, &form);
    const QPoint firstPlace(123, 45);
    const struct {
        const char* what;
        QPoint stored;
        bool refused;
        bool placed; // a first placement is set
        QPoint expected;
    } cases[] = {
        {"on the screen", {50, 60}, false, true, {50, 60}},
        {"the title bar below the bottom edge",
         {50, screen.height() - title / 2},
         false,
         true,
         firstPlace},
        {"100 pixels of the title bar left on the screen",
         {screen.width() - 100, 60},
         false,
         true,
         {screen.width() - 100, 60}},
        {"99 pixels of the title bar left on the screen",
         {screen.width() - 99, 60},
         false,
         true,
         firstPlace},
        {"past the left edge, 100 pixels of the title bar on the screen",
         {-540, 60},
         false,
         true,
         {-540, 60}},
        {"refused by the check", {50, 60}, true, true, firstPlace},
        {"no first placement: the window brought wholly onto the screen",
         {screen.width() - 1, screen.height() - 1},
         false,
         false,
         {screen.width() - 640, screen.height() - 480 - title}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        store(0, c.stored.x(), c.stored.y(), 640, 480);
        SetFirstPlacement(c.placed ? [&](QWidget*) { return std::optional<QPoint>(firstPlace); }
                                   : std::function<std::optional<QPoint>(QWidget*)>());
        SetStoredPlaceCheck([&](QWidget*, const QRect& frame) {
            EXPECT_EQ(frame.topLeft(), c.stored);
            return !c.refused;
        });
        RestoreFormState(&form, 1);
        EXPECT_EQ(form.pos(), c.expected);
    }
    SetFirstPlacement(nullptr);
    SetStoredPlaceCheck(nullptr);
}

TEST_F(FormStateTest, CentredOnAPointTheWholeWindowStaysOnTheScreen) {
    form.resize(320, 300);
    PlaceCentredOn(&form, screen.center());
    EXPECT_EQ(FrameAt(&form, form.pos()).center(), screen.center());
    // Centred on a short window at the top of the screen, the frame would start above it.
    PlaceCentredOn(&form, QPoint(screen.center().x(), 100));
    EXPECT_EQ(form.y(), screen.top());
    // Centred on a main window at the lower right, its buttons would fall below the screen.
    PlaceCentredOn(&form, screen.bottomRight() - QPoint(100, 100));
    EXPECT_TRUE(screen.contains(FrameAt(&form, form.pos()))) << form.x() << "," << form.y();
    // Taller than the screen: the title bar stays on it.
    form.resize(320, screen.height() + 50);
    PlaceCentredOn(&form, screen.center());
    EXPECT_EQ(form.y(), screen.top());
}

TEST_F(FormStateTest, WithoutSizeTheDesignedSizeStays) {
    store(1, 50, 60, 999, 888); // minimized comes back as a normal window
    RestoreFormState(&form, 0);
    EXPECT_EQ(form.pos(), QPoint(50, 60));
    EXPECT_EQ(form.size(), QSize(400, 300));
    EXPECT_FALSE(form.isMinimized());
}

TEST_F(FormStateTest, MaximizedStateIsRestoredAlone) {
    store(2, 50, 60, 999, 888);
    RestoreFormState(&form, 1);
    EXPECT_TRUE(form.windowState() & Qt::WindowMaximized);
    form.setWindowState(Qt::WindowNoState);
    EXPECT_EQ(form.size(), QSize(400, 300));
}

TEST_F(FormStateTest, MissingOrBrokenKeysGiveDefaults) {
    {
        IniFile ini(AppPaths::settingsFile());
        ini.writeString("Navset", "Left", "abc");
        ini.writeString("Navset", "Width", "12.5");
    }
    RestoreFormState(&form, 1);
    EXPECT_EQ(form.pos(), QPoint(0, 0));
    EXPECT_EQ(form.size(), QSize(400, 300));
}

// Under the two-screen configuration (its own CTest entry): a place on the second monitor, or
// with enough of its title bar on it, is the operator's and comes back.
TEST_F(FormStateTest, APlaceOnASecondMonitorComesBack) {
    const QList<QScreen*> screens = QGuiApplication::screens();
    if (screens.size() != 2)
        GTEST_SKIP() << "runs under the two-screen configuration";
    const QRect second = screens[1]->geometry();
    const struct {
        const char* what;
        QPoint stored, expected;
    } cases[] = {
        {"on the second monitor", second.topLeft() + QPoint(300, 200),
         second.topLeft() + QPoint(300, 200)},
        {"across both monitors", second.topLeft() - QPoint(200, -50),
         second.topLeft() - QPoint(200, -50)},
        {"100 pixels of the title bar left on its right edge", QPoint(second.right() + 1 - 100, 50),
         QPoint(second.right() + 1 - 100, 50)},
        // Beyond both monitors: wholly on the primary screen.
        {"past the second monitor's right edge", QPoint(second.right() + 10, 50),
         QPoint(screen.width() - 640, 50)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        store(0, c.stored.x(), c.stored.y(), 640, 480);
        RestoreFormState(&form, 1);
        EXPECT_EQ(form.pos(), c.expected);
    }
}

} // namespace
