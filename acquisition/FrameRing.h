#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <vector>

// The byte ring between the reader thread and the hand-over thread. It only ever holds whole
// frames, and it never overwrites bytes that have not been taken yet: frames that do not fit are
// dropped and counted, and the frame counter then shows the gap to the decoder.
class FrameRing {
public:
    static constexpr int defaultCapacity = 32000000; // bytes

    explicit FrameRing(int capacity = defaultCapacity);
    FrameRing(const FrameRing&) = delete;
    FrameRing& operator=(const FrameRing&) = delete;

    int capacity() const { return capacity_; }

    // Stores the frames in `bytes` (byteCount / frameSize whole frames; a trailing part frame is
    // ignored) in order. Frames from the first one that would overwrite unread bytes on are
    // dropped. Returns the number of frames stored.
    int store(const std::uint8_t* bytes, int byteCount, int frameSize);

    // Copies every waiting byte to dest (in two pieces when they wrap round the ring end) and
    // marks them taken. Returns the bytes copied, or -1 without taking anything when
    // destCapacity is below what is waiting.
    // droppedBehind, when given, receives the frames dropped since the previous take. The ring
    // drops only while it is full, and it stays full until it is taken from, so all of them
    // belong after the last frame taken now and before the first frame stored next.
    int takeAll(std::uint8_t* dest, int destCapacity, std::int64_t* droppedBehind = nullptr);

    // Forgets what is waiting: both indices go back to 0.
    void clear();

    int waitingBytes() const;
    int writeIndex() const;
    int readIndex() const;
    // Frames dropped because the ring was full, since construction.
    std::int64_t droppedFrames() const { return droppedFrames_.load(std::memory_order_relaxed); }

private:
    int waitingLocked() const;

    const int capacity_;
    mutable std::mutex lock_; // guards the indices and the bytes they bound
    std::mutex takeLock_;     // one take or clear at a time; store() never takes it
    std::vector<std::uint8_t> bytes_;
    // One byte always stays free, so that equal indices mean "empty", never "full".
    int writeIndex_ = 0;
    int readIndex_ = 0;
    std::atomic<std::int64_t> droppedFrames_{0};
    std::int64_t droppedSinceTake_ = 0; // guarded by lock_
};
