#pragma once

#include <cstddef>
#include <cstdint>

// Numbers of the MATLAB level-5 MAT-file format shared by the writer and the reader. Every
// element and sub-element starts with an 8-byte tag (data type u32, byte count u32), and its
// data is padded with zero bytes to a multiple of 8.
namespace KLib::Matlab {

// Data types of sub-element tags.
constexpr std::uint32_t TypeInt8 = 1;    // names
constexpr std::uint32_t TypeUInt16 = 4;  // characters
constexpr std::uint32_t TypeInt32 = 5;   // dimensions, field-name length
constexpr std::uint32_t TypeUInt32 = 6;  // array flags
constexpr std::uint32_t TypeDouble = 9;  // real values
constexpr std::uint32_t TypeMatrix = 14; // a whole array element

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

// Largest byte count a tag can hold.
constexpr std::uint64_t MaxTagBytes = 0xFFFFFFFFu;

constexpr std::uint64_t padded(std::uint64_t bytes) {
    return (bytes + 7) / 8 * 8;
}

} // namespace KLib::Matlab
