#include "KLib/Data/FileDataReader.h"

#include <limits>

namespace KLib {

static_assert(sizeof(std::streamoff) >= 8, "data files need 64-bit file positions");

FileDataReader::FileDataReader(const std::string& path)
    : stream_(path, std::ios::in | std::ios::binary) {
    if (!isOpen())
        return;
    // A file whose size cannot be told (a pipe, for instance) is of no use to a reader that
    // checks every length against it.
    stream_.seekg(0, std::ios::end);
    const std::streamoff end = stream_.tellg();
    stream_.seekg(0, std::ios::beg);
    if (stream_.fail() || end < 0) {
        stream_.close();
        return;
    }
    size_ = static_cast<std::int64_t>(end);
}

std::size_t FileDataReader::read(void* buffer, std::size_t length) {
    if (!isOpen() || length == 0)
        return 0;
    if (length > static_cast<std::size_t>(std::numeric_limits<std::streamsize>::max()))
        return 0;
    stream_.read(static_cast<char*>(buffer), static_cast<std::streamsize>(length));
    const std::size_t delivered = static_cast<std::size_t>(stream_.gcount());
    // A short read leaves the stream in a failed state; clear it so that later seeks work.
    if (delivered < length)
        stream_.clear();
    if (delivered == 0)
        endOfFile_ = true;
    position_ += static_cast<std::int64_t>(delivered);
    return delivered;
}

std::int64_t FileDataReader::seek(std::int64_t offset, SeekOrigin origin) {
    if (!isOpen())
        return -1;
    const std::ios::seekdir direction = origin == SeekStart     ? std::ios::beg
                                        : origin == SeekCurrent ? std::ios::cur
                                                                : std::ios::end;
    stream_.clear();
    stream_.seekg(offset, direction);
    const std::streamoff position = stream_.tellg();
    if (stream_.fail() || position < 0) {
        stream_.clear();
        return -1;
    }
    endOfFile_ = false;
    position_ = static_cast<std::int64_t>(position);
    return position_;
}

void FileDataReader::close() {
    if (isOpen())
        stream_.close();
}

} // namespace KLib
