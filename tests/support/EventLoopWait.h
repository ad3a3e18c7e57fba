#pragma once

#include <QCoreApplication>
#include <QThread>
#include <QTimer>

#include <chrono>
#include <functional>

// Runs the user-interface thread's event loop until `done` holds or the time is up. The
// default is generous: the suite runs in parallel on loaded machines, and a wait ends as soon
// as its condition holds, so passing tests never wait this long.
inline bool WaitUntil(const std::function<bool()>& done, int timeoutMs = 10000) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!done()) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(1);
    }
    return true;
}

// Keeps the event loop running for a while (for "nothing more happens" checks).
inline void RunEventsFor(int milliseconds) {
    WaitUntil([] { return false; }, milliseconds);
}

// Runs the application's event loop as the entry does, with `whileRunning` called once it
// runs. The loop is ended after a generous bound if nothing else ends it; true when something
// else did.
inline bool LoopEndsByItself(const std::function<void()>& whileRunning, int* exitCode = nullptr) {
    bool timedOut = false;
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [&timedOut] {
        timedOut = true;
        QCoreApplication::exit(99);
    });
    guard.start(15000);
    QTimer::singleShot(0, whileRunning);
    const int code = QCoreApplication::exec();
    if (exitCode)
        *exitCode = code;
    return !timedOut;
}
