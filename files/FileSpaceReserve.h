#pragma once

#include <cstdint>
#include <string>

// Keeps disk space allocated beyond the end of a file that another library writes, so that its
// writes below the end that makeRoom() accepted meet neither a full disk nor the process's file
// size limit (ulimit -f) and the writer can stop in time, with room left to complete the file.
// The reserve does not count in the file's size; release() gives back what the file did not use.
class FileSpaceReserve {
public:
    // Reserves for the existing file at path.
    explicit FileSpaceReserve(const std::string& path);
    ~FileSpaceReserve();
    FileSpaceReserve(const FileSpaceReserve&) = delete;
    FileSpaceReserve& operator=(const FileSpaceReserve&) = delete;

    // Makes sure the file can grow to `end` bytes. Returns 0, or the system's reason why it
    // can't: ENOSPC or EDQUOT for a full disk or quota, EFBIG for the file size limit.
    int makeRoom(std::uint64_t end);
    // Frees the reserve beyond the file's end and lets go of the file, which is left as it is.
    // Returns false when the reserve stays allocated.
    bool release();

private:
    // Where the file system can't reserve: whether its free space holds the file up to `end`.
    int freeSpaceFor(std::uint64_t end) const;

    int fd_ = -1;
    std::uint64_t reserved_ = 0; // bytes from the file's start that the disk holds for it
    bool reserves_ = true;       // false where the file system can't reserve
};
