#include "KLib/Data/MatlabValues.h"

#include "KLib/Data/ByteOrder.h"
#include "KLib/Data/MatlabFormat.h"

#include <cstring>

namespace KLib::Matlab {

namespace {

template <class Bits, class Value>
void decodeAs(const unsigned char* in, std::size_t count, bool bigEndian, double* out) {
    for (std::size_t i = 0; i < count; ++i) {
        const Bits bits = decodeUnsigned<Bits>(in + i * sizeof(Bits), bigEndian);
        Value value;
        std::memcpy(&value, &bits, sizeof value);
        out[i] = static_cast<double>(value);
    }
}

// Appends the Latin-1 form of UTF-8 bytes.
void appendUtf8(const unsigned char* in, std::size_t bytes, std::string& text) {
    for (std::size_t i = 0; i < bytes;) {
        const unsigned char lead = in[i];
        const std::size_t length = lead < 0x80             ? 1
                                   : (lead & 0xE0) == 0xC0 ? 2
                                   : (lead & 0xF0) == 0xE0 ? 3
                                   : (lead & 0xF8) == 0xF0 ? 4
                                                           : 0;
        bool valid = length != 0 && length <= bytes - i;
        std::uint32_t code = valid ? lead & (0xFFu >> (length + (length > 1))) : 0;
        for (std::size_t k = 1; valid && k < length; ++k) {
            valid = (in[i + k] & 0xC0) == 0x80;
            code = code << 6 | (in[i + k] & 0x3F);
        }
        text.push_back(valid && code <= 0xFF ? static_cast<char>(code) : '?');
        i += valid ? length : 1;
    }
}

} // namespace

std::size_t numberBytes(std::uint32_t type) {
    switch (type) {
    case TypeInt8:
    case TypeUInt8:
        return 1;
    case TypeInt16:
    case TypeUInt16:
        return 2;
    case TypeInt32:
    case TypeUInt32:
    case TypeSingle:
        return 4;
    case TypeDouble:
    case TypeInt64:
    case TypeUInt64:
        return 8;
    default:
        return 0;
    }
}

void decodeNumbers(std::uint32_t type, const unsigned char* in, std::size_t count, bool bigEndian,
                   double* out) {
    switch (type) {
    case TypeInt8:
        return decodeAs<std::uint8_t, std::int8_t>(in, count, bigEndian, out);
    case TypeUInt8:
        return decodeAs<std::uint8_t, std::uint8_t>(in, count, bigEndian, out);
    case TypeInt16:
        return decodeAs<std::uint16_t, std::int16_t>(in, count, bigEndian, out);
    case TypeUInt16:
        return decodeAs<std::uint16_t, std::uint16_t>(in, count, bigEndian, out);
    case TypeInt32:
        return decodeAs<std::uint32_t, std::int32_t>(in, count, bigEndian, out);
    case TypeUInt32:
        return decodeAs<std::uint32_t, std::uint32_t>(in, count, bigEndian, out);
    case TypeSingle:
        return decodeAs<std::uint32_t, float>(in, count, bigEndian, out);
    case TypeDouble:
        // Doubles in the host's byte order are their own bytes.
        if (bigEndian == (__BYTE_ORDER__ == __ORDER_BIG_ENDIAN__)) {
            std::memcpy(out, in, 8 * count);
            return;
        }
        return decodeAs<std::uint64_t, double>(in, count, bigEndian, out);
    case TypeInt64:
        return decodeAs<std::uint64_t, std::int64_t>(in, count, bigEndian, out);
    case TypeUInt64:
        return decodeAs<std::uint64_t, std::uint64_t>(in, count, bigEndian, out);
    default:
        return;
    }
}

bool decodeText(std::uint32_t type, const unsigned char* in, std::size_t bytes, std::uint64_t count,
                bool bigEndian, std::string& text) {
    text.clear();
    if (type == TypeUInt16 || type == TypeUtf16) {
        if (bytes % 2 != 0 || bytes / 2 != count)
            return false;
        for (std::size_t i = 0; i < bytes; i += 2)
            text.push_back(
                static_cast<char>(decodeUnsigned<std::uint16_t>(in + i, bigEndian) & 0xFF));
        return true;
    }
    if (type == TypeInt8 || type == TypeUInt8) {
        if (bytes != count)
            return false;
        text.assign(reinterpret_cast<const char*>(in), bytes);
        return true;
    }
    // A character takes 1 to 4 bytes of UTF-8.
    if (type != TypeUtf8 || bytes < count || 4 * count < bytes)
        return false;
    appendUtf8(in, bytes, text);
    // Bytes that are not the count's characters of UTF-8 are damaged, whatever they decode to.
    return text.size() == count;
}

} // namespace KLib::Matlab
