#pragma once

#include <cstdint>

// The page cache of a file written from start to end, as a recording writes it: at every call,
// what was written since the last one is handed to the disk, and what was handed over the time
// before is waited for and dropped from the cache. An hours-long recording then keeps about two
// calls' worth of the file in memory instead of filling the machine's memory with pages nobody
// reads again, and the cache reuses its pages instead of taking fresh ones, which cost dearly in
// a virtual machine. Rewriting a dropped page costs only a read of it.
class WrittenPages {
public:
    // `end`: bytes of the file written so far. Errors are left to the writes: this only spares
    // memory.
    void settle(int fd, std::uint64_t end);

private:
    std::uint64_t dropped_ = 0; // bytes from the start no longer cached
    std::uint64_t handed_ = 0;  // bytes from the start whose writing to disk has begun
};
