#include "files/SampleSource.h"

#include "files/CsvSource.h"
#include "files/Mat73Header.h"
#include "files/Mat73Source.h"
#include "files/MatFileSource.h"

#include <cstring>
#include <fstream>

std::unique_ptr<SampleSource> openSampleSource(const std::string& path, std::string& error) {
    // The first bytes tell the types apart: a MAT header (128 bytes, its version at 124: 0x0100
    // for version 5, 0x0200 for 7.3) or HDF5's signature for a plain .h5, else text.
    char start[128] = {};
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "Can't open file " + path;
        return nullptr;
    }
    in.read(start, sizeof start);
    const bool hdf5 = std::memcmp(start, Hdf5Signature, Hdf5SignatureBytes) == 0;
    const bool matHeader = in.gcount() == sizeof start && std::strncmp(start, "MATLAB", 6) == 0;
    std::unique_ptr<SampleSource> source;
    if (hdf5 || (matHeader && start[124] == 0 && start[125] == 2))
        source = std::make_unique<Mat73Source>(path);
    else if (matHeader)
        source = std::make_unique<MatFileSource>(path);
    else
        source = std::make_unique<CsvSource>(path);
    if (!source->error().empty()) {
        error = source->error();
        source.reset();
    }
    return source;
}
