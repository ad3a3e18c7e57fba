// The periodic screenshots: the worker's PNG files, the screens' copies, and the main window's
// timer reporting a failing folder once per spell (the names: tests/platform).
#include "StartedProgram.h"

#include "app/main_window/ScreenshotTaker.h"
#include "platform/DataPaths.h"
#include "platform/ManualClock.h"
#include "platform/ScreenshotNames.h"
#include "tests/support/EventLoopWait.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

using Labels = std::vector<std::string>;

// The PNG header's bit depth, colour type and the zlib stream's level bits.
struct PngFacts {
    int bitDepth = -1;
    int colourType = -1;
    int zlibLevel = -1;
};

PngFacts ReadPngFacts(const QString& path) {
    QFile file(path);
    PngFacts facts;
    if (!file.open(QIODevice::ReadOnly))
        return facts;
    const QByteArray bytes = file.readAll();
    // Signature (8), IHDR length and type (8), width and height (8), depth, colour type.
    if (bytes.size() < 33)
        return facts;
    facts.bitDepth = uchar(bytes[24]);
    facts.colourType = uchar(bytes[25]);
    const int idat = bytes.indexOf("IDAT");
    if (idat > 0 && idat + 5 < bytes.size())
        facts.zlibLevel = uchar(bytes[idat + 5]) >> 6;
    return facts;
}

// A window that fills a screen with one colour, so that its copy can be checked.
std::unique_ptr<QWidget> FillScreen(QScreen* screen, QColor colour) {
    auto window = std::make_unique<QWidget>(nullptr, Qt::FramelessWindowHint);
    window->setScreen(screen);
    window->setGeometry(screen->geometry());
    window->setAutoFillBackground(true);
    QPalette palette = window->palette();
    palette.setColor(QPalette::Window, colour);
    window->setPalette(palette);
    window->show();
    return window;
}

// Whether the screen itself (a copy of it as the program takes one, not the widget) shows
// `colour` at the screen-local point: a real X server maps and paints a new window some time
// after show().
bool ScreenShows(QScreen* screen, QPoint point, QColor colour) {
    const QImage picture = GrabScreen(screen);
    return picture.valid(point) && picture.pixelColor(point) == colour;
}

// Whether the screen shows anything but `background` inside the screen-local `area`.
bool ScreenShowsOtherThan(QScreen* screen, QRect area, QColor background) {
    const QImage picture = GrabScreen(screen);
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (picture.valid(x, y) && picture.pixelColor(x, y) != background)
                return true;
    return false;
}

const LocalDateTime TickTime{2025, 3, 7, 14, 32, 5, 120};

// One tick at the given time, its pictures written when it returns.
bool TickAt(const std::string& day, const LocalDateTime& when) {
    ManualClock clock;
    clock.setNow(when);
    Clock::install(&clock);
    bool ticked = false;
    {
        ScreenshotTaker taker;
        ticked = taker.Tick(day);
    }
    Clock::install(nullptr);
    return ticked;
}

QStringList PicturesIn(const QString& folder) {
    return QDir(folder).entryList({QStringLiteral("*.png")}, QDir::Files, QDir::Name);
}

} // namespace

TEST(ScreenshotWriter, WritesA24BitPngAtTheHighestCompression) {
    QTemporaryDir folder;
    QImage image(64, 48, QImage::Format_ARGB32);
    image.fill(QColor(10, 120, 200));
    QPainter(&image).fillRect(0, 0, 20, 20, Qt::yellow);
    const QString path = folder.filePath("a.png");
    EXPECT_EQ(ScreenshotTaker::WritePicture(image, path), QString());
    const PngFacts facts = ReadPngFacts(path);
    EXPECT_EQ(facts.bitDepth, 8);
    EXPECT_EQ(facts.colourType, 2);
    EXPECT_EQ(facts.zlibLevel, 3);
    const QImage back(path);
    ASSERT_EQ(back.size(), image.size());
    EXPECT_EQ(back.pixelColor(5, 5), QColor(Qt::yellow));
    EXPECT_EQ(back.pixelColor(40, 40), QColor(10, 120, 200));

    // A folder in the file's place: a failure, told.
    ASSERT_TRUE(QDir(folder.path()).mkdir("b.png"));
    EXPECT_FALSE(ScreenshotTaker::WritePicture(image, folder.filePath("b.png")).isEmpty());
}

TEST(ScreenshotWriter, ATickThatFindsTheWorkerBusyIsSkippedAndCounted) {
    QTemporaryDir folder;
    QImage big(3000, 2000, QImage::Format_RGB32);
    big.fill(Qt::darkGreen);
    ScreenshotTaker taker;
    QStringList results;
    taker.OnWritten = [&results](const QString& error) { results << error; };
    std::vector<ScreenshotTaker::Picture> first{{big, folder.filePath("1.png")}};
    ASSERT_TRUE(taker.Submit(first));
    // However fast the worker is, the first write is under way or done; either way a second
    // submission never runs beside it.
    const bool second = taker.Submit({{big, folder.filePath("2.png")}});
    EXPECT_EQ(taker.SkippedTicks(), second ? 0 : 1);
    taker.Finish();
    ASSERT_TRUE(WaitUntil([&] { return results.size() == (second ? 2 : 1); }));
    EXPECT_EQ(results, QStringList(results.size(), QString()));
    EXPECT_TRUE(QFile::exists(folder.filePath("1.png")));
}

TEST(ScreenshotWriter, ATakerDestroyedDuringAWriteFinishesIt) {
    QTemporaryDir folder;
    QImage big(2000, 1500, QImage::Format_RGB32);
    big.fill(Qt::darkBlue);
    {
        ScreenshotTaker taker;
        ASSERT_TRUE(taker.Submit({{big, folder.filePath("last.png")}}));
    }
    EXPECT_EQ(QImage(folder.filePath("last.png")).size(), big.size());
}

using ScreenshotTimer = StartedProgram;

TEST_F(ScreenshotTimer, AScreenshotOnAFullDiskSaysWhy) {
    // /dev/full refuses every write with ENOSPC, as a full disk does. Noise compresses badly,
    // so the picture outgrows the file's buffer and reaches the device while it is written.
    QImage noise(400, 300, QImage::Format_RGB888);
    std::srand(7);
    for (int y = 0; y < noise.height(); ++y)
        for (int x = 0; x < noise.width(); ++x)
            noise.setPixel(x, y, qRgb(std::rand() % 256, std::rand() % 256, std::rand() % 256));
    QFile full(QStringLiteral("/dev/full"));
    ASSERT_TRUE(full.open(QIODevice::WriteOnly));
    const QString error = ScreenshotTaker::WritePng(noise, full, QStringLiteral("a.png"));
    EXPECT_TRUE(error.startsWith(QStringLiteral("Cannot write a.png: "))) << error.toStdString();
    EXPECT_TRUE(error.contains(QString::fromLocal8Bit(std::strerror(ENOSPC))))
        << error.toStdString();
    EXPECT_FALSE(error.contains(QStringLiteral("Unknown error"))) << error.toStdString();

    // The worker's report goes the way of every failed write: told once, with the reason.
    start();
    std::vector<QString> reports;
    RepeatedErrorGuard::setSink([&reports](const QString& text) { reports.push_back(text); });
    FNav->Screenshots->OnWritten(error);
    RepeatedErrorGuard::setSink(nullptr);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_TRUE(reports[0].contains(QString::fromLocal8Bit(std::strerror(ENOSPC))))
        << reports[0].toStdString();
}

TEST(ScreenshotCapture, EachScreenIsCopiedWholeWithItsContent) {
    // Under the three-screen configuration (its own CTest entry) this covers every screen; on
    // the default offscreen screen, the one.
    const QList<QScreen*> screens = QGuiApplication::screens();
    ASSERT_FALSE(screens.isEmpty());
    const QColor colours[] = {QColor(200, 30, 30), QColor(30, 200, 30), QColor(30, 30, 200)};
    std::vector<std::unique_ptr<QWidget>> windows;
    for (int i = 0; i < screens.size() && i < 3; ++i)
        windows.push_back(FillScreen(screens[i], colours[i]));
    for (int i = 0; i < screens.size() && i < 3; ++i) {
        const QPoint middle(screens[i]->geometry().width() / 2, screens[i]->geometry().height() / 2);
        ASSERT_TRUE(WaitUntil([&] { return ScreenShows(screens[i], middle, colours[i]); }))
            << "screen " << i << " never showed its window";
    }

    QTemporaryDir home;
    const std::string day = home.filePath("2025-03-07/").toStdString();
    ASSERT_TRUE(TickAt(day, TickTime));

    std::vector<MonitorRect> rects;
    for (QScreen* screen : screens)
        rects.push_back({screen->geometry().x(), screen->geometry().y(), screen->geometry().width(),
                         screen->geometry().height()});
    const Labels labels = MonitorLabels(rects);
    const QString folder = QString::fromStdString(ScreenshotFolder(day));
    EXPECT_EQ(PicturesIn(folder).size(), screens.size());
    for (int i = 0; i < screens.size() && i < 3; ++i) {
        const QString path = QString::fromStdString(
            ScreenshotFileName(folder.toStdString(), TickTime, labels[size_t(i)]));
        const QImage picture(path);
        ASSERT_FALSE(picture.isNull()) << path.toStdString();
        EXPECT_EQ(picture.size(), screens[i]->geometry().size()) << labels[size_t(i)];
        EXPECT_EQ(picture.pixelColor(picture.width() / 2, picture.height() / 2), colours[i])
            << labels[size_t(i)];
    }
}

TEST(ScreenshotCapture, AnLShapedDeskGivesLeftRightAndLeft3) {
    if (QGuiApplication::screens().size() != 3)
        GTEST_SKIP() << "runs under the three-screen configuration";
    std::vector<MonitorRect> rects;
    for (QScreen* screen : QGuiApplication::screens())
        rects.push_back({screen->geometry().x(), screen->geometry().y(), screen->geometry().width(),
                         screen->geometry().height()});
    EXPECT_EQ(MonitorLabels(rects), Labels({"Left", "Right", "Left3"}));
}

TEST_F(ScreenshotTimer, AFileInTheFoldersPlaceIsToldOnceOverTwoTicks) {
    start();
    QDir().mkpath(QString::fromStdString(DayFolder));
    const QString blocker = QString::fromStdString(ScreenshotFolder(DayFolder)).chopped(1);
    QDir(blocker).removeRecursively();
    QFile file(blocker);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();

    std::vector<QString> reports;
    RepeatedErrorGuard::setSink([&reports](const QString& text) { reports.push_back(text); });
    FNav->tScreenshotTimer();
    FNav->tScreenshotTimer();
    RepeatedErrorGuard::setSink(nullptr);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_TRUE(reports[0].contains("PNG")) << reports[0].toStdString();
    EXPECT_TRUE(TestEnvironment::dialogs().messages.empty());
    QFile::remove(blocker);
}

TEST_F(ScreenshotTimer, ATickWritesEveryScreenIntoTheDaysPngFolder) {
    if (QGuiApplication::screens().size() != 1)
        GTEST_SKIP() << "one screen";
    start();
    const QString folder = QString::fromStdString(ScreenshotFolder(DayFolder));
    QDir(folder).removeRecursively();
    // The offscreen platform copies only what a window covers.
    const auto cover = FillScreen(QGuiApplication::primaryScreen(), Qt::darkCyan);
    QApplication::processEvents();
    FNav->tScreenshotTimer();
    ASSERT_TRUE(WaitUntil([&] {
        return !FNav->Screenshots->Busy() &&
               PicturesIn(folder).size() == QGuiApplication::screens().size();
    }));
}

TEST(ScreenshotCapture, ARealScreenTickEqualsTheServersOwnCopy) {
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        GTEST_SKIP() << "runs on an X server (the ScreenshotsRealScreen entry)";
    if (!QFile::exists("/usr/bin/import") || !QFile::exists("/usr/bin/compare"))
        GTEST_SKIP() << "ImageMagick's import and compare are not installed";
    // A still screen: one window of fixed content and nothing else that paints.
    QScreen* screen = QGuiApplication::primaryScreen();
    const auto cover = FillScreen(screen, QColor(12, 34, 56));
    QLabel* text = new QLabel(QStringLiteral("Tavrin SD 2025-03-07"), cover.get());
    text->move(40, 40);
    text->show();
    const QPoint middle(screen->geometry().width() / 2, screen->geometry().height() / 2);
    ASSERT_TRUE(WaitUntil([&] {
        return ScreenShows(screen, middle, QColor(12, 34, 56)) &&
               ScreenShowsOtherThan(screen, text->geometry(), QColor(12, 34, 56));
    })) << "the window and its text never reached the screen";

    const std::string day = DayFolder;
    ASSERT_TRUE(TickAt(day, TickTime));
    const QString path = QString::fromStdString(
        ScreenshotFileName(ScreenshotFolder(day), TickTime, "Primary"));
    ASSERT_TRUE(path.startsWith(QDir::homePath() + "/WJT/")) << path.toStdString();
    const QImage picture(path);
    ASSERT_EQ(picture.size(), QSize(1280, 1024));
    const PngFacts facts = ReadPngFacts(path);
    EXPECT_EQ(facts.bitDepth, 8);
    EXPECT_EQ(facts.colourType, 2);
    EXPECT_EQ(facts.zlibLevel, 3);

    QTemporaryDir work;
    const QString reference = work.filePath("root.png");
    ASSERT_EQ(std::system(("/usr/bin/import -window root '" + reference.toStdString() + "'").c_str()), 0);
    const std::string compare = "/usr/bin/compare -metric AE '" + path.toStdString() + "' '" +
                                reference.toStdString() + "' null: 2>'" +
                                work.filePath("ae.txt").toStdString() + "'";
    std::system(compare.c_str());
    QFile ae(work.filePath("ae.txt"));
    ASSERT_TRUE(ae.open(QIODevice::ReadOnly));
    EXPECT_EQ(ae.readAll().trimmed(), "0");
}
