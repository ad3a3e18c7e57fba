#pragma once

#include <QObject>

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>

// Runs steps that worker threads hand over on the thread that created this object (the
// user-interface thread), each worker waiting until its step has run there: so a data pointer
// handed over stays valid for the whole step, and the steps run in the order they were made.
//
// The steps normally run from the event loop. A caller on the owner's thread that waits for a
// worker to end must keep calling runPending() while it waits: the worker may be blocked in a
// hand-over, and the two would otherwise wait for each other for ever.
class NtripHandOver : public QObject {
    Q_OBJECT

public:
    using Step = std::function<void()>;

    explicit NtripHandOver(QObject* parent = nullptr);
    ~NtripHandOver() override;

    // Worker side: queues the step and blocks until it has run on the owner's thread.
    void call(Step step);

    // Owner side: runs every queued step. Returns the number of steps run.
    int runPending();
    // Owner side: waits at most `milliseconds` for a step to be queued or for wake() to be called.
    void waitForWork(int milliseconds);
    // Ends a waitForWork early (a worker calls it when it ends).
    void wake();

    // True while a step is running on the owner's thread (steps may call back into the owner).
    bool running() const { return depth_ > 0; }

private slots:
    void serve() { runPending(); }

private:
    struct Call {
        Step step;
        bool done = false;
    };

    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::shared_ptr<Call>> queue_;
    int wakeups_ = 0;
    int depth_ = 0;
};
