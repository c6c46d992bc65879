#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <type_traits>

namespace KLib {

// Converts numbers to and from the byte order of a data file independently of the host's own
// order: little-endian unless bigEndian is set.

template <class T> void encodeUnsigned(T value, bool bigEndian, unsigned char* out) {
    static_assert(std::is_unsigned<T>::value, "encode unsigned values only");
    for (std::size_t i = 0; i < sizeof(T); ++i) {
        const std::size_t index = bigEndian ? sizeof(T) - 1 - i : i;
        out[index] = static_cast<unsigned char>(value >> (8 * i));
    }
}

template <class T> T decodeUnsigned(const unsigned char* in, bool bigEndian) {
    static_assert(std::is_unsigned<T>::value, "decode unsigned values only");
    T value = 0;
    for (std::size_t i = 0; i < sizeof(T); ++i) {
        const std::size_t index = bigEndian ? sizeof(T) - 1 - i : i;
        value = static_cast<T>(value | static_cast<T>(in[index]) << (8 * i));
    }
    return value;
}

// Doubles travel as their 8-byte IEEE 754 bit pattern.
static_assert(std::numeric_limits<double>::is_iec559 && sizeof(double) == 8,
              "data files store IEEE 754 doubles");

inline void encodeDouble(double value, bool bigEndian, unsigned char* out) {
    std::uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    encodeUnsigned(bits, bigEndian, out);
}

inline double decodeDouble(const unsigned char* in, bool bigEndian) {
    const std::uint64_t bits = decodeUnsigned<std::uint64_t>(in, bigEndian);
    double value = 0;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

} // namespace KLib
