#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The input of the compressed-MAT fuzz target, and of the seeds written for it: the top-level
// elements of a MAT file before compression, which the target deflates with zlib into a file
// as a writer with compression does, so that mutations reach the inflated content.
//
//   byte 0    bit 0: a big-endian file
//   elements  up to the end, each ended by compressedMatElementEnd (the last one by the end):
//     byte 0    bit 0: stored compressed, else as it is; bits 1-2: zlib level 0, 1, 6 or 9;
//               bit 3: one byte of the compressed stream is changed; bit 4: the compressed
//               stream is cut short (its tag counts the bytes that are left)
//     3 bytes   only with bit 3 or 4: where (u16, little-endian, modulo the stream's length),
//               then how much (the byte XORed in, at least 1; or 1 + its low 4 bits: the bytes
//               cut off the end)
//     the rest  the element: tag (type 14 and byte count) and content, in the file's byte order
constexpr char compressedMatElementEnd[] = "\xFE"
                                           "ZL\xFE";
constexpr std::size_t compressedMatElementEndBytes = sizeof compressedMatElementEnd - 1;

namespace CompressedMatFlags {
constexpr std::uint8_t bigEndian = 1;  // byte 0
constexpr std::uint8_t compressed = 1; // each element's first byte
constexpr std::uint8_t levelShift = 1; // two bits
constexpr std::uint8_t changeByte = 1 << 3;
constexpr std::uint8_t cutShort = 1 << 4;
} // namespace CompressedMatFlags

// The MAT file the input describes: header, then the elements.
std::string compressedMatFile(const std::uint8_t* data, std::size_t size);
