#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// A file that lives in memory (a Linux memfd), for readers that only take a path. Each input of
// a fuzz target replaces its content; opening the path gives a fresh stream at its start.
class MemoryFile {
public:
    MemoryFile();
    ~MemoryFile();
    MemoryFile(const MemoryFile&) = delete;
    MemoryFile& operator=(const MemoryFile&) = delete;

    // Replaces the content with the bytes and returns the path to open it by.
    const std::string& replace(const std::uint8_t* data, std::size_t size);

private:
    int fd_ = -1;
    std::string path_;
};
