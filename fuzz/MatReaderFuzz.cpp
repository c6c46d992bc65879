// A MAT file as the program reads it back (see MatFileRead.h), the file's bytes as they come.

#include "files/Mat73Header.h"
#include "fuzz/MatFileRead.h"
#include "fuzz/MemoryFile.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace {

// A version-7.3 file (HDF5's signature after the 512-byte header) goes to the HDF5 library's
// own parser, which is not this target's to fuzz.
bool isHdf5(const std::uint8_t* data, std::size_t size) {
    return size >= Mat73UserBlockBytes + Hdf5SignatureBytes &&
           std::memcmp(data + Mat73UserBlockBytes, Hdf5Signature, Hdf5SignatureBytes) == 0;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (isHdf5(data, size))
        return 0;
    static MemoryFile file;
    readMatFileEveryWay(file.replace(data, size));
    return 0;
}
