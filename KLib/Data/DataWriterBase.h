#pragma once

#include "KLib/Data/SeekOrigin.h"

#include <cstddef>
#include <cstdint>

namespace KLib {

// Abstract sink of bytes. Numbers written through the helpers below come out little-endian, or
// big-endian when the byte-swap flag is set.
class DataWriterBase {
public:
    DataWriterBase() = default;
    DataWriterBase(const DataWriterBase&) = delete;
    DataWriterBase& operator=(const DataWriterBase&) = delete;
    virtual ~DataWriterBase() = default;

    // Returns false unless all length bytes were accepted.
    virtual bool write(const void* buffer, std::size_t length) = 0;
    // Returns the new position in bytes from the start, or -1 on failure. A seek by 0 from
    // SeekCurrent tells the position.
    virtual std::int64_t seek(std::int64_t offset, SeekOrigin origin) = 0;
    // Returns false when the sink was not open or when data could not be stored.
    virtual bool close() = 0;

    bool byteSwap() const { return byteSwap_; }
    void setByteSwap(bool swap) { byteSwap_ = swap; }

    bool writeU16(std::uint16_t value);
    bool writeU32(std::uint32_t value);
    bool writeS32(std::int32_t value);
    bool writeZeros(std::size_t count);

private:
    bool byteSwap_ = false;
};

} // namespace KLib
