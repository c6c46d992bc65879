#pragma once

#include <cstddef>
#include <cstdint>

// Numbers of the MATLAB level-5 MAT-file format shared by the writer and the reader. Every
// element and sub-element starts with an 8-byte tag (data type u32, byte count u32), and its
// data is padded with zero bytes to a multiple of 8.
namespace KLib::Matlab {

// Data types of sub-element tags. The writer uses Int8 (names), UInt16 (characters), Int32
// (dimensions, field-name length), UInt32 (array flags), Double and Matrix; the others appear in
// files of other programs: numbers stored in the smallest type that holds them, 8-bit characters
// and whole elements compressed with zlib.
constexpr std::uint32_t TypeInt8 = 1;
constexpr std::uint32_t TypeUInt8 = 2;
constexpr std::uint32_t TypeInt16 = 3;
constexpr std::uint32_t TypeUInt16 = 4;
constexpr std::uint32_t TypeInt32 = 5;
constexpr std::uint32_t TypeUInt32 = 6;
constexpr std::uint32_t TypeSingle = 7;
constexpr std::uint32_t TypeDouble = 9;
constexpr std::uint32_t TypeInt64 = 12;
constexpr std::uint32_t TypeUInt64 = 13;
constexpr std::uint32_t TypeMatrix = 14;     // a whole array element
constexpr std::uint32_t TypeCompressed = 15; // a zlib stream holding one array element
constexpr std::uint32_t TypeUtf8 = 16;
constexpr std::uint32_t TypeUtf16 = 17;

// Array classes, the low byte of the first array-flags word.
constexpr std::uint8_t ClassEndOfFile = 0; // no element: the file ended
constexpr std::uint8_t ClassStruct = 2;
constexpr std::uint8_t ClassChar = 4;
constexpr std::uint8_t ClassDouble = 6;

// File header: 116 bytes of text, 8 bytes subsystem offset, u16 version, u16 endian indicator.
constexpr std::size_t HeaderTextBytes = 116;
constexpr std::size_t HeaderSubsystemBytes = 8;
constexpr std::uint16_t Version = 0x0100;
// Reads "IM" in a little-endian file and "MI" in a big-endian one.
constexpr std::uint16_t EndianIndicator = 0x4D49;

// Structures store their field names in fixed slots of 32 bytes: up to 31 characters, then NULs.
constexpr std::uint32_t FieldNameBytes = 32;
// The field-name length travels as a small element: type in the low 16 bits of one u32, byte
// count (4) in the high 16 bits, then the 4 data bytes.
constexpr std::uint32_t FieldNameLengthTag = (4u << 16) | TypeInt32;

// A sub-element of at most 4 bytes may use the small form: one u32 with the type in its low and
// the byte count in its high 16 bits, then the data in the next 4 bytes.
constexpr std::uint32_t SmallElementBytes = 4;

// Largest byte count a tag can hold.
constexpr std::uint64_t MaxTagBytes = 0xFFFFFFFFu;

constexpr std::uint64_t padded(std::uint64_t bytes) {
    return (bytes + 7) / 8 * 8;
}

} // namespace KLib::Matlab
