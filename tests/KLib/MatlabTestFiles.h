#pragma once

// Helpers shared by the MAT-file tests: a temporary folder, whole-file access and a byte
// builder that lays out MAT-file bytes by hand, independently of the library's writer.

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace MatlabTest {

using Bytes = std::vector<unsigned char>;

class TempDir {
public:
    TempDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "klib-mat-XXXXXX").string();
        path_ = mkdtemp(pattern.data()) ? pattern : std::string();
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

inline std::uint32_t le32(const Bytes& bytes, std::size_t at) {
    return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 |
           std::uint32_t(bytes[at + 3]) << 24;
}

inline Bytes readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void writeBytes(const std::string& path, const Bytes& bytes, std::size_t length) {
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(length));
}

inline void writeBytes(const std::string& path, const Bytes& bytes) {
    writeBytes(path, bytes, bytes.size());
}

// Appends numbers in little- or big-endian order, written out byte by byte.
class Builder {
public:
    explicit Builder(bool bigEndian = false) : bigEndian_(bigEndian) {}

    Builder& number(std::uint64_t value, int size) {
        for (int i = 0; i < size; ++i)
            bytes.push_back(
                static_cast<unsigned char>(value >> 8 * (bigEndian_ ? size - 1 - i : i)));
        return *this;
    }
    Builder& u32(std::uint32_t value) { return number(value, 4); }
    Builder& tag(std::uint32_t type, std::uint32_t count) { return u32(type).u32(count); }
    Builder& f64(double value) {
        std::uint64_t bits;
        std::memcpy(&bits, &value, 8);
        return number(bits, 8);
    }
    Builder& text(const std::string& value) {
        bytes.insert(bytes.end(), value.begin(), value.end());
        return *this;
    }
    // A small data element: type and byte count (at most 4) in one u32, then the data padded to
    // 4 bytes.
    Builder& small(std::uint32_t type, const std::string& data) {
        u32(static_cast<std::uint32_t>(data.size()) << 16 | type).text(data);
        return zeros(4 - data.size());
    }
    Builder& smallNumber(std::uint32_t type, std::uint32_t value, int size) {
        u32(static_cast<std::uint32_t>(size) << 16 | type).number(value, size);
        return zeros(4 - static_cast<std::size_t>(size));
    }
    Builder& zeros(std::size_t count) {
        bytes.insert(bytes.end(), count, 0);
        return *this;
    }
    // 128-byte header with the version as a number in this builder's byte order.
    Builder& header(const std::string& description, std::uint16_t version = 0x0100) {
        text(description).zeros(116 - description.size() + 8).number(version, 2);
        return text(bigEndian_ ? "MI" : "IM");
    }
    // Array element tag, flags, dimensions and name; the caller appends the data.
    Builder& array(std::uint32_t byteCount, std::uint32_t classNumber,
                   const std::vector<std::int32_t>& dims, const std::string& name) {
        tag(14, byteCount).tag(6, 8).u32(classNumber).u32(0).tag(5, 4 * dims.size());
        for (std::int32_t d : dims)
            u32(static_cast<std::uint32_t>(d));
        zeros(dims.size() % 2 * 4).tag(1, name.size()).text(name);
        return zeros((8 - name.size() % 8) % 8);
    }

    // Writes the byte count of the element whose tag starts at tagAt: everything after the tag.
    Builder& patchCount(std::size_t tagAt) {
        Builder count(bigEndian_);
        count.u32(static_cast<std::uint32_t>(bytes.size() - tagAt - 8));
        std::memcpy(bytes.data() + tagAt + 4, count.bytes.data(), 4);
        return *this;
    }

    Bytes bytes;

private:
    bool bigEndian_;
};

} // namespace MatlabTest
