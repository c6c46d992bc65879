#include "fuzz/MemoryFile.h"

#include <cstdlib>
#include <sys/mman.h>
#include <unistd.h>

MemoryFile::MemoryFile() : fd_(::memfd_create("orva-fuzz-input", 0)) {
    // Without the file no input can be read; running on would only report false findings.
    if (fd_ < 0)
        std::abort();
    path_ = "/proc/self/fd/" + std::to_string(fd_);
}

MemoryFile::~MemoryFile() {
    ::close(fd_);
}

const std::string& MemoryFile::replace(const std::uint8_t* data, std::size_t size) {
    std::size_t written = 0;
    if (::ftruncate(fd_, 0) != 0)
        std::abort();
    while (written < size) {
        const ssize_t n =
            ::pwrite(fd_, data + written, size - written, static_cast<off_t>(written));
        if (n <= 0)
            std::abort();
        written += static_cast<std::size_t>(n);
    }
    return path_;
}
