#include "KLib/Data/MemoryDataReader.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace KLib {

void MemoryDataReader::assign(std::vector<unsigned char> bytes) {
    bytes_ = std::move(bytes);
    position_ = 0;
}

std::size_t MemoryDataReader::read(void* buffer, std::size_t length) {
    const std::size_t delivered = std::min(length, bytes_.size() - position_);
    if (delivered > 0)
        std::memcpy(buffer, bytes_.data() + position_, delivered);
    position_ += delivered;
    return delivered;
}

std::int64_t MemoryDataReader::seek(std::int64_t offset, SeekOrigin origin) {
    const std::int64_t base = origin == SeekStart ? 0 : origin == SeekCurrent ? position() : size();
    if (offset < -base || offset > size() - base)
        return -1;
    position_ = static_cast<std::size_t>(base + offset);
    return position();
}

void MemoryDataReader::close() {
    bytes_.clear();
    bytes_.shrink_to_fit();
    position_ = 0;
}

} // namespace KLib
