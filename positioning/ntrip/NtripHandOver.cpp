#include "positioning/ntrip/NtripHandOver.h"

#include <QMetaObject>

#include <chrono>

NtripHandOver::NtripHandOver(QObject* parent) : QObject(parent) {}

NtripHandOver::~NtripHandOver() {
    // Nobody may be left waiting on a step that will never run.
    runPending();
}

void NtripHandOver::call(Step step) {
    auto call = std::make_shared<Call>();
    call->step = std::move(step);
    {
        std::lock_guard lock(mutex_);
        queue_.push_back(call);
    }
    changed_.notify_all();
    // Posted by name: the owner's thread then touches nothing this thread made outside the lock.
    QMetaObject::invokeMethod(this, "serve", Qt::QueuedConnection);
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return call->done; });
}

int NtripHandOver::runPending() {
    int count = 0;
    for (;;) {
        std::shared_ptr<Call> call;
        {
            std::lock_guard lock(mutex_);
            if (queue_.empty())
                break;
            call = queue_.front();
            queue_.pop_front();
        }
        struct Release {
            NtripHandOver& self;
            Call& call;
            ~Release() {
                --self.depth_;
                {
                    std::lock_guard lock(self.mutex_);
                    call.done = true;
                }
                self.changed_.notify_all();
            }
        };
        ++depth_;
        Release release{*this, *call};
        call->step();
        ++count;
    }
    return count;
}

void NtripHandOver::waitForWork(int milliseconds) {
    std::unique_lock lock(mutex_);
    const int seen = wakeups_;
    changed_.wait_for(lock, std::chrono::milliseconds(milliseconds),
                      [&] { return !queue_.empty() || wakeups_ != seen; });
}

void NtripHandOver::wake() {
    {
        std::lock_guard lock(mutex_);
        ++wakeups_;
    }
    changed_.notify_all();
}
