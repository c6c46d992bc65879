#include "files/WrittenPages.h"

#include <fcntl.h>

void WrittenPages::settle(int fd, std::uint64_t end) {
    if (handed_ > dropped_) {
        const auto from = static_cast<off_t>(dropped_);
        const auto length = static_cast<off_t>(handed_ - dropped_);
        // Usually on disk already; waiting here is the back-pressure of a disk that can't keep
        // up, which would otherwise come from the kernel at a moment of its choosing.
        sync_file_range(fd, from, length,
                        SYNC_FILE_RANGE_WAIT_BEFORE | SYNC_FILE_RANGE_WRITE |
                            SYNC_FILE_RANGE_WAIT_AFTER);
        posix_fadvise(fd, from, length, POSIX_FADV_DONTNEED);
        dropped_ = handed_;
    }
    if (end > handed_) {
        sync_file_range(fd, static_cast<off_t>(handed_), static_cast<off_t>(end - handed_),
                        SYNC_FILE_RANGE_WRITE);
        handed_ = end;
    }
}
