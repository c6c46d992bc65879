#pragma once

#include "acquisition/FrameRing.h"
#include "acquisition/Handover.h"

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>

// The hand-over thread: each time the user-interface thread asks for data and has released the
// previous delivery, it empties the ring into the transfer buffer and calls dataArrived (on this
// thread; the window posts itself an event there). A delivery of 0 bytes is announced as well.
class GetData_Thread {
public:
    GetData_Thread(FrameRing& ring, std::function<void()> dataArrived);
    ~GetData_Thread(); // stops the thread
    GetData_Thread(const GetData_Thread&) = delete;
    GetData_Thread& operator=(const GetData_Thread&) = delete;

    // Starts the loop; false when it already runs or the thread could not be created.
    bool start();
    // Asks the loop to end after its current pass and waits for it.
    void stop();

    // User-interface thread: the data tick.
    void requestData();
    bool dataWanted() const { return handover_.dataWanted(); }
    // User-interface thread, after dataArrived: the delivered bytes, valid until released.
    const std::uint8_t* transferBuffer() const { return handover_.bytes(); }
    int deliveredBytes() const { return handover_.deliveredBytes(); }
    // User-interface thread: the delivery has been read; the next one may be filled.
    void releaseTransferBuffer();

    // Deliveries made so far.
    std::int64_t deliveries() const { return deliveries_.load(std::memory_order_acquire); }

private:
    void run();
    void wake();

    FrameRing& ring_;
    Handover handover_;
    std::function<void()> dataArrived_;
    std::atomic<std::int64_t> deliveries_{0};

    std::mutex wakeLock_;
    std::condition_variable wakeSignal_;
    bool stopping_ = false; // guarded by wakeLock_
    std::thread thread_;
};
