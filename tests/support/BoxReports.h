#pragma once

#include "KLib/IO/USB/BoxEvents.h"

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

// Collects what a box watcher reports on its thread, for the test's thread to wait on.
class BoxReports {
public:
    KLib::USB::BoxEvents events() {
        return {[this] { note([this] { ++arrivals_; }); },
                [this](const std::string& path) { note([&] { left_.push_back(path); }); }};
    }
    // Waits up to 5 s until `count` arrivals have been reported.
    bool waitForArrivals(int count) {
        return waitUntil([&] { return arrivals_ >= count; });
    }
    // Waits up to 5 s for the `count` first departures and returns them.
    std::vector<std::string> waitForLeft(std::size_t count) {
        waitUntil([&] { return left_.size() >= count; });
        std::lock_guard<std::mutex> lock(mutex_);
        return left_;
    }

private:
    void note(const std::function<void()>& change) {
        std::lock_guard<std::mutex> lock(mutex_);
        change();
        changed_.notify_all();
    }
    bool waitUntil(const std::function<bool()>& reached) {
        std::unique_lock<std::mutex> lock(mutex_);
        return changed_.wait_for(lock, std::chrono::seconds(5), reached);
    }

    std::mutex mutex_;
    std::condition_variable changed_;
    int arrivals_ = 0;
    std::vector<std::string> left_;
};
