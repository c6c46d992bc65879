#pragma once

#include "KLib/IO/IODevice.h"
#include "acquisition/FrameRing.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

// Frames built field by field, little-endian; byte 0 is filler.
class FrameStream {
public:
    explicit FrameStream(int frameSize) : size_(static_cast<size_t>(frameSize)) {}
    FrameStream& frame(int counter) {
        at_ = bytes.size();
        bytes.resize(at_ + size_, 0xA5);
        return put(1, static_cast<std::uint32_t>(counter), 2);
    }
    FrameStream& put(int offset, std::uint32_t value, int size) {
        for (int i = 0; i < size; ++i)
            bytes.at(at_ + static_cast<size_t>(offset + i)) = std::uint8_t(value >> (8 * i));
        return *this;
    }
    const std::uint8_t* data() const { return bytes.data(); }
    int frames() const { return static_cast<int>(bytes.size() / size_); }
    Bytes bytes;

private:
    size_t size_;
    size_t at_ = 0;
};

// `count` frames with consecutive counters from `first`; the last byte numbers the frame.
inline Bytes countedFrames(int frameSize, int count, int first = 0) {
    FrameStream stream(frameSize);
    for (int i = first; i < first + count; ++i)
        stream.frame(i).put(frameSize - 1, static_cast<std::uint32_t>(i), 1);
    return stream.bytes;
}

template <class T> std::vector<T> part(const std::vector<T>& all, size_t from, size_t to) {
    return std::vector<T>(all.begin() + std::ptrdiff_t(from), all.begin() + std::ptrdiff_t(to));
}

inline Bytes takeAll(FrameRing& ring) {
    Bytes dest(static_cast<size_t>(ring.capacity()));
    dest.resize(static_cast<size_t>(std::max(ring.takeAll(dest.data(), ring.capacity()), 0)));
    return dest;
}

// A data pipe playing a script of reads: bytes, a time-out (0) or a failure (-1); once the
// script is played every read times out. Thread-safe.
class ScriptedPipe : public KLib::IODevice {
public:
    // An empty step times out, `failure` fails. Returns the reads made so far: the steps are
    // played by the reads that follow.
    int script(std::vector<Bytes> steps) {
        std::lock_guard<std::mutex> guard(lock_);
        steps_.assign(steps.begin(), steps.end());
        return reads_;
    }
    int read(void* buffer, int length) override {
        std::lock_guard<std::mutex> guard(lock_);
        ++reads_;
        lengths.push_back(length);
        if (steps_.empty())
            return 0;
        const Bytes step = steps_.front();
        steps_.pop_front();
        if (step.empty())
            return 0;
        if (step == failure)
            return -1;
        const int got = std::min(length, static_cast<int>(step.size()));
        std::memcpy(buffer, step.data(), static_cast<size_t>(got));
        return got;
    }
    int write(const void*, int) override { return -1; }
    void drain() override {}
    int close() override { return 0; }
    int reads() {
        std::lock_guard<std::mutex> guard(lock_);
        return reads_;
    }

    inline static const Bytes failure{0xFF, 0xFF};
    std::vector<int> lengths; // requested by each read; read it once the reader is idle

private:
    std::mutex lock_;
    std::deque<Bytes> steps_;
    int reads_ = 0;
};

// Waits for the condition; false only when it never comes, i.e. the code under test hangs.
template <class Condition> bool eventually(Condition condition) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}
