#pragma once

#include <array>
#include <cstddef>
#include <ctime>
#include <string>

// The first bytes of MATLAB's version 7.3 MAT file, held in the HDF5 user block: the text
// "MATLAB 7.3 MAT-file, ..., HDF5 schema 1.00 ." padded with blanks to 116 bytes, 8 bytes of
// subsystem offset (zero: none), the version 0x0200 and the endian indicator "IM", both as
// little-endian 16-bit numbers like the HDF5 data after them.
constexpr std::size_t Mat73HeaderBytes = 128;
// HDF5 places its superblock after the user block, whose size is a power of two from 512 on.
constexpr std::size_t Mat73UserBlockBytes = 512;

// The signature that starts HDF5's superblock, at the start of a plain HDF5 file and after the
// user block of a version 7.3 MAT file.
constexpr char Hdf5Signature[] = "\x89HDF\r\n\x1a\n";
constexpr std::size_t Hdf5SignatureBytes = 8;

std::array<char, Mat73HeaderBytes> mat73Header(std::time_t created);

// Puts the header into the user block of the file at path, which HDF5 leaves to its owner.
// Returns what went wrong, or an empty text.
std::string writeMat73Header(const std::string& path, std::time_t created);
