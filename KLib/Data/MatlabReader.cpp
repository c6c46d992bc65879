#include "KLib/Data/MatlabReader.h"

#include "KLib/Data/ByteOrder.h"
#include "KLib/Data/MatlabFormat.h"
#include "KLib/Data/MatlabValues.h"
#include "KLib/Data/ZlibInflater.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <utility>

namespace KLib {

namespace {

// Upper bound of the dimension list and of a name (bytes); nothing sensible comes near it, and it
// keeps both on a fixed buffer.
constexpr std::uint32_t MaxHeaderBytes = 4096;
// The smallest array element this reader accepts: tag 8, flags tag and flags 16, dimensions
// (small form) 8, name (small form) 8. Every structure field needs at least this much room.
constexpr std::uint64_t MinElementBytes = 40;
// Array data is read and inflated in blocks of this many bytes (a multiple of every number size).
constexpr std::size_t BlockBytes = 4096;
// What the inflated elements of one file may hold: a generous multiple of the file's size, as
// recorded signals compress far less, plus a fixed allowance for constant signals, which
// compress by a factor of up to about 1000.
constexpr std::uint64_t InflateRatio = 32;
constexpr std::uint64_t InflateAllowance = std::uint64_t(256) << 20;

bool multiplyChecked(std::uint64_t a, std::uint64_t b, std::uint64_t& product) {
    if (a != 0 && b > std::numeric_limits<std::uint64_t>::max() / a)
        return false;
    product = a * b;
    return true;
}

} // namespace

MatlabReader::MatlabReader(const std::string& path) : file_(path) {
    const auto size = static_cast<std::uint64_t>(file_.size());
    inflateBudget_ =
        size > (std::numeric_limits<std::uint64_t>::max() - InflateAllowance) / InflateRatio
            ? std::numeric_limits<std::uint64_t>::max()
            : InflateRatio * size + InflateAllowance;
}

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
    inflated_.setByteSwap(bigEndian);
    if (decodeUnsigned<std::uint16_t>(version, bigEndian) != Matlab::Version)
        return false;
    description[sizeof description - 1] = '\0';
    text = description;
    return true;
}

bool MatlabReader::readElementHeader(MatlabVariable& variable) {
    pendingClass_ = Matlab::ClassEndOfFile;
    if (in_ == &inflated_ && structs_.empty()) {
        // The inflated element is done; the file goes on after its compressed bytes.
        inflated_.close();
        in_ = &file_;
        skipToElementEnd_ = false;
    }
    if (skipToElementEnd_) {
        skipToElementEnd_ = false;
        if (in_->position() > elementEnd_)
            return false;
        if (in_->position() < elementEnd_ && in_->seek(elementEnd_, SeekStart) != elementEnd_)
            return false;
    }
    variable = MatlabVariable();
    unsigned char typeBytes[4];
    const std::size_t delivered = in_->read(typeBytes, sizeof typeBytes);
    if (delivered == 0)
        return in_ == &file_ && file_.endOfFile();
    if (delivered != sizeof typeBytes)
        return false;
    std::uint32_t elementType = decodeUnsigned<std::uint32_t>(typeBytes, in_->byteSwap());
    // Only whole top-level elements are compressed.
    if (elementType == Matlab::TypeCompressed && in_ == &file_ && structs_.empty()) {
        if (!inflateElement() || !inflated_.readExact(typeBytes, sizeof typeBytes))
            return false;
        elementType = decodeUnsigned<std::uint32_t>(typeBytes, in_->byteSwap());
    }
    std::uint32_t elementBytes = 0;
    if (elementType != Matlab::TypeMatrix || !in_->readU32(elementBytes) ||
        !within(elementBytes, in_->size()))
        return false;
    elementEnd_ = in_->position() + elementBytes;

    Tag tag;
    std::uint32_t flags = 0;
    std::uint32_t unusedFlags = 0;
    if (!readSubTag(tag) || tag.type != Matlab::TypeUInt32 || tag.bytes != 8 ||
        !in_->readU32(flags) || !in_->readU32(unusedFlags))
        return false;

    unsigned char block[MaxHeaderBytes];
    if (!readSubTag(tag) || tag.type != Matlab::TypeInt32 || tag.bytes > MaxHeaderBytes ||
        tag.bytes % 4 != 0 || !in_->readExact(block, tag.bytes) || !skip(tag.padding, elementEnd_))
        return false;
    std::uint64_t count = 1;
    for (std::uint32_t offset = 0; offset < tag.bytes; offset += 4) {
        const auto dimension = static_cast<std::int32_t>(
            decodeUnsigned<std::uint32_t>(block + offset, in_->byteSwap()));
        if (dimension < 0 || !multiplyChecked(count, static_cast<std::uint64_t>(dimension), count))
            return false;
        variable.dimensions.push_back(dimension);
    }

    if (!readSubTag(tag) || tag.type != Matlab::TypeInt8 || tag.bytes > MaxHeaderBytes ||
        !in_->readExact(block, tag.bytes) || !skip(tag.padding, elementEnd_))
        return false;
    variable.name.assign(reinterpret_cast<const char*>(block), tag.bytes);

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
    // A structure's fields follow its header; any other element ends at its byte count.
    skipToElementEnd_ = variable.classNumber != Matlab::ClassStruct;
    return true;
}

bool MatlabReader::readFieldNames(std::size_t& count) {
    if (pendingClass_ != Matlab::ClassStruct)
        return false;
    pendingClass_ = Matlab::ClassEndOfFile;
    const std::uint64_t elements = pendingCount_;
    Tag tag;
    std::int32_t nameBytes = 0;
    if (!readSubTag(tag) || tag.type != Matlab::TypeInt32 || tag.bytes != 4 ||
        !in_->readS32(nameBytes) || !skip(tag.padding, elementEnd_) || nameBytes <= 0 ||
        nameBytes > static_cast<std::int32_t>(MaxHeaderBytes))
        return false;
    if (!readSubTag(tag) || tag.type != Matlab::TypeInt8 || tag.bytes % nameBytes != 0)
        return false;
    const std::uint32_t fieldCount = tag.bytes / static_cast<std::uint32_t>(nameBytes);
    // Each field of each element is an element of its own inside the structure; a count that
    // could not fit there is refused before the names are stored.
    const std::uint64_t roomForFields =
        static_cast<std::uint64_t>(elementEnd_ - in_->position()) - tag.bytes - tag.padding;
    std::uint64_t fieldElements = 0;
    if (!multiplyChecked(fieldCount, elements, fieldElements) ||
        fieldElements > roomForFields / MinElementBytes)
        return false;

    OpenStruct opened;
    opened.end = elementEnd_;
    opened.names.reserve(fieldCount);
    char slot[MaxHeaderBytes];
    for (std::uint32_t i = 0; i < fieldCount; ++i) {
        if (!in_->readExact(slot, static_cast<std::size_t>(nameBytes)))
            return false;
        // The name ends at its first NUL; the last byte of the slot is always taken as one.
        slot[nameBytes - 1] = '\0';
        opened.names.emplace_back(slot);
    }
    if (!skip(tag.padding, elementEnd_))
        return false;
    // An empty structure array has names but no fields to read.
    if (elements == 0)
        opened.names.clear();
    count = opened.names.size();
    structs_.push_back(std::move(opened));
    return true;
}

bool MatlabReader::endStruct() {
    if (structs_.empty())
        return false;
    // The fields of the further elements of a structure array are skipped with the rest.
    elementEnd_ = structs_.back().end;
    skipToElementEnd_ = true;
    structs_.pop_back();
    return true;
}

bool MatlabReader::readString(std::string& text) {
    if (pendingClass_ != Matlab::ClassChar)
        return false;
    pendingClass_ = Matlab::ClassEndOfFile;
    Tag tag;
    std::vector<unsigned char> data;
    std::string read;
    if (!readSubTag(tag) || !readData(tag, data) ||
        !Matlab::decodeText(tag.type, data.data(), data.size(), pendingCount_, in_->byteSwap(),
                            read))
        return false;
    text = std::move(read);
    return true;
}

bool MatlabReader::readMatrix(std::vector<double>& values) {
    if (pendingClass_ != Matlab::ClassDouble)
        return false;
    pendingClass_ = Matlab::ClassEndOfFile;
    Tag tag;
    if (!readSubTag(tag))
        return false;
    const std::size_t unitBytes = Matlab::numberBytes(tag.type);
    // The data lies inside the element, which lies inside the file; that bounds what is
    // allocated here.
    if (unitBytes == 0 || pendingCount_ != tag.bytes / unitBytes || tag.bytes % unitBytes != 0)
        return false;
    // Reserved rather than sized: zeroing a long column before filling it took a third of
    // the time of loading a long log.
    const auto count = static_cast<std::size_t>(pendingCount_);
    std::vector<double> read;
    read.reserve(count);
    unsigned char block[BlockBytes];
    double decoded[BlockBytes];
    while (read.size() < count) {
        const std::size_t chunk = std::min(BlockBytes / unitBytes, count - read.size());
        if (!in_->readExact(block, unitBytes * chunk))
            return false;
        Matlab::decodeNumbers(tag.type, block, chunk, in_->byteSwap(), decoded);
        read.insert(read.end(), decoded, decoded + chunk);
    }
    if (!skip(tag.padding, elementEnd_))
        return false;
    values = std::move(read);
    return true;
}

bool MatlabReader::locateMatrix(MatlabValuesPlace& place) {
    if (pendingClass_ != Matlab::ClassDouble || in_ != &file_)
        return false;
    const std::int64_t start = file_.position();
    Tag tag;
    const std::size_t unitBytes = readSubTag(tag) ? Matlab::numberBytes(tag.type) : 0;
    if (unitBytes == 0 || pendingCount_ != tag.bytes / unitBytes || tag.bytes % unitBytes != 0) {
        file_.seek(start, SeekStart);
        return false;
    }
    pendingClass_ = Matlab::ClassEndOfFile;
    place = {file_.position(), tag.type};
    return true;
}

bool MatlabReader::readSubTag(Tag& tag) {
    std::uint32_t first = 0;
    if (!in_->readU32(first))
        return false;
    if (first >> 16 != 0) {
        tag.type = first & 0xFFFF;
        tag.bytes = first >> 16;
        if (tag.bytes > Matlab::SmallElementBytes)
            return false;
        tag.padding = Matlab::SmallElementBytes - tag.bytes;
    } else {
        tag.type = first;
        if (!in_->readU32(tag.bytes))
            return false;
        tag.padding = static_cast<std::uint32_t>(Matlab::padded(tag.bytes) - tag.bytes);
    }
    return within(std::uint64_t(tag.bytes) + tag.padding, elementEnd_);
}

bool MatlabReader::readData(const Tag& tag, std::vector<unsigned char>& data) {
    data.resize(tag.bytes);
    return in_->readExact(data.data(), data.size()) && skip(tag.padding, elementEnd_);
}

bool MatlabReader::inflateElement() {
    std::uint32_t compressedBytes = 0;
    if (!file_.readU32(compressedBytes) || !within(compressedBytes, file_.size()))
        return false;
    const std::int64_t end = file_.position() + compressedBytes;
    ZlibInflater zlib;
    unsigned char input[BlockBytes];
    // Fills out with exactly length inflated bytes, feeding the compressed bytes as needed.
    const auto inflateExactly = [&](unsigned char* out, std::size_t length) {
        std::size_t done = 0;
        while (done < length && !zlib.finished() && !zlib.failed()) {
            if (zlib.needsInput()) {
                const auto chunk = static_cast<std::size_t>(
                    std::min<std::int64_t>(BlockBytes, end - file_.position()));
                if (chunk == 0 || !file_.readExact(input, chunk))
                    return false;
                zlib.feed(input, chunk);
            }
            const std::size_t produced = zlib.produce(out + done, length - done);
            // With input and room left, zlib makes progress or the stream is broken.
            if (produced == 0 && !zlib.needsInput() && !zlib.finished())
                return false;
            done += produced;
        }
        return done == length;
    };

    // The inflated element's own tag says how large it is before anything is allocated for it.
    unsigned char head[8];
    if (!inflateExactly(head, sizeof head) ||
        decodeUnsigned<std::uint32_t>(head, file_.byteSwap()) != Matlab::TypeMatrix)
        return false;
    const std::uint64_t total =
        sizeof head + decodeUnsigned<std::uint32_t>(head + 4, file_.byteSwap());
    if (total > inflateBudget_)
        return false;
    // Grown as the bytes arrive, so that a stream shorter than it claims costs no more memory
    // than it delivers.
    std::vector<unsigned char> element(head, head + sizeof head);
    unsigned char block[BlockBytes];
    while (element.size() < total) {
        const auto piece =
            static_cast<std::size_t>(std::min<std::uint64_t>(BlockBytes, total - element.size()));
        if (!inflateExactly(block, piece))
            return false;
        element.insert(element.end(), block, block + piece);
    }
    // The stream ends with the element.
    unsigned char beyond = 0;
    if (inflateExactly(&beyond, 1) || !zlib.finished())
        return false;
    inflateBudget_ -= total;
    if (file_.seek(end, SeekStart) != end)
        return false;
    inflated_.assign(std::move(element));
    in_ = &inflated_;
    return true;
}

bool MatlabReader::skip(std::uint64_t bytes, std::int64_t limit) {
    if (!within(bytes, limit))
        return false;
    if (bytes == 0)
        return true;
    const std::int64_t target = in_->position() + static_cast<std::int64_t>(bytes);
    return in_->seek(target, SeekStart) == target;
}

bool MatlabReader::within(std::uint64_t bytes, std::int64_t limit) const {
    const std::int64_t position = in_->position();
    return position <= limit && bytes <= static_cast<std::uint64_t>(limit - position);
}

} // namespace KLib
