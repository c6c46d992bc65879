#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <utility>

namespace boxsim {

// The box's sample memory: whole frames wait here until USB takes them. It has a fixed size;
// a frame that does not fit is lost (the frame counter shows the gap on the host).
class FrameFifo {
public:
    explicit FrameFifo(size_t capacityBytes) : capacity_(capacityBytes) {}

    // False, storing nothing, when the frame does not fit.
    bool push(std::string_view frame);
    // The oldest whole frames up to `maxBytes` in all, at least one frame if any is waiting.
    std::string pop(size_t maxBytes);
    void clear();

    size_t bytes() const { return data_.size() - head_; }
    size_t capacity() const { return capacity_; }

private:
    size_t capacity_;
    std::string data_;
    size_t head_ = 0;
    std::deque<std::pair<size_t, size_t>> runs_; // frame size, number of frames of that size
};

} // namespace boxsim
