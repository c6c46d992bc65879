#include "fuzz/MatFileRead.h"

#include "KLib/Data/MatlabFormat.h"
#include "KLib/Data/MatlabReader.h"
#include "files/MatDataReader.h"
#include "fuzz/Check.h"

#include <cstddef>
#include <limits>
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

} // namespace

void readMatFileEveryWay(const std::string& path) {
    walk(path);
    LoadedData loaded;
    if (!readMatDataFile(path, loaded))
        return;
    Config config;
    applyLoadedData(loaded, config);
    require(config.graphList.size() == loaded.graphs.size());
}
