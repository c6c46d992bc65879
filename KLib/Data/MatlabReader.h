#pragma once

#include "KLib/Data/FileDataReader.h"
#include "KLib/Data/MemoryDataReader.h"

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

// Where the values of a double array stand in the file: their first byte and their stored type.
struct MatlabValuesPlace {
    std::int64_t position = 0;
    std::uint32_t type = 0;
};

// Sequential reader of MATLAB level-5 MAT-files in either byte order: character arrays, real
// double matrices and nested structures. After readHeader, call readElementHeader for every
// element and then the read that fits its class: readFieldNames (and endStruct once its fields
// are read) for a structure, readString for a character array, readMatrix for a double array.
// Elements of other classes, and arrays whose data the caller does not read, are skipped by
// their byte count at the next readElementHeader. A structure array reads as its first element:
// the other elements are skipped at endStruct, and an empty array has no fields to read.
//
// Besides what MatlabWriter writes it reads the forms in which other programs store the same
// content: small data elements, 8-bit and UTF-8 characters, numbers of a double array stored in
// a smaller type, any field-name length, and top-level elements compressed with zlib.
//
// Every length in the file is checked against the bytes the file actually holds before
// anything is allocated; a malformed or truncated file makes the operation return false. All
// inflated elements of a file together may hold at most 32 times the file's size plus 256 MiB,
// so that a small file cannot exhaust the memory.
class MatlabReader {
public:
    explicit MatlabReader(const std::string& path);
    MatlabReader(const MatlabReader&) = delete;
    MatlabReader& operator=(const MatlabReader&) = delete;

    bool isOpen() const { return file_.isOpen(); }
    // True once a read found no byte left, as readElementHeader does at the end of the file.
    bool endOfFile() const { return file_.endOfFile(); }
    // How far the file has been read, of its size (bytes).
    std::int64_t filePosition() const { return file_.position(); }
    std::int64_t fileSize() const { return file_.size(); }
    // True for a big-endian file (endian indicator "MI").
    bool byteSwap() const { return file_.byteSwap(); }

    // Returns the header text up to its NUL; false for a short file, a bad endian indicator or
    // a version other than 0x0100.
    bool readHeader(std::string& text);
    // At the end of the file sets class 0 and returns true. Inside a structure the name is the
    // next field name of the innermost structure.
    bool readElementHeader(MatlabVariable& variable);
    // Right after the header of a structure: reads its field names and opens it; count is the
    // number of fields to read, those of its first element (0 for an empty structure array).
    bool readFieldNames(std::size_t& count);
    // Closes the innermost structure and leaves what is unread of it; false when none is open.
    bool endStruct();
    // Right after the header of a character array: its text in Latin-1 (16-bit code units keep
    // their low byte, UTF-8 characters beyond Latin-1 become '?').
    bool readString(std::string& text);
    // Right after the header of a double array: its values in column-major order.
    bool readMatrix(std::vector<double>& values);
    // Right after the header of a double array whose bytes are in the file itself (not in a
    // compressed element): where its values stand, so that they can be read in parts later. The
    // next readElementHeader skips them. False, with nothing consumed, for an array in a
    // compressed element (read it with readMatrix) and for a malformed one.
    bool locateMatrix(MatlabValuesPlace& place);
    void close() {
        inflated_.close();
        file_.close();
    }

private:
    // A sub-element tag in its long or small form; padding is what follows the data.
    struct Tag {
        std::uint32_t type = 0;
        std::uint32_t bytes = 0;
        std::uint32_t padding = 0;
    };

    // Reads a sub-element tag whose data and padding lie inside the current element.
    bool readSubTag(Tag& tag);
    // Inflates the compressed element whose tag type has been read; reading goes on in it.
    bool inflateElement();
    // Skips bytes when they end at or before limit (a position in the current source).
    bool skip(std::uint64_t bytes, std::int64_t limit);
    // True when bytes more from the current position end at or before limit.
    bool within(std::uint64_t bytes, std::int64_t limit) const;
    // Reads the data of a sub-element whose tag has been read, and skips its padding.
    bool readData(const Tag& tag, std::vector<unsigned char>& data);

    struct OpenStruct {
        std::vector<std::string> names; // in file order
        std::size_t next = 0;           // index of the next name to hand out
        std::int64_t end = 0;           // position of the structure's end in the current source
    };

    FileDataReader file_;
    // The element inflated from the last compressed one; read until it is done.
    MemoryDataReader inflated_;
    // The source read now: the file, or the inflated element.
    DataReaderBase* in_ = &file_;
    // Bytes the file's inflated elements may still take.
    std::uint64_t inflateBudget_ = 0;
    // Innermost structure last.
    std::vector<OpenStruct> structs_;
    // Class and element count of the array whose data is to be read next (class 0: none).
    std::uint8_t pendingClass_ = 0;
    std::uint64_t pendingCount_ = 0;
    // End of the last array element (position in the current source); the fields of a structure
    // follow its header, every other element is left at this position by the next
    // readElementHeader.
    std::int64_t elementEnd_ = 0;
    bool skipToElementEnd_ = false;
};

} // namespace KLib
