#pragma once

// Reads a MAT-file with the library's reader into one line per element, for comparing whole
// files in tests.

#include "KLib/Data/MatlabReader.h"

#include "MatlabTestFiles.h"

#include <ostream>
#include <sstream>
#include <string>
#include <vector>

namespace MatlabTest {

// Reads elements (structures recursively) as lines "name class dims content" until the end of
// the file at top level, or `fields` elements inside a structure.
inline bool readAll(KLib::MatlabReader& reader, std::ostream& out, std::size_t fields,
                    bool topLevel) {
    for (std::size_t i = 0; topLevel || i < fields; ++i) {
        KLib::MatlabVariable variable;
        if (!reader.readElementHeader(variable))
            return false;
        if (variable.classNumber == 0)
            return topLevel && reader.endOfFile();
        out << variable.name << ' ' << int(variable.classNumber) << ' ';
        for (std::size_t d = 0; d < variable.dimensions.size(); ++d)
            out << (d ? "x" : "") << variable.dimensions[d];
        std::size_t count = 0;
        std::string text;
        std::vector<double> values;
        if (variable.classNumber == 2) {
            out << " {\n";
            if (!reader.readFieldNames(count) || !readAll(reader, out, count, false) ||
                !reader.endStruct())
                return false;
            out << "}";
        } else if (variable.classNumber == 4) {
            if (!reader.readString(text))
                return false;
            out << " '" << text << "'";
        } else if (variable.classNumber == 6) {
            if (!reader.readMatrix(values))
                return false;
            for (double value : values)
                out << ' ' << value;
        }
        out << '\n';
    }
    return true;
}

// The whole file as text, or "failed" when the header or any element is rejected.
inline std::string readFile(const std::string& path) {
    KLib::MatlabReader reader(path);
    std::string header;
    std::ostringstream out;
    if (!reader.readHeader(header) || !readAll(reader, out, 0, true))
        return "failed";
    return header + "\n" + out.str();
}

inline std::string readBuilt(const Builder& built) {
    TempDir dir;
    writeBytes(dir.file("built.mat"), built.bytes);
    return readFile(dir.file("built.mat"));
}

} // namespace MatlabTest
