#pragma once

#include "KLib/IO/IODevice.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// A pipe from the box that plays back pieces of bytes: a read delivers from one piece only, as
// much as it asks for, and an empty piece is a read that times out. Once every piece is played,
// reads time out, or, when repeating, the pieces start over like a box that never stops
// sending. Writes are accepted and forgotten.
class ReplayPipe : public KLib::IODevice {
public:
    explicit ReplayPipe(bool repeat) : repeat_(repeat) {}

    void add(const std::uint8_t* data, std::size_t size);

    int read(void* buffer, int length) override;
    int write(const void*, int length) override { return length; }
    void drain() override {}
    int close() override { return 0; }

private:
    std::vector<std::string> pieces_;
    std::size_t next_ = 0;   // piece being played
    std::size_t offset_ = 0; // bytes of it already delivered
    bool repeat_;
};
