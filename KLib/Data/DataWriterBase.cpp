#include "KLib/Data/DataWriterBase.h"

#include "KLib/Data/ByteOrder.h"

#include <algorithm>

namespace KLib {

bool DataWriterBase::writeU16(std::uint16_t value) {
    unsigned char bytes[2];
    encodeUnsigned(value, byteSwap_, bytes);
    return write(bytes, sizeof bytes);
}

bool DataWriterBase::writeU32(std::uint32_t value) {
    unsigned char bytes[4];
    encodeUnsigned(value, byteSwap_, bytes);
    return write(bytes, sizeof bytes);
}

bool DataWriterBase::writeS32(std::int32_t value) {
    return writeU32(static_cast<std::uint32_t>(value));
}

bool DataWriterBase::writeZeros(std::size_t count) {
    static const unsigned char zeros[512] = {};
    while (count > 0) {
        const std::size_t chunk = std::min(count, sizeof zeros);
        if (!write(zeros, chunk))
            return false;
        count -= chunk;
    }
    return true;
}

} // namespace KLib
