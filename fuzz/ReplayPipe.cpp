#include "fuzz/ReplayPipe.h"

#include <algorithm>
#include <cstring>

void ReplayPipe::add(const std::uint8_t* data, std::size_t size) {
    pieces_.emplace_back(reinterpret_cast<const char*>(data), size);
}

int ReplayPipe::read(void* buffer, int length) {
    if (next_ == pieces_.size() && repeat_)
        next_ = 0;
    if (next_ == pieces_.size() || length <= 0)
        return 0;
    const std::string& piece = pieces_[next_];
    const std::size_t count = std::min(piece.size() - offset_, static_cast<std::size_t>(length));
    std::memcpy(buffer, piece.data() + offset_, count);
    offset_ += count;
    if (offset_ == piece.size()) {
        ++next_;
        offset_ = 0;
    }
    return static_cast<int>(count);
}
