#include "KLib/Data/MatlabWriter.h"

#include "KLib/Data/ByteOrder.h"
#include "KLib/Data/MatlabFormat.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace KLib {

namespace {

constexpr bool hostIsBigEndian = __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__;
constexpr std::uint64_t MaxDimension = std::numeric_limits<std::int32_t>::max();
// Values are encoded in blocks of this many before they are handed to the file.
constexpr std::size_t BlockValues = 512;

// Byte count of an array element after its tag: tags of flags, dimensions, name and data (8
// each), the 8 flag bytes, then the padded dimensions, name and data.
std::uint64_t elementBytes(std::size_t nameLength, std::uint64_t dataBytes,
                           std::size_t dimensionCount) {
    return 40 + Matlab::padded(dataBytes) +
           Matlab::padded(4 * static_cast<std::uint64_t>(dimensionCount)) +
           Matlab::padded(nameLength);
}

} // namespace

MatlabWriter::MatlabWriter(const std::string& path) : file_(path) {}

bool MatlabWriter::writeHeader(const std::string& text) {
    if (!canWrite())
        return false;
    // The text is NUL-terminated inside its 116 bytes, so at most 115 characters fit.
    char header[Matlab::HeaderTextBytes] = {};
    std::memcpy(header, text.data(), std::min(text.size(), sizeof header - 1));
    return check(file_.write(header, sizeof header) &&
                 file_.writeZeros(Matlab::HeaderSubsystemBytes) &&
                 file_.writeU16(Matlab::Version) && file_.writeU16(Matlab::EndianIndicator));
}

bool MatlabWriter::writeString(const std::string& name, const std::string& text) {
    if (!canWrite() || text.size() > MaxDimension)
        return false;
    const std::uint64_t dataBytes = 2 * static_cast<std::uint64_t>(text.size());
    if (!fits(elementBytes(storedNameLength(name), dataBytes, 2)))
        return false;
    if (!beginElement(name, dataBytes, Matlab::ClassChar,
                      {1, static_cast<std::int32_t>(text.size())}) ||
        !writeTag(Matlab::TypeUInt16, dataBytes))
        return false;
    unsigned char block[2 * BlockValues];
    for (std::size_t start = 0; start < text.size(); start += BlockValues) {
        const std::size_t count = std::min(BlockValues, text.size() - start);
        for (std::size_t i = 0; i < count; ++i) {
            // Each byte is one Latin-1 character, zero-extended to a 16-bit code unit.
            const auto unit =
                static_cast<std::uint16_t>(static_cast<unsigned char>(text[start + i]));
            encodeUnsigned(unit, file_.byteSwap(), block + 2 * i);
        }
        if (!check(file_.write(block, 2 * count)))
            return false;
    }
    return writePadding(dataBytes);
}

bool MatlabWriter::writeMatrix(const std::string& name, const double* values, std::size_t rows,
                               std::size_t cols) {
    return (static_cast<std::uint64_t>(rows) * cols == 0 || values != nullptr) &&
           beginDoubles(name, rows, cols) &&
           writeValues(values, static_cast<std::uint64_t>(rows) * cols);
}

bool MatlabWriter::beginColumn(const std::string& name, std::size_t rows) {
    if (!beginDoubles(name, rows, 1))
        return false;
    columnRows_ = rows;
    return true;
}

bool MatlabWriter::beginDoubles(const std::string& name, std::size_t rows, std::size_t cols) {
    if (!canWrite() || rows > MaxDimension || cols > MaxDimension)
        return false;
    // Both factors are below 2^31, so the product cannot overflow 64 bits.
    const std::uint64_t count = static_cast<std::uint64_t>(rows) * cols;
    if (count > Matlab::MaxTagBytes / 8)
        return false;
    const std::uint64_t dataBytes = 8 * count;
    return fits(elementBytes(storedNameLength(name), dataBytes, 2)) &&
           beginElement(name, dataBytes, Matlab::ClassDouble,
                        {static_cast<std::int32_t>(rows), static_cast<std::int32_t>(cols)}) &&
           writeTag(Matlab::TypeDouble, dataBytes);
}

bool MatlabWriter::appendColumn(const double* values, std::size_t count) {
    if (!isOpen() || failed_ || count > columnRows_ || (count > 0 && values == nullptr))
        return false;
    columnRows_ -= count;
    return writeValues(values, count);
}

bool MatlabWriter::writeValues(const double* values, std::uint64_t count) {
    // A file in the host's byte order holds the values' own bytes: they go out without a copy,
    // which took a sixth of the time of saving a long log.
    if (file_.byteSwap() == hostIsBigEndian)
        return check(file_.write(values, static_cast<std::size_t>(8 * count)));
    unsigned char block[8 * BlockValues];
    for (std::uint64_t start = 0; start < count; start += BlockValues) {
        const std::size_t blockCount =
            static_cast<std::size_t>(std::min<std::uint64_t>(BlockValues, count - start));
        for (std::size_t i = 0; i < blockCount; ++i)
            encodeDouble(values[start + i], file_.byteSwap(), block + 8 * i);
        if (!check(file_.write(block, 8 * blockCount)))
            return false;
    }
    // 8-byte values never need padding.
    return true;
}

bool MatlabWriter::beginStruct(const std::string& name, std::size_t fieldCount) {
    if (!canWrite() || fieldCount > Matlab::MaxTagBytes / Matlab::FieldNameBytes)
        return false;
    const std::uint64_t tableBytes =
        static_cast<std::uint64_t>(fieldCount) * Matlab::FieldNameBytes;
    // Bytes after the element tag once the structure is opened: array flags 16, dimensions 16,
    // name tag 8 plus the padded name, field-name length 8, table tag 8 plus the table.
    const std::uint64_t openedBytes = 56 + Matlab::padded(storedNameLength(name)) + tableBytes;
    if (!fits(openedBytes))
        return false;
    const std::int64_t tagPosition = file_.seek(0, SeekCurrent);
    if (!check(tagPosition >= 0) || !beginElement(name, 0, Matlab::ClassStruct, {1, 1}))
        return false;
    structs_.push_back({tagPosition, 0, fieldCount});
    if (!check(file_.writeU32(Matlab::FieldNameLengthTag) &&
               file_.writeS32(static_cast<std::int32_t>(Matlab::FieldNameBytes))) ||
        !writeTag(Matlab::TypeInt8, tableBytes))
        return false;
    const std::int64_t tablePosition = file_.seek(0, SeekCurrent);
    if (!check(tablePosition >= 0))
        return false;
    structs_.back().nextNameSlot = tablePosition;
    // The slots are filled in as the fields are written.
    return check(file_.writeZeros(static_cast<std::size_t>(tableBytes)));
}

bool MatlabWriter::endStruct() {
    if (!canWrite() || structs_.empty())
        return false;
    const OpenStruct closing = structs_.back();
    structs_.pop_back();
    // The byte count runs from the end of the 8-byte tag to the end of the last field; fits()
    // made sure it is below 2^32.
    const std::int64_t end = file_.seek(0, SeekCurrent);
    const std::int64_t countPosition = closing.tagPosition + 4;
    const bool written =
        end >= 0 && file_.seek(countPosition, SeekStart) == countPosition &&
        file_.writeU32(static_cast<std::uint32_t>(end - closing.tagPosition - 8)) &&
        file_.seek(0, SeekEnd) == end;
    return check(written) && closing.freeSlots == 0;
}

bool MatlabWriter::close() {
    if (!isOpen())
        return false;
    const bool complete = !failed_ && structs_.empty() && columnRows_ == 0;
    structs_.clear();
    const bool closed = file_.close();
    return complete && closed;
}

bool MatlabWriter::fits(std::uint64_t bytes) {
    if (bytes > Matlab::MaxTagBytes)
        return false;
    if (structs_.empty())
        return true;
    if (structs_.back().freeSlots == 0)
        return false;
    // The outermost structure encloses everything written since its tag, so its byte count is
    // the largest of all open ones.
    const std::int64_t position = file_.seek(0, SeekCurrent);
    if (!check(position >= 0))
        return false;
    const std::uint64_t enclosed =
        static_cast<std::uint64_t>(position - structs_.front().tagPosition);
    return enclosed + bytes <= Matlab::MaxTagBytes;
}

bool MatlabWriter::beginElement(const std::string& name, std::uint64_t dataBytes,
                                std::uint8_t classNumber,
                                const std::vector<std::int32_t>& dimensions) {
    const std::size_t nameLength = storedNameLength(name);
    if (!structs_.empty() && !writeFieldName(name))
        return false;
    const std::uint64_t dimensionBytes = 4 * static_cast<std::uint64_t>(dimensions.size());
    if (!writeTag(Matlab::TypeMatrix, elementBytes(nameLength, dataBytes, dimensions.size())) ||
        !writeTag(Matlab::TypeUInt32, 8) ||
        !check(file_.writeU32(classNumber) && file_.writeU32(0)) ||
        !writeTag(Matlab::TypeInt32, dimensionBytes))
        return false;
    for (std::int32_t dimension : dimensions)
        if (!check(file_.writeS32(dimension)))
            return false;
    return writePadding(dimensionBytes) && writeTag(Matlab::TypeInt8, nameLength) &&
           check(file_.write(name.data(), nameLength)) && writePadding(nameLength);
}

bool MatlabWriter::writeFieldName(const std::string& name) {
    OpenStruct& open = structs_.back();
    char slot[Matlab::FieldNameBytes] = {};
    std::memcpy(slot, name.data(), std::min(name.size(), sizeof slot - 1));
    const std::int64_t back = file_.seek(0, SeekCurrent);
    const bool written = back >= 0 &&
                         file_.seek(open.nextNameSlot, SeekStart) == open.nextNameSlot &&
                         file_.write(slot, sizeof slot) && file_.seek(back, SeekStart) == back;
    if (!check(written))
        return false;
    open.nextNameSlot += Matlab::FieldNameBytes;
    --open.freeSlots;
    return true;
}

bool MatlabWriter::writeTag(std::uint32_t type, std::uint64_t bytes) {
    return check(file_.writeU32(type) && file_.writeU32(static_cast<std::uint32_t>(bytes)));
}

bool MatlabWriter::writePadding(std::uint64_t bytes) {
    return check(file_.writeZeros(static_cast<std::size_t>(Matlab::padded(bytes) - bytes)));
}

std::size_t MatlabWriter::storedNameLength(const std::string& name) const {
    // Inside a structure the name lives in the structure's field-name table instead.
    return structs_.empty() ? name.size() : 0;
}

bool MatlabWriter::check(bool ok) {
    if (!ok)
        failed_ = true;
    return ok;
}

} // namespace KLib
