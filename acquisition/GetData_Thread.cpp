#include "acquisition/GetData_Thread.h"

#include <system_error>
#include <utility>

GetData_Thread::GetData_Thread(FrameRing& ring, std::function<void()> dataArrived)
    : ring_(ring), handover_(ring.capacity()), dataArrived_(std::move(dataArrived)) {}

GetData_Thread::~GetData_Thread() {
    stop();
}

bool GetData_Thread::start() {
    if (thread_.joinable())
        return false;
    {
        std::lock_guard<std::mutex> guard(wakeLock_);
        stopping_ = false;
    }
    try {
        thread_ = std::thread(&GetData_Thread::run, this);
    } catch (const std::system_error&) {
        return false;
    }
    return true;
}

void GetData_Thread::stop() {
    {
        std::lock_guard<std::mutex> guard(wakeLock_);
        stopping_ = true;
    }
    wakeSignal_.notify_all();
    if (thread_.joinable())
        thread_.join();
}

void GetData_Thread::requestData() {
    handover_.requestData();
    wake();
}

void GetData_Thread::releaseTransferBuffer() {
    handover_.release();
    wake();
}

// The flags are changed before the lock is taken here, so a loop that has just found nothing
// to do is either still holding the lock (and sees the change when it checks again) or already
// waiting (and is woken).
void GetData_Thread::wake() {
    { std::lock_guard<std::mutex> guard(wakeLock_); }
    wakeSignal_.notify_all();
}

void GetData_Thread::run() {
    for (;;) {
        {
            std::unique_lock<std::mutex> guard(wakeLock_);
            wakeSignal_.wait(guard, [this] { return stopping_ || handover_.ready(); });
            if (stopping_)
                return;
        }
        if (handover_.fill(ring_)) {
            deliveries_.fetch_add(1, std::memory_order_release);
            if (dataArrived_)
                dataArrived_();
        }
    }
}
