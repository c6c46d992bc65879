// A MAT file as the program reads it back: first element by element the way a general reader
// walks any file (structures nested to any depth), then as one of our data files, whose graphs
// and channels are then added to a configuration as "load data" does without a side file.

#include "KLib/Data/MatlabFormat.h"
#include "KLib/Data/MatlabReader.h"
#include "files/Mat73Header.h"
#include "files/MatDataReader.h"
#include "fuzz/Check.h"
#include "fuzz/MemoryFile.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

namespace {

constexpr std::size_t untilEndOfFile = std::numeric_limits<std::size_t>::max();

// Reads `count` elements, or every element up to the end of the file; false at the first
// element the reader refuses.
bool readElements(KLib::MatlabReader& reader, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        KLib::MatlabVariable variable;
        if (!reader.readElementHeader(variable))
            return false;
        switch (variable.classNumber) {
        case KLib::Matlab::ClassEndOfFile:
            return count == untilEndOfFile;
        case KLib::Matlab::ClassStruct: {
            std::size_t fields = 0;
            if (!reader.readFieldNames(fields) || !readElements(reader, fields) ||
                !reader.endStruct())
                return false;
            break;
        }
        case KLib::Matlab::ClassChar: {
            std::string text;
            if (!reader.readString(text))
                return false;
            require(text.size() == variable.count);
            break;
        }
        case KLib::Matlab::ClassDouble: {
            std::vector<double> values;
            if (!reader.readMatrix(values))
                return false;
            require(values.size() == variable.count);
            break;
        }
        default:
            break;
        }
    }
    return true;
}

void walk(const std::string& path) {
    KLib::MatlabReader reader(path);
    std::string header;
    if (reader.isOpen() && reader.readHeader(header))
        readElements(reader, untilEndOfFile);
}

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
    const std::string& path = file.replace(data, size);
    walk(path);

    LoadedData loaded;
    if (!readMatDataFile(path, loaded))
        return 0;
    Config config;
    applyLoadedData(loaded, config);
    require(config.graphList.size() == loaded.graphs.size());
    return 0;
}
