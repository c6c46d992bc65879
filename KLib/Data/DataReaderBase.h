#pragma once

#include "KLib/Data/SeekOrigin.h"

#include <cstddef>
#include <cstdint>

namespace KLib {

// Abstract source of bytes. Numbers read through the helpers below are taken as little-endian,
// or as big-endian when the byte-swap flag is set.
class DataReaderBase {
public:
    DataReaderBase() = default;
    DataReaderBase(const DataReaderBase&) = delete;
    DataReaderBase& operator=(const DataReaderBase&) = delete;
    virtual ~DataReaderBase() = default;

    // Returns the number of bytes delivered, fewer than length at the end of the data.
    virtual std::size_t read(void* buffer, std::size_t length) = 0;
    // Returns the new position in bytes from the start, or -1 on failure.
    virtual std::int64_t seek(std::int64_t offset, SeekOrigin origin) = 0;
    virtual void close() = 0;
    // Bytes from the start to the read position, and bytes the source holds in all; readers
    // check every length found in the data against them.
    virtual std::int64_t position() const = 0;
    virtual std::int64_t size() const = 0;

    bool byteSwap() const { return byteSwap_; }
    void setByteSwap(bool swap) { byteSwap_ = swap; }

    // Each returns false unless all of the bytes were delivered.
    bool readExact(void* buffer, std::size_t length);
    bool readU32(std::uint32_t& value);
    bool readS32(std::int32_t& value);

private:
    bool byteSwap_ = false;
};

} // namespace KLib
