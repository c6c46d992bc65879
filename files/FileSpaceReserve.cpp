#include "files/FileSpaceReserve.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>

namespace {

// Reserved beyond what is asked while the disk has it, so that the disk is asked about every
// 16 MiB, a few seconds of the fastest recording, instead of at every write.
constexpr std::uint64_t ReserveAheadBytes = 16 << 20;

bool diskFull(int error) {
    return error == ENOSPC || error == EDQUOT;
}

} // namespace

FileSpaceReserve::FileSpaceReserve(const std::string& path)
    : fd_(::open(path.c_str(), O_WRONLY | O_CLOEXEC)) {}

FileSpaceReserve::~FileSpaceReserve() {
    release();
}

int FileSpaceReserve::makeRoom(std::uint64_t end) {
    // A reserve beyond the file's end is not checked against the limit; writes are.
    rlimit limit{};
    if (getrlimit(RLIMIT_FSIZE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY &&
        end > limit.rlim_cur)
        return EFBIG;
    if (end <= reserved_)
        return 0;
    if (!reserves_)
        return freeSpaceFor(end);
    int error = 0;
    for (const std::uint64_t target : {end + ReserveAheadBytes, end}) {
        if (fallocate(fd_, FALLOC_FL_KEEP_SIZE, static_cast<off_t>(reserved_),
                      static_cast<off_t>(target - reserved_)) == 0) {
            reserved_ = target;
            return 0;
        }
        error = errno;
        if (!diskFull(error))
            break;
    }
    if (diskFull(error) || error == EFBIG)
        return error;
    reserves_ = false;
    return freeSpaceFor(end);
}

bool FileSpaceReserve::release() {
    if (fd_ < 0)
        return true;
    // Cutting a file to its own size frees the blocks allocated beyond its end.
    struct stat file {};
    const bool freed =
        reserved_ == 0 || (fstat(fd_, &file) == 0 && ftruncate(fd_, file.st_size) == 0);
    ::close(fd_);
    fd_ = -1;
    return freed;
}

int FileSpaceReserve::freeSpaceFor(std::uint64_t end) const {
    struct stat file {};
    struct statvfs disk {};
    if (fstat(fd_, &file) != 0 || fstatvfs(fd_, &disk) != 0)
        return 0;
    const std::uint64_t size = static_cast<std::uint64_t>(file.st_size);
    const std::uint64_t free = static_cast<std::uint64_t>(disk.f_bavail) * disk.f_frsize;
    return end > size && end - size > free ? ENOSPC : 0;
}
