#include "app/main_window/TStatusBar.h"

#include "tests/support/OnScreen.h"
#include "tests/support/PaintCounter.h"

#include <QVBoxLayout>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

// A bar in a window of its own, as the main window holds it: the window's background shows
// through between the panels' bevels.
struct BarWindow {
    QWidget window;
    TStatusBar* bar = new TStatusBar(&window);

    explicit BarWindow(int x) {
        auto* layout = new QVBoxLayout(&window);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(bar);
        window.setGeometry(x, 0, 640, 18);
        bar->SetPanelCount(7, 100);
        window.show();
        DeliverPaints();
    }
};

TEST(StatusBar, AStatusBarTextOrWidthThatStaysAsksForNoPaint) {
    BarWindow shown(0);
    shown.bar->SetPanelText(0, QStringLiteral("40°30'0.000\"N, 33°6'0.000\"E"));
    shown.bar->SetPanelWidth(0, 180);
    shown.bar->SetPanelText(2, QStringLiteral("1:5000"));
    DeliverPaints();
    PaintCounter counter;
    shown.bar->installEventFilter(&counter);
    shown.window.installEventFilter(&counter);

    shown.bar->SetPanelText(0, QStringLiteral("40°30'0.000\"N, 33°6'0.000\"E"));
    shown.bar->SetPanelWidth(0, 180);
    shown.bar->SetPanelText(2, QStringLiteral("1:5000"));
    DeliverPaints();
    EXPECT_EQ(counter.paints, 0u);

    shown.bar->SetPanelText(2, QStringLiteral("1:2500"));
    DeliverPaints();
    EXPECT_GT(counter.paints, 0u) << "a new text is shown";
    EXPECT_EQ(shown.bar->PanelText(2), QStringLiteral("1:2500"));
}

// Each step changes the bar the way its callers do; after each the bar painted only what
// changed must show what a bar painted whole shows, long texts and narrow panels too.
TEST(StatusBar, APanelRepaintedAloneShowsWhatTheWholeBarPaintedAgainShows) {
    BarWindow changed(0);
    BarWindow whole(700);
    const QString longText = QStringLiteral("Draw polygon to select shapes (right-click to finish)");
    const struct {
        const char* step;
        std::function<void(TStatusBar&)> change;
    } steps[] = {
        {"a position in panel 0", [](TStatusBar& bar) {
             bar.SetPanelText(0, QStringLiteral("40°30'0.000\"N, 33°6'0.000\"E"));
         }},
        {"panel 0 fitted to it", [](TStatusBar& bar) { bar.SetPanelWidth(0, 190); }},
        {"grid position in panel 1", [](TStatusBar& bar) {
             bar.SetPanelText(1, QStringLiteral("E512.13, N45.50"));
             bar.SetPanelWidth(1, 110);
         }},
        {"a text longer than its panel",
         [&](TStatusBar& bar) { bar.SetPanelText(0, longText); }},
        {"a text beside it",
         [](TStatusBar& bar) { bar.SetPanelText(1, QStringLiteral("E512.14, N45.51")); }},
        {"the long text shortened", [](TStatusBar& bar) { bar.SetPanelText(0, QString()); }},
        {"a panel narrower than its bevel", [](TStatusBar& bar) {
             bar.SetPanelText(2, QStringLiteral("1:5000"));
             bar.SetPanelWidth(2, 1);
         }},
        {"the panel after it", [](TStatusBar& bar) {
             bar.SetPanelText(3, QStringLiteral("/data/project"));
         }},
        {"the narrow panel's text",
         [](TStatusBar& bar) { bar.SetPanelText(2, QStringLiteral("1:2500")); }},
        {"the panel before the narrow one",
         [](TStatusBar& bar) { bar.SetPanelText(1, QStringLiteral("E512.15, N45.52")); }},
        {"the last panel", [](TStatusBar& bar) { bar.SetPanelText(6, QStringLiteral("EN")); }},
        {"the first panel narrowed under a long text in the second", [&](TStatusBar& bar) {
             bar.SetPanelText(1, longText);
             bar.SetPanelWidth(0, 40);
         }},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.step);
        s.change(*changed.bar);
        s.change(*whole.bar);
        whole.bar->update();
        DeliverPaints();
        const QImage shown = OnScreen(changed.window);
        ASSERT_FALSE(shown.isNull());
        EXPECT_TRUE(shown == OnScreen(whole.window));
    }
}

} // namespace
