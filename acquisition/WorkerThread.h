#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

// A thread that repeats one pass until it is asked to stop. A pass waits through waitUntil(),
// which also returns at once when the thread is being stopped.
class WorkerThread {
public:
    WorkerThread() = default;
    // Derived classes call stop() in their destructor, while their members still exist.
    virtual ~WorkerThread() = default;
    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;

    // Starts the loop; false when it already runs or the thread could not be created.
    bool start();
    // Asks the loop to end after its current pass and waits for it.
    void stop();

protected:
    virtual void pass() = 0;

    // Waits until ready() holds or the timeout has passed; false when the thread is stopping.
    template <class Ready> bool waitUntil(std::chrono::milliseconds timeout, Ready ready) {
        std::unique_lock<std::mutex> guard(lock_);
        signal_.wait_for(guard, timeout, [&] { return stopping_ || ready(); });
        return !stopping_;
    }
    // The same without a time limit.
    template <class Ready> bool waitUntil(Ready ready) {
        std::unique_lock<std::mutex> guard(lock_);
        signal_.wait(guard, [&] { return stopping_ || ready(); });
        return !stopping_;
    }
    // Wakes a waiting pass so that it checks its condition again. Callers change what the
    // condition reads before calling, so a pass that has just found nothing to do is either
    // still holding the lock (and sees the change) or already waiting (and is woken).
    void wake();

private:
    void run();
    bool stopping();

    std::mutex lock_;
    std::condition_variable signal_;
    bool stopping_ = false; // guarded by lock_
    std::thread thread_;
};
