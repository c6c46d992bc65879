#include "acquisition/WorkerThread.h"

#include <system_error>

bool WorkerThread::start() {
    if (thread_.joinable())
        return false;
    {
        std::lock_guard<std::mutex> guard(lock_);
        stopping_ = false;
    }
    try {
        thread_ = std::thread(&WorkerThread::run, this);
    } catch (const std::system_error&) {
        return false;
    }
    return true;
}

void WorkerThread::stop() {
    {
        std::lock_guard<std::mutex> guard(lock_);
        stopping_ = true;
    }
    signal_.notify_all();
    if (thread_.joinable())
        thread_.join();
}

void WorkerThread::wake() {
    { std::lock_guard<std::mutex> guard(lock_); }
    signal_.notify_all();
}

bool WorkerThread::stopping() {
    std::lock_guard<std::mutex> guard(lock_);
    return stopping_;
}

void WorkerThread::run() {
    while (!stopping())
        pass();
}
