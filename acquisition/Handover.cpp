#include "acquisition/Handover.h"

#include <algorithm>

Handover::Handover(int capacity) : buffer_(static_cast<size_t>(std::max(capacity, 1)), 0) {}

int Handover::deliveredBytes() const {
    if (!held_.load(std::memory_order_acquire))
        return 0;
    return delivered_.load(std::memory_order_relaxed);
}

std::int64_t Handover::droppedBehind() const {
    if (!held_.load(std::memory_order_acquire))
        return 0;
    return droppedBehind_.load(std::memory_order_relaxed);
}

bool Handover::fill(FrameRing& ring) {
    if (held_.load(std::memory_order_acquire))
        return false;
    // Taken before the ring is emptied, so that a tick arriving meanwhile is served next time.
    if (!dataWanted_.exchange(false, std::memory_order_acq_rel))
        return false;
    // Read before the ring is emptied: a recording begun meanwhile emptied the ring before it
    // counted, so what is taken now belongs to the recording read here or to a later one.
    deliveredFor_.store(recording_.load(std::memory_order_acquire), std::memory_order_relaxed);
    std::int64_t dropped = 0;
    const int copied = ring.takeAll(buffer_.data(), static_cast<int>(buffer_.size()), &dropped);
    delivered_.store(std::max(copied, 0), std::memory_order_relaxed);
    droppedBehind_.store(dropped, std::memory_order_relaxed);
    held_.store(true, std::memory_order_release);
    return true;
}
