#pragma once

#include "acquisition/FrameRing.h"

#include <atomic>
#include <cstdint>
#include <vector>

// The transfer buffer between the hand-over thread and the user-interface thread, with the
// flags that pass it back and forth without a lock:
//  - the user-interface thread asks for data (requestData, once per data tick);
//  - the hand-over thread, when data is wanted and the buffer is free, moves everything waiting
//    in the ring into the buffer, publishes the byte count and marks the buffer held;
//  - the user-interface thread reads the buffer and then releases it (release).
// The buffer is never refilled while held, even when a second tick asks for data before the
// first delivery has been read: that request is served after the release.
class Handover {
public:
    explicit Handover(int capacity = FrameRing::defaultCapacity);
    Handover(const Handover&) = delete;
    Handover& operator=(const Handover&) = delete;

    // User-interface thread.
    void requestData() { dataWanted_.store(true, std::memory_order_release); }
    bool dataWanted() const { return dataWanted_.load(std::memory_order_acquire); }
    // Bytes delivered in the held buffer; 0 when the buffer is not held.
    int deliveredBytes() const;
    // Frames the ring dropped right after the delivered ones; 0 when the buffer is not held.
    std::int64_t droppedBehind() const;
    const std::uint8_t* bytes() const { return buffer_.data(); }
    void release() { held_.store(false, std::memory_order_release); }
    // A new recording begins, after the ring was emptied: deliveries filled before are stale.
    void beginRecording() { recording_.fetch_add(1, std::memory_order_acq_rel); }
    // Whether the held delivery was filled for the recording that runs now.
    bool deliveryIsCurrent() const {
        return deliveredFor_.load(std::memory_order_acquire) ==
               recording_.load(std::memory_order_acquire);
    }

    // Hand-over thread.
    bool ready() const { return dataWanted() && !held_.load(std::memory_order_acquire); }
    // When ready, empties the ring into the buffer and passes the buffer on; true when it did
    // (the caller then tells the user-interface thread). Nothing waiting still counts: it
    // delivers 0 bytes.
    bool fill(FrameRing& ring);

private:
    std::vector<std::uint8_t> buffer_;
    std::atomic<bool> dataWanted_{false};
    std::atomic<bool> held_{false};
    std::atomic<int> delivered_{0};              // bytes; written before held_ is set
    std::atomic<std::int64_t> droppedBehind_{0}; // frames; written before held_ is set
    std::atomic<std::uint32_t> recording_{0};    // counts the recordings begun
    std::atomic<std::uint32_t> deliveredFor_{0}; // the recording the held delivery belongs to
};
