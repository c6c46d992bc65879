// A MAT file whose elements are compressed, as the program reads it back (see MatFileRead.h);
// the input is the elements before compression (see CompressedMatScenario.h).

#include "fuzz/CompressedMatScenario.h"
#include "fuzz/MatFileRead.h"
#include "fuzz/MemoryFile.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static MemoryFile file;
    const std::string bytes = compressedMatFile(data, size);
    readMatFileEveryWay(
        file.replace(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
    return 0;
}
