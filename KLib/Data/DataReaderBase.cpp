#include "KLib/Data/DataReaderBase.h"

#include "KLib/Data/ByteOrder.h"

namespace KLib {

bool DataReaderBase::readExact(void* buffer, std::size_t length) {
    return length == 0 || read(buffer, length) == length;
}

bool DataReaderBase::readU32(std::uint32_t& value) {
    unsigned char bytes[4];
    if (!readExact(bytes, sizeof bytes))
        return false;
    value = decodeUnsigned<std::uint32_t>(bytes, byteSwap_);
    return true;
}

bool DataReaderBase::readS32(std::int32_t& value) {
    std::uint32_t bits = 0;
    if (!readU32(bits))
        return false;
    value = static_cast<std::int32_t>(bits);
    return true;
}

} // namespace KLib
