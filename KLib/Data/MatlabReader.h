#pragma once

#include "KLib/Data/FileDataReader.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace KLib {

// Description of one array element, filled by MatlabReader::readElementHeader.
struct MatlabVariable {
    std::string name;
    // 2 structure, 4 character array, 6 double array; 0 when the file has ended.
    std::uint8_t classNumber = 0;
    // Product of the dimensions.
    std::uint64_t count = 0;
    std::vector<std::int32_t> dimensions;
};

// Sequential reader of uncompressed MATLAB level-5 MAT-files in either byte order: character
// arrays, real double matrices and nested structures. After readHeader, call readElementHeader
// for every element and then the read that fits its class: readFieldNames (and endStruct once
// its fields are read) for a structure, readString for a character array, readMatrix for a
// double array. Elements of other classes, and arrays whose data the caller does not read, are
// skipped by their byte count at the next readElementHeader.
//
// Every length in the file is checked against the bytes the file actually holds before
// anything is allocated; a malformed or truncated file makes the operation return false.
class MatlabReader {
public:
    explicit MatlabReader(const std::string& path);

    bool isOpen() const { return file_.isOpen(); }
    // True once a read found no byte left, as readElementHeader does at the end of the file.
    bool endOfFile() const { return file_.endOfFile(); }
    // True for a big-endian file (endian indicator "MI").
    bool byteSwap() const { return file_.byteSwap(); }

    // Returns the header text up to its NUL; false for a short file, a bad endian indicator or
    // a version other than 0x0100.
    bool readHeader(std::string& text);
    // At the end of the file sets class 0 and returns true. Inside a structure the name is the
    // next field name of the innermost structure.
    bool readElementHeader(MatlabVariable& variable);
    // Right after the header of a structure: reads its field names and opens it.
    bool readFieldNames(std::size_t& count);
    // Closes the innermost structure; false when none is open.
    bool endStruct();
    // Right after the header of a character array: the low byte of every 16-bit code unit.
    bool readString(std::string& text);
    // Right after the header of a double array: its values in column-major order.
    bool readMatrix(std::vector<double>& values);
    void close() { file_.close(); }

private:
    bool readTag(std::uint32_t& type, std::uint32_t& bytes);
    // Skips bytes when they end at or before limit (a file position).
    bool skip(std::uint64_t bytes, std::int64_t limit);
    // True when bytes more from the current position end at or before limit.
    bool within(std::uint64_t bytes, std::int64_t limit) const;
    // Reads the data tag of the current array: it must have the given type and hold count
    // values of unitBytes each inside the element.
    bool readDataTag(std::uint32_t type, std::uint64_t unitBytes);

    struct OpenStruct {
        std::vector<std::string> names; // in file order
        std::size_t next = 0;           // index of the next name to hand out
    };

    FileDataReader file_;
    // Innermost structure last.
    std::vector<OpenStruct> structs_;
    // Class and element count of the array whose data is to be read next (class 0: none).
    std::uint8_t pendingClass_ = 0;
    std::uint64_t pendingCount_ = 0;
    // End of the last array element (file position); the fields of a structure follow its
    // header, every other element is left at this position by the next readElementHeader.
    std::int64_t elementEnd_ = 0;
    bool skipToElementEnd_ = false;
};

} // namespace KLib
