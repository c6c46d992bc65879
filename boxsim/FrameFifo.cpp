#include "boxsim/FrameFifo.h"

namespace boxsim {

bool FrameFifo::push(std::string_view frame) {
    if (frame.empty() || bytes() + frame.size() > capacity_) {
        return false;
    }
    if (head_ > 0 && head_ >= data_.size() / 2) {
        data_.erase(0, head_); // keeps the buffer from creeping
        head_ = 0;
    }
    data_.append(frame);
    if (!runs_.empty() && runs_.back().first == frame.size()) {
        ++runs_.back().second;
    } else {
        runs_.emplace_back(frame.size(), 1);
    }
    return true;
}

std::string FrameFifo::pop(size_t maxBytes) {
    size_t take = 0;
    while (!runs_.empty()) {
        auto& [size, count] = runs_.front();
        size_t frames = (take < maxBytes ? maxBytes - take : 0) / size;
        if (frames == 0 && take == 0) {
            frames = 1;
        }
        if (frames == 0) {
            break;
        }
        frames = frames < count ? frames : count;
        take += frames * size;
        count -= frames;
        if (count > 0) {
            break;
        }
        runs_.pop_front();
    }
    std::string out = data_.substr(head_, take);
    head_ += take;
    if (head_ == data_.size()) {
        clear();
    }
    return out;
}

void FrameFifo::clear() {
    data_.clear();
    head_ = 0;
    runs_.clear();
}

} // namespace boxsim
