#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Decoding of the data of MAT-file arrays in any of the storage types that MAT-file writers use
// for the same content.
namespace KLib::Matlab {

// Bytes per number of a numeric storage type; 0 for any other type.
std::size_t numberBytes(std::uint32_t type);

// Converts count numbers of a numeric storage type to doubles.
void decodeNumbers(std::uint32_t type, const unsigned char* in, std::size_t count, bool bigEndian,
                   double* out);

// Character data of an array of count characters as Latin-1 text: 16-bit code units
// (UInt16, Utf16) keep their low byte, 8-bit ones (Int8, UInt8) are taken as they are, and Utf8
// is decoded, with '?' for characters beyond Latin-1 and for malformed bytes. False when the
// type holds no characters or the byte count does not fit count characters.
bool decodeText(std::uint32_t type, const unsigned char* in, std::size_t bytes, std::uint64_t count,
                bool bigEndian, std::string& text);

} // namespace KLib::Matlab
