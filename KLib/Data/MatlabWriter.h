#pragma once

#include "KLib/Data/FileDataWriter.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace KLib {

// Writes a MATLAB level-5 MAT-file: the 128-byte header, then uncompressed character arrays,
// real double matrices and structures nested to any depth, in call order.
//
// Every operation returns false when it did not do its work. An element whose byte count would
// not fit its 32-bit tag (or that of an enclosing structure) is refused before anything is
// written, so the file stays readable. A write error (a full disk, for instance) is sticky: every
// later operation, close() included, returns false.
class MatlabWriter {
public:
    explicit MatlabWriter(const std::string& path);

    bool isOpen() const { return file_.isOpen(); }
    // Big-endian output; set before writeHeader.
    void setByteSwap(bool swap) { file_.setByteSwap(swap); }
    bool byteSwap() const { return file_.byteSwap(); }

    // At most 115 characters of text are stored.
    bool writeHeader(const std::string& text);
    // A 1 x N character array, one 16-bit code unit per byte of text (Latin-1).
    bool writeString(const std::string& name, const std::string& text);
    // A rows x cols real double matrix; values holds rows * cols numbers in column-major order.
    bool writeMatrix(const std::string& name, const double* values, std::size_t rows,
                     std::size_t cols);
    // Opens a rows x 1 real double column whose values follow in any number of appendColumn
    // calls, so that a column longer than memory can be copied in; nothing else may be written
    // before all rows have been appended.
    bool beginColumn(const std::string& name, std::size_t rows);
    bool appendColumn(const double* values, std::size_t count);
    // Opens a 1 x 1 structure; exactly fieldCount elements must follow before endStruct. Inside
    // a structure, element names become its field names, cut to 31 characters.
    bool beginStruct(const std::string& name, std::size_t fieldCount);
    // Closes the innermost structure. Returns false when none is open or when fewer fields were
    // written than announced; the structure is closed in the latter case all the same.
    bool endStruct();
    // Returns false when a write failed at any time or a structure is still open.
    bool close();

private:
    struct OpenStruct {
        std::int64_t tagPosition;  // file position of the structure's element tag
        std::int64_t nextNameSlot; // file position of the next free field-name slot
        std::size_t freeSlots;
    };

    bool canWrite() const { return isOpen() && !failed_ && columnRows_ == 0; }
    // Checks a rows x cols double matrix against the limits and writes everything before its
    // values.
    bool beginDoubles(const std::string& name, std::size_t rows, std::size_t cols);
    // Encodes and writes count values.
    bool writeValues(const double* values, std::uint64_t count);
    // Refuses an element of elementBytes after its tag when that count, or the count of the
    // outermost open structure once the element is appended, would not fit a tag, or when the
    // innermost structure has no field left.
    bool fits(std::uint64_t elementBytes);
    // Array element tag, flags, dimensions and name; inside a structure the name goes into its
    // next field-name slot.
    bool beginElement(const std::string& name, std::uint64_t dataBytes, std::uint8_t classNumber,
                      const std::vector<std::int32_t>& dimensions);
    bool writeFieldName(const std::string& name);
    bool writeTag(std::uint32_t type, std::uint64_t bytes);
    bool writePadding(std::uint64_t bytes);
    std::size_t storedNameLength(const std::string& name) const;
    // Records a failed write; returns ok.
    bool check(bool ok);

    FileDataWriter file_;
    std::vector<OpenStruct> structs_;
    bool failed_ = false;
    std::uint64_t columnRows_ = 0; // rows of the open column still to come
};

} // namespace KLib
