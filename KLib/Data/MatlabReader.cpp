#include "KLib/Data/MatlabReader.h"

#include "KLib/Data/ByteOrder.h"
#include "KLib/Data/MatlabFormat.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <utility>

namespace KLib {

namespace {

// Upper bound of the dimension list and of a name (bytes); nothing sensible comes near it, and it
// keeps both on a fixed buffer.
constexpr std::uint32_t MaxHeaderBytes = 4096;
// The smallest array element this reader accepts: tag 8, flags tag and flags 16, dimensions tag
// 8, name tag 8. Every structure field needs at least this much room.
constexpr std::uint64_t MinElementBytes = 40;
// Array data is read in blocks of this many bytes.
constexpr std::size_t BlockBytes = 4096;

bool multiplyChecked(std::uint64_t a, std::uint64_t b, std::uint64_t& product) {
    if (a != 0 && b > std::numeric_limits<std::uint64_t>::max() / a)
        return false;
    product = a * b;
    return true;
}

} // namespace

MatlabReader::MatlabReader(const std::string& path) : file_(path) {}

bool MatlabReader::readHeader(std::string& text) {
    char description[Matlab::HeaderTextBytes];
    // Subsystem offset (8 bytes, ignored), version (2), endian indicator (2).
    unsigned char rest[Matlab::HeaderSubsystemBytes + 4];
    if (!file_.readExact(description, sizeof description) || !file_.readExact(rest, sizeof rest))
        return false;
    const unsigned char* version = rest + Matlab::HeaderSubsystemBytes;
    const unsigned char* indicator = version + 2;
    const bool littleEndian = indicator[0] == 'I' && indicator[1] == 'M';
    const bool bigEndian = indicator[0] == 'M' && indicator[1] == 'I';
    if (!littleEndian && !bigEndian)
        return false;
    file_.setByteSwap(bigEndian);
    if (decodeUnsigned<std::uint16_t>(version, bigEndian) != Matlab::Version)
        return false;
    description[sizeof description - 1] = '\0';
    text = description;
    return true;
}

bool MatlabReader::readElementHeader(MatlabVariable& variable) {
    pendingClass_ = Matlab::ClassEndOfFile;
    if (skipToElementEnd_) {
        skipToElementEnd_ = false;
        if (file_.position() > elementEnd_)
            return false;
        if (file_.position() < elementEnd_ && file_.seek(elementEnd_, SeekStart) != elementEnd_)
            return false;
    }
    variable = MatlabVariable();
    unsigned char typeBytes[4];
    const std::size_t delivered = file_.read(typeBytes, sizeof typeBytes);
    if (delivered == 0)
        return file_.endOfFile();
    std::uint32_t elementBytes = 0;
    if (delivered != sizeof typeBytes ||
        decodeUnsigned<std::uint32_t>(typeBytes, file_.byteSwap()) != Matlab::TypeMatrix ||
        !file_.readU32(elementBytes) || !within(elementBytes, file_.size()))
        return false;
    const std::int64_t end = file_.position() + elementBytes;

    std::uint32_t type = 0;
    std::uint32_t bytes = 0;
    std::uint32_t flags = 0;
    std::uint32_t unusedFlags = 0;
    if (!readTag(type, bytes) || type != Matlab::TypeUInt32 || bytes != 8 ||
        !file_.readU32(flags) || !file_.readU32(unusedFlags))
        return false;

    unsigned char block[MaxHeaderBytes];
    if (!readTag(type, bytes) || type != Matlab::TypeInt32 || bytes > MaxHeaderBytes ||
        bytes % 4 != 0 || !file_.readExact(block, bytes) ||
        !skip(Matlab::padded(bytes) - bytes, end))
        return false;
    std::uint64_t count = 1;
    for (std::uint32_t offset = 0; offset < bytes; offset += 4) {
        const auto dimension = static_cast<std::int32_t>(
            decodeUnsigned<std::uint32_t>(block + offset, file_.byteSwap()));
        if (dimension < 0 || !multiplyChecked(count, static_cast<std::uint64_t>(dimension), count))
            return false;
        variable.dimensions.push_back(dimension);
    }

    if (!readTag(type, bytes) || type != Matlab::TypeInt8 || bytes > MaxHeaderBytes ||
        !file_.readExact(block, bytes) || !skip(Matlab::padded(bytes) - bytes, end))
        return false;
    variable.name.assign(reinterpret_cast<const char*>(block), bytes);

    if (!structs_.empty()) {
        OpenStruct& open = structs_.back();
        // More elements than the structure has fields.
        if (open.next == open.names.size())
            return false;
        variable.name = std::move(open.names[open.next++]);
    }
    variable.classNumber = static_cast<std::uint8_t>(flags & 0xFF);
    variable.count = count;
    pendingClass_ = variable.classNumber;
    pendingCount_ = count;
    elementEnd_ = end;
    // A structure's fields follow its header; any other element ends at its byte count.
    skipToElementEnd_ = variable.classNumber != Matlab::ClassStruct;
    return true;
}

bool MatlabReader::readFieldNames(std::size_t& count) {
    if (pendingClass_ != Matlab::ClassStruct)
        return false;
    pendingClass_ = Matlab::ClassEndOfFile;
    std::uint32_t lengthTag = 0;
    std::int32_t nameBytes = 0;
    if (!file_.readU32(lengthTag) || lengthTag != Matlab::FieldNameLengthTag ||
        !file_.readS32(nameBytes) || nameBytes <= 0 ||
        nameBytes > static_cast<std::int32_t>(MaxHeaderBytes))
        return false;
    std::uint32_t type = 0;
    std::uint32_t tableBytes = 0;
    if (!readTag(type, tableBytes) || type != Matlab::TypeInt8 || tableBytes % nameBytes != 0 ||
        !within(Matlab::padded(tableBytes), elementEnd_))
        return false;
    const std::uint32_t fieldCount = tableBytes / static_cast<std::uint32_t>(nameBytes);
    // Each field is an element of its own inside the structure; a count that could not fit there
    // is refused before the names are stored.
    const std::uint64_t roomForFields =
        static_cast<std::uint64_t>(elementEnd_ - file_.position()) - Matlab::padded(tableBytes);
    if (fieldCount > roomForFields / MinElementBytes)
        return false;

    OpenStruct opened;
    opened.names.reserve(fieldCount);
    char slot[MaxHeaderBytes];
    for (std::uint32_t i = 0; i < fieldCount; ++i) {
        if (!file_.readExact(slot, static_cast<std::size_t>(nameBytes)))
            return false;
        // The name ends at its first NUL; the last byte of the slot is always taken as one.
        slot[nameBytes - 1] = '\0';
        opened.names.emplace_back(slot);
    }
    if (!skip(Matlab::padded(tableBytes) - tableBytes, elementEnd_))
        return false;
    structs_.push_back(std::move(opened));
    count = fieldCount;
    return true;
}

bool MatlabReader::endStruct() {
    if (structs_.empty())
        return false;
    structs_.pop_back();
    return true;
}

bool MatlabReader::readString(std::string& text) {
    if (pendingClass_ != Matlab::ClassChar || !readDataTag(Matlab::TypeUInt16, 2))
        return false;
    const std::uint64_t byteCount = 2 * pendingCount_;
    std::string read;
    read.reserve(static_cast<std::size_t>(pendingCount_));
    unsigned char block[BlockBytes];
    for (std::uint64_t done = 0; done < byteCount;) {
        const std::size_t chunk =
            static_cast<std::size_t>(std::min<std::uint64_t>(BlockBytes, byteCount - done));
        if (!file_.readExact(block, chunk))
            return false;
        // Characters are stored as 16-bit code units; only their low (Latin-1) byte is kept.
        for (std::size_t i = 0; i < chunk; i += 2)
            read.push_back(static_cast<char>(
                decodeUnsigned<std::uint16_t>(block + i, file_.byteSwap()) & 0xFF));
        done += chunk;
    }
    if (!skip(Matlab::padded(byteCount) - byteCount, elementEnd_))
        return false;
    text = std::move(read);
    return true;
}

bool MatlabReader::readMatrix(std::vector<double>& values) {
    if (pendingClass_ != Matlab::ClassDouble || !readDataTag(Matlab::TypeDouble, 8))
        return false;
    std::vector<double> read(static_cast<std::size_t>(pendingCount_));
    unsigned char block[BlockBytes];
    for (std::size_t done = 0; done < read.size();) {
        const std::size_t chunk = std::min(BlockBytes / 8, read.size() - done);
        if (!file_.readExact(block, 8 * chunk))
            return false;
        for (std::size_t i = 0; i < chunk; ++i)
            read[done + i] = decodeDouble(block + 8 * i, file_.byteSwap());
        done += chunk;
    }
    values = std::move(read);
    return true;
}

bool MatlabReader::readTag(std::uint32_t& type, std::uint32_t& bytes) {
    return file_.readU32(type) && file_.readU32(bytes);
}

bool MatlabReader::readDataTag(std::uint32_t type, std::uint64_t unitBytes) {
    pendingClass_ = Matlab::ClassEndOfFile;
    std::uint32_t tagType = 0;
    std::uint32_t bytes = 0;
    // The data and its padding must lie inside the element, which lies inside the file; that
    // bounds what the caller allocates.
    return pendingCount_ <= Matlab::MaxTagBytes / unitBytes && readTag(tagType, bytes) &&
           tagType == type && bytes == pendingCount_ * unitBytes &&
           within(Matlab::padded(bytes), elementEnd_);
}

bool MatlabReader::skip(std::uint64_t bytes, std::int64_t limit) {
    if (!within(bytes, limit))
        return false;
    if (bytes == 0)
        return true;
    const std::int64_t target = file_.position() + static_cast<std::int64_t>(bytes);
    return file_.seek(target, SeekStart) == target;
}

bool MatlabReader::within(std::uint64_t bytes, std::int64_t limit) const {
    const std::int64_t position = file_.position();
    return position <= limit && bytes <= static_cast<std::uint64_t>(limit - position);
}

} // namespace KLib
