#pragma once

#include <functional>
#include <mutex>
#include <utility>

// Tells the interface thread, from any thread, that a worker finished something for an
// instrument. Workers keep it by shared pointer, so that a notice posted while the server is
// being torn down finds no target instead of a destroyed server.
class WorkNotice {
public:
    // target runs on the posting thread and must itself be safe there (e.g. queue an event).
    void setTarget(std::function<void()> target) {
        std::lock_guard<std::mutex> guard(lock_);
        target_ = std::move(target);
    }
    void post() {
        std::lock_guard<std::mutex> guard(lock_);
        if (target_)
            target_();
    }

private:
    std::mutex lock_;
    std::function<void()> target_;
};
