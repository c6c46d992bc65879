#include "KLib/Data/FileDataWriter.h"

#include <limits>

namespace KLib {

static_assert(sizeof(std::streamoff) >= 8, "data files need 64-bit file positions");

FileDataWriter::FileDataWriter(const std::string& path)
    : stream_(path, std::ios::out | std::ios::binary | std::ios::trunc) {}

FileDataWriter::~FileDataWriter() {
    if (isOpen())
        close();
}

bool FileDataWriter::write(const void* buffer, std::size_t length) {
    if (!isOpen() || stream_.fail())
        return false;
    if (length > static_cast<std::size_t>(std::numeric_limits<std::streamsize>::max()))
        return false;
    stream_.write(static_cast<const char*>(buffer), static_cast<std::streamsize>(length));
    return !stream_.fail();
}

std::int64_t FileDataWriter::seek(std::int64_t offset, SeekOrigin origin) {
    if (!isOpen() || stream_.fail())
        return -1;
    const std::ios::seekdir direction = origin == SeekStart     ? std::ios::beg
                                        : origin == SeekCurrent ? std::ios::cur
                                                                : std::ios::end;
    // Moving the position writes out the buffered bytes first, so a full disk shows up here.
    stream_.seekp(offset, direction);
    if (stream_.fail())
        return -1;
    const std::streamoff position = stream_.tellp();
    return stream_.fail() ? -1 : static_cast<std::int64_t>(position);
}

bool FileDataWriter::close() {
    if (!isOpen())
        return false;
    const bool written = !stream_.fail();
    stream_.close();
    return written && !stream_.fail();
}

} // namespace KLib
