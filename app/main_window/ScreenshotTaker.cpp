#include "app/main_window/ScreenshotTaker.h"

#include "platform/ProcessMemory.h"
#include "platform/ScreenshotNames.h"

#include <QGuiApplication>
#include <QImageWriter>
#include <QPixmap>
#include <QSaveFile>
#include <QScreen>

#include <filesystem>
#include <stdexcept>
#include <system_error>

QImage GrabScreen(QScreen* screen) {
    if (!screen)
        return {};
    const QRect area = screen->geometry();
    // The offscreen platform takes the rectangle in virtual-desktop coordinates (without them
    // every screen but the first comes out black); X11 takes it relative to the screen.
    const bool virtualCoordinates =
        QGuiApplication::platformName().startsWith(QLatin1String("offscreen"));
    const QPoint origin = virtualCoordinates ? area.topLeft() : QPoint(0, 0);
    const QPixmap copy =
        screen->grabWindow(0, origin.x(), origin.y(), area.width(), area.height());
    return copy.isNull() ? QImage() : copy.toImage();
}

ScreenshotTaker::ScreenshotTaker() : context_(std::make_unique<QObject>()) {}

ScreenshotTaker::~ScreenshotTaker() {
    Finish();
}

void ScreenshotTaker::Finish() {
    if (worker_.joinable())
        worker_.join();
}

bool ScreenshotTaker::Tick(const std::string& dayFolder) {
    if (busy_) {
        ++skipped_;
        return false;
    }
    const std::string folder = ScreenshotFolder(dayFolder);
    std::error_code error;
    if (!std::filesystem::is_directory(folder, error)) {
        std::filesystem::create_directories(folder, error);
        if (!std::filesystem::is_directory(folder))
            throw std::runtime_error("Cannot create the screenshot folder " + folder +
                                     (error ? ": " + error.message() : std::string()));
    }
    // One time for every picture of the tick.
    const LocalDateTime now = Clock::now();
    std::vector<Picture> pictures;
    const QList<QScreen*> screens = QGuiApplication::screens();
    std::vector<MonitorRect> rects;
    for (QScreen* screen : screens) {
        const QRect area = screen->geometry();
        rects.push_back({area.x(), area.y(), area.width(), area.height()});
    }
    const std::vector<std::string> labels = MonitorLabels(rects);
    for (int i = 0; i < screens.size(); ++i) {
        const QImage copy = GrabScreen(screens[i]);
        if (copy.isNull())
            throw std::runtime_error("The screen " + screens[i]->name().toStdString() +
                                     " gave no copy to save (a Wayland session does not allow "
                                     "screenshots)");
        pictures.push_back(
            {copy, QString::fromStdString(ScreenshotFileName(folder, now, labels[size_t(i)]))});
    }
    return Submit(std::move(pictures));
}

bool ScreenshotTaker::Submit(std::vector<Picture> pictures) {
    if (busy_) {
        ++skipped_;
        return false;
    }
    Finish();
    busy_ = true;
    QObject* context = context_.get();
    worker_ = std::thread([this, context, pictures = std::move(pictures)] {
        QString failures;
        for (const Picture& picture : pictures) {
            const QString error = WritePicture(picture.image, picture.path);
            if (!error.isEmpty())
                failures += (failures.isEmpty() ? QString() : QStringLiteral("; ")) + error;
        }
        // The compression's buffers are freed by now; a picture a minute must not leave
        // megabytes behind each time.
        ReturnFreedMemory();
        // The taker outlives the thread (its destructor joins), so the flag may be cleared
        // here; the report goes to the user-interface thread, and is dropped with the taker.
        QMetaObject::invokeMethod(
            context,
            [this, failures] {
                if (OnWritten)
                    OnWritten(failures);
            },
            Qt::QueuedConnection);
        busy_ = false;
    });
    return true;
}

QString ScreenshotTaker::WritePicture(const QImage& image, const QString& path) {
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return QStringLiteral("Cannot write %1: %2").arg(path, file.errorString());
    const QString error = WritePng(rgb, file, path);
    if (!error.isEmpty()) {
        file.cancelWriting();
        return error;
    }
    if (!file.commit())
        return QStringLiteral("Cannot write %1: %2").arg(path, file.errorString());
    return {};
}

QString ScreenshotTaker::WritePng(const QImage& rgb, QFileDevice& file, const QString& path) {
    QImageWriter writer(&file, "png");
    // Qt's PNG writer turns quality 0 into zlib level 9; its compression setting does not
    // reach zlib.
    writer.setQuality(0);
    if (writer.write(rgb))
        return {};
    // The writer only knows that its device refused the bytes ("Unknown error"); the file
    // knows why (a full disk, a lost drive).
    const QString reason =
        file.error() != QFileDevice::NoError ? file.errorString() : writer.errorString();
    return QStringLiteral("Cannot write %1: %2").arg(path, reason);
}
