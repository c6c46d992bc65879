#include "KLib/IO/USB/ByteQueue.h"

#include <algorithm>
#include <cstring>

namespace KLib {
namespace USB {

bool ByteQueue::push(std::vector<std::uint8_t> block) {
    if (block.empty())
        return true;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (closed_ || queued_ + block.size() > limit_) {
            dropped_ += block.size();
            return false;
        }
        queued_ += block.size();
        blocks_.push_back(std::move(block));
    }
    arrived_.notify_all();
    return true;
}

int ByteQueue::pop(void* destination, int length, std::chrono::milliseconds timeout) {
    if (length <= 0)
        return 0;
    std::unique_lock<std::mutex> lock(mutex_);
    arrived_.wait_for(lock, timeout, [this] { return queued_ > 0 || closed_; });
    if (queued_ == 0)
        return closed_ ? -1 : 0;
    auto* out = static_cast<std::uint8_t*>(destination);
    std::size_t copied = 0;
    while (copied < static_cast<std::size_t>(length) && !blocks_.empty()) {
        std::vector<std::uint8_t>& front = blocks_.front();
        const std::size_t n =
            std::min(front.size() - frontOffset_, static_cast<std::size_t>(length) - copied);
        std::memcpy(out + copied, front.data() + frontOffset_, n);
        copied += n;
        frontOffset_ += n;
        if (frontOffset_ == front.size()) {
            blocks_.pop_front();
            frontOffset_ = 0;
        }
    }
    queued_ -= copied;
    return static_cast<int>(copied);
}

std::size_t ByteQueue::discard() {
    std::lock_guard<std::mutex> lock(mutex_);
    const std::size_t n = queued_;
    blocks_.clear();
    frontOffset_ = 0;
    queued_ = 0;
    return n;
}

void ByteQueue::drain(int passes, std::chrono::milliseconds passMs) {
    std::uint8_t scratch[1024];
    for (int pass = 0; pass < passes; ++pass) {
        const bool hadBytes = discard() > 0;
        if (pop(scratch, sizeof scratch, passMs) <= 0 && !hadBytes)
            return;
    }
}

void ByteQueue::close() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        closed_ = true;
    }
    arrived_.notify_all();
}

std::size_t ByteQueue::droppedBytes() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return dropped_;
}

std::size_t ByteQueue::queuedBytes() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return queued_;
}

} // namespace USB
} // namespace KLib
