#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <vector>

namespace KLib {
namespace USB {

// Bytes received for one IN endpoint, handed from a transport thread to the pipe's reader.
// Bytes are kept in the blocks in which they arrived, so a full queue refuses whole blocks: a
// stream of whole frames never loses part of a frame.
class ByteQueue {
public:
    explicit ByteQueue(std::size_t limitBytes) : limit_(limitBytes) {}

    // Appends a block; false when it would exceed the limit (the block is dropped and counted)
    // or the queue is closed.
    bool push(std::vector<std::uint8_t> block);
    // Waits up to timeout for at least one byte and copies up to length bytes. Returns the count,
    // 0 on time-out, -1 when the queue is closed and empty.
    int pop(void* destination, int length, std::chrono::milliseconds timeout);
    // Throws away everything waiting; returns the number of bytes.
    std::size_t discard();
    // Empties the queue of a pipe being drained: throws away what is waiting, then keeps
    // throwing away bytes still on their way until a pass of passMs brings none, at most
    // `passes` times.
    void drain(int passes, std::chrono::milliseconds passMs);
    // Wakes every waiter; bytes already queued can still be read.
    void close();

    std::size_t droppedBytes() const;
    std::size_t queuedBytes() const;
    std::size_t limitBytes() const { return limit_; }

private:
    mutable std::mutex mutex_;
    std::condition_variable arrived_;
    std::deque<std::vector<std::uint8_t>> blocks_;
    std::size_t frontOffset_ = 0; // bytes of the front block already handed out
    std::size_t queued_ = 0;
    std::size_t dropped_ = 0;
    std::size_t limit_;
    bool closed_ = false;
};

} // namespace USB
} // namespace KLib
