#include "fuzz/CompressedMatScenario.h"

#include "KLib/Data/MatlabFormat.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>

namespace {

constexpr int levels[] = {0, 1, 6, 9};

void putU32(std::string& out, std::uint32_t value, bool bigEndian) {
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<char>(value >> (bigEndian ? 24 - 8 * i : 8 * i)));
}

std::string header(bool bigEndian) {
    std::string text(KLib::Matlab::HeaderTextBytes + KLib::Matlab::HeaderSubsystemBytes, '\0');
    const char description[] = "MATLAB 5.0 MAT-file, compressed elements";
    std::memcpy(text.data(), description, sizeof description - 1);
    const std::uint16_t version = KLib::Matlab::Version;
    text.push_back(static_cast<char>(bigEndian ? version >> 8 : version & 0xFF));
    text.push_back(static_cast<char>(bigEndian ? version & 0xFF : version >> 8));
    text += bigEndian ? "MI" : "IM";
    return text;
}

std::string deflated(const std::uint8_t* data, std::size_t size, int level) {
    uLongf length = compressBound(static_cast<uLong>(size));
    std::string stream(length, '\0');
    if (compress2(reinterpret_cast<Bytef*>(stream.data()), &length, data, static_cast<uLong>(size),
                  level) != Z_OK)
        return {};
    stream.resize(length);
    return stream;
}

void addElement(std::string& file, const std::uint8_t* data, std::size_t size, bool bigEndian) {
    if (size == 0)
        return;
    const std::uint8_t control = data[0];
    std::size_t at = 1;
    if (!(control & CompressedMatFlags::compressed)) {
        file.append(reinterpret_cast<const char*>(data + at), size - at);
        return;
    }
    std::uint8_t where[3] = {};
    if (control & (CompressedMatFlags::changeByte | CompressedMatFlags::cutShort)) {
        for (std::uint8_t& byte : where)
            byte = at < size ? data[at++] : 0;
    }
    std::string stream =
        deflated(data + at, size - at, levels[(control >> CompressedMatFlags::levelShift) & 3]);
    if (stream.empty())
        return;
    if (control & CompressedMatFlags::changeByte)
        stream[(where[0] | where[1] << 8) % stream.size()] ^= static_cast<char>(where[2] | 1);
    if (control & CompressedMatFlags::cutShort)
        stream.resize(stream.size() - std::min<std::size_t>(stream.size(), 1 + (where[2] & 15)));
    putU32(file, KLib::Matlab::TypeCompressed, bigEndian);
    putU32(file, static_cast<std::uint32_t>(stream.size()), bigEndian);
    file += stream;
}

} // namespace

std::string compressedMatFile(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return {};
    const bool bigEndian = (data[0] & CompressedMatFlags::bigEndian) != 0;
    std::string file = header(bigEndian);
    const std::uint8_t* end = data + size;
    const auto* marker = reinterpret_cast<const std::uint8_t*>(compressedMatElementEnd);
    const std::uint8_t* at = data + 1;
    while (at < end) {
        const std::uint8_t* next =
            std::search(at, end, marker, marker + compressedMatElementEndBytes);
        addElement(file, at, static_cast<std::size_t>(next - at), bigEndian);
        at = next == end ? end : next + compressedMatElementEndBytes;
    }
    return file;
}
