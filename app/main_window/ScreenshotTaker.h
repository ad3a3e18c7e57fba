#pragma once

#include <QFileDevice>
#include <QImage>
#include <QObject>
#include <QString>

#include <atomic>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

class QScreen;

// A copy of the whole screen at full size, or a null image when the platform gives none (a
// Wayland session refuses to hand out the screen's content).
QImage GrabScreen(QScreen* screen);

// The periodic screenshots: one PNG per monitor into the day's "PNG" folder. Only the screen
// copies run on the calling (user-interface) thread; converting to 24-bit colour, the
// level-9 compression and the writing run on one worker thread, one tick at a time, so that a
// large map does not stall the map tick, the serial polling or the NTRIP hand-over. A tick
// that finds the previous one still writing is skipped and counted.
class ScreenshotTaker {
public:
    struct Picture {
        QImage image;
        QString path;
    };

    ScreenshotTaker();
    // Finishes a write under way, so that the last pictures of a run are complete.
    ~ScreenshotTaker();
    ScreenshotTaker(const ScreenshotTaker&) = delete;
    ScreenshotTaker& operator=(const ScreenshotTaker&) = delete;

    // Copies every monitor and hands the pictures to the worker. Throws when the folder cannot
    // be made or a screen gives no copy; returns false when the tick was skipped because the
    // previous one is still being written.
    bool Tick(const std::string& dayFolder);
    // Hands prepared pictures to the worker; false when it is still busy (the tick is skipped).
    bool Submit(std::vector<Picture> pictures);
    // Waits for the write under way, if any.
    void Finish();
    bool Busy() const { return busy_; }
    int SkippedTicks() const { return skipped_; }

    // Told on the user-interface thread after each write: an empty text when every picture
    // was written, else what failed.
    std::function<void(const QString& error)> OnWritten;

    // Converts to 24-bit colour and writes the picture as PNG with zlib's highest compression,
    // replacing a file of that name only once the new one is complete. Empty on success.
    static QString WritePicture(const QImage& image, const QString& path);
    // Writes the 24-bit picture as PNG into an open file; empty on success, else what failed
    // and why, in the file's own words when the file refused the bytes.
    static QString WritePng(const QImage& rgb, QFileDevice& file, const QString& path);

private:
    std::unique_ptr<QObject> context_; // delivers the results; gone with the taker
    std::thread worker_;
    std::atomic<bool> busy_{false};
    int skipped_ = 0;
};
