#include "acquisition/FrameRing.h"

#include <algorithm>
#include <cstring>

FrameRing::FrameRing(int capacity)
    : capacity_(std::max(capacity, 2)), bytes_(static_cast<size_t>(capacity_), 0) {}

int FrameRing::waitingLocked() const {
    const int waiting = writeIndex_ - readIndex_;
    return waiting < 0 ? waiting + capacity_ : waiting;
}

int FrameRing::store(const std::uint8_t* bytes, int byteCount, int frameSize) {
    if (frameSize <= 0 || byteCount < frameSize)
        return 0;
    const int frames = byteCount / frameSize;
    std::lock_guard<std::mutex> guard(lock_);
    const int freeBytes = capacity_ - 1 - waitingLocked();
    const int stored = std::min(frames, freeBytes / frameSize);
    if (stored < frames) {
        droppedFrames_.fetch_add(frames - stored, std::memory_order_relaxed);
        droppedSinceTake_ += frames - stored;
    }
    if (stored == 0)
        return 0;
    const int length = stored * frameSize;
    const int firstPiece = std::min(length, capacity_ - writeIndex_);
    std::memcpy(&bytes_[static_cast<size_t>(writeIndex_)], bytes, static_cast<size_t>(firstPiece));
    std::memcpy(bytes_.data(), bytes + firstPiece, static_cast<size_t>(length - firstPiece));
    writeIndex_ = (writeIndex_ + length) % capacity_;
    return stored;
}

int FrameRing::takeAll(std::uint8_t* dest, int destCapacity, std::int64_t* droppedBehind) {
    // The copy runs outside the lock that store() takes, so that the reader thread goes on
    // storing into the free part meanwhile: a backlog of 30 MB takes milliseconds to copy, and
    // the box holds only some 20 ms of frames at its highest rate. The bytes copied stay
    // unread, and so are never written, until readIndex_ moves past them at the end.
    std::lock_guard<std::mutex> taking(takeLock_);
    int waiting = 0;
    int first = 0;
    {
        std::lock_guard<std::mutex> guard(lock_);
        waiting = waitingLocked();
        if (waiting > destCapacity)
            return -1;
        if (droppedBehind)
            *droppedBehind = droppedSinceTake_;
        droppedSinceTake_ = 0;
        first = readIndex_;
    }
    if (waiting == 0)
        return 0;
    const int firstPiece = std::min(waiting, capacity_ - first);
    std::memcpy(dest, &bytes_[static_cast<size_t>(first)], static_cast<size_t>(firstPiece));
    std::memcpy(dest + firstPiece, bytes_.data(), static_cast<size_t>(waiting - firstPiece));
    std::lock_guard<std::mutex> guard(lock_);
    readIndex_ = (first + waiting) % capacity_;
    return waiting;
}

void FrameRing::clear() {
    // Waits for a copy in progress, whose bytes the reader could otherwise store over.
    std::lock_guard<std::mutex> taking(takeLock_);
    std::lock_guard<std::mutex> guard(lock_);
    writeIndex_ = 0;
    readIndex_ = 0;
    droppedSinceTake_ = 0;
}

int FrameRing::waitingBytes() const {
    std::lock_guard<std::mutex> guard(lock_);
    return waitingLocked();
}

int FrameRing::writeIndex() const {
    std::lock_guard<std::mutex> guard(lock_);
    return writeIndex_;
}

int FrameRing::readIndex() const {
    std::lock_guard<std::mutex> guard(lock_);
    return readIndex_;
}
