#include "app/main_window/TformAbout.h"
#include "app/widgets/TFMsg.h"
#include "tests/support/EventLoopWait.h"

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>

namespace {

QStringList lines(const TFMsg& window) {
    return window.Msg->toPlainText().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

void clickMemo(TFMsg& window) {
    QWidget* viewport = window.Msg->viewport();
    const QPointF at(5, 5);
    QMouseEvent press(QEvent::MouseButtonPress, at, viewport->mapToGlobal(at), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, viewport->mapToGlobal(at), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &release);
}

} // namespace

TEST(MessageWindow, CreatedHiddenAtItsDesignedPlace) {
    TFMsg window;
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Message Window"));
    EXPECT_EQ(window.size(), QSize(413, 192));
    EXPECT_EQ(window.pos(), QPoint(1017, 148));
    EXPECT_TRUE(window.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(window.Timer1->interval(), 4000);
    EXPECT_FALSE(window.Timer1->isActive());
}

TEST(MessageWindow, MessagesInARowShareOneShowing) {
    TFMsg window;
    window.AddMessage(QStringLiteral("Connected to GPS on COM3"));
    ASSERT_TRUE(window.isVisible());
    ASSERT_TRUE(window.Timer1->isActive());
    const int left = window.Timer1->remainingTime();
    window.AddMessage(QStringLiteral("GPS is idle!"));
    window.AddMessage(QStringLiteral("Disconnected from GPS on COM3"));
    EXPECT_EQ(lines(window), QStringList({"Connected to GPS on COM3", "GPS is idle!",
                                          "Disconnected from GPS on COM3"}));
    // The later messages do not renew the time the window has left.
    EXPECT_LE(window.Timer1->remainingTime(), left);
    EXPECT_TRUE(window.isVisible());
}

TEST(MessageWindow, HidesByItselfAndKeepsTheLinesForTheNextMessage) {
    TFMsg window;
    window.Timer1->setInterval(20);
    window.AddMessage(QStringLiteral("first"));
    ASSERT_TRUE(WaitUntil([&] { return !window.isVisible(); }));
    EXPECT_FALSE(window.Timer1->isActive());
    window.AddMessage(QStringLiteral("second"));
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(window.Timer1->isActive());
    EXPECT_EQ(lines(window), QStringList({"first", "second"}));
}

TEST(MessageWindow, ClickOnTheMessagesHidesAndEmptiesThem) {
    TFMsg window;
    window.AddMessage(QStringLiteral("old"));
    clickMemo(window);
    EXPECT_FALSE(window.isVisible());
    EXPECT_FALSE(window.Timer1->isActive());
    window.AddMessage(QStringLiteral("new"));
    EXPECT_EQ(lines(window), QStringList({"new"}));
}

TEST(AboutWindow, ShowsNameAndVersionAndClosesWithOk) {
    TformAbout about;
    EXPECT_EQ(about.windowTitle(), QStringLiteral("About Tavrin Sounding Desk"));
    EXPECT_EQ(about.SoftName->text(), QStringLiteral("Tavrin Iskandil Masasi"));
    EXPECT_EQ(about.Version->text(), QStringLiteral("Version 6.8.1"));
    EXPECT_EQ(about.width(), 340);
    EXPECT_FALSE(about.isVisible());
    QTimer::singleShot(0, [&about] { about.BitBtn2->click(); });
    EXPECT_EQ(about.exec(), QDialog::Accepted);
    EXPECT_FALSE(about.isVisible());
}
