#include "skin/ThdTimer.h"

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace skin {

// State shared by the timer and its thread; the thread keeps it alive when the timer is gone.
struct TThreadedTimer::Shared {
    std::mutex mutex;
    std::condition_variable changed;
    platform::Synchronizer& synchronizer;
    TThreadedTimer* owner;  // cleared when the timer is destroyed
    std::uint16_t interval = 1000;
    bool wake = false;  // the auto-reset wake event
    bool suspended = true;
    bool terminated = false;
    bool inSync = false;

    Shared(platform::Synchronizer& s, TThreadedTimer* o) : synchronizer(s), owner(o) {}
};

TThreadedTimer::TThreadedTimer(platform::Synchronizer& synchronizer)
    : shared_(std::make_shared<Shared>(synchronizer, this)) {
    thread_ = std::thread(&TThreadedTimer::Run, shared_);
}

TThreadedTimer::~TThreadedTimer() {
    bool detach = false;
    {
        const std::lock_guard<std::mutex> lock(shared_->mutex);
        shared_->terminated = true;
        shared_->wake = true;
        shared_->suspended = false;
        shared_->owner = nullptr;
        // A thread inside a synchronised call waits for this very thread; it ends on its own
        // once the call has run (without a tick), so it is not waited for here.
        detach = shared_->inSync;
    }
    shared_->changed.notify_all();
    if (detach) {
        thread_.detach();
    } else {
        thread_.join();
    }
}

void TThreadedTimer::SetEnabled(bool value) {
    if (value == enabled_) {
        return;
    }
    enabled_ = value;
    {
        const std::lock_guard<std::mutex> lock(shared_->mutex);
        if (!value) {
            shared_->suspended = true;
        } else if (interval_ != 0) {
            shared_->wake = true;
            shared_->suspended = false;
        }
    }
    shared_->changed.notify_all();
}

void TThreadedTimer::SetInterval(std::uint16_t value) {
    if (value == interval_) {
        return;
    }
    SetEnabled(false);
    interval_ = value;
    const std::lock_guard<std::mutex> lock(shared_->mutex);
    shared_->interval = value;
}

void TThreadedTimer::Run(std::shared_ptr<Shared> shared) {
    std::unique_lock<std::mutex> lock(shared->mutex);
    for (;;) {
        shared->changed.wait(lock, [&] { return shared->terminated || !shared->suspended; });
        if (shared->terminated) {
            return;
        }
        shared->changed.wait_for(lock, std::chrono::milliseconds(shared->interval), [&] {
            return shared->wake || shared->terminated || shared->suspended;
        });
        if (shared->terminated) {
            return;
        }
        if (shared->wake) {
            shared->wake = false;
            continue;
        }
        if (shared->suspended) {
            continue;
        }
        shared->inSync = true;
        lock.unlock();
        shared->synchronizer.Synchronize([&shared] {
            TThreadedTimer* owner = nullptr;
            {
                const std::lock_guard<std::mutex> guard(shared->mutex);
                owner = shared->owner;
            }
            // The window thread is the only one that disables or destroys the timer, so the
            // owner cannot go away between this check and the call.
            if (owner != nullptr && owner->enabled_ && owner->OnTimer) {
                owner->OnTimer();
            }
        });
        lock.lock();
        shared->inSync = false;
    }
}

}  // namespace skin
