// Writes the fuzzing seeds that come from the program's own writers into a corpus folder:
// MAT files (a data file as "save data" writes it, and a big-endian file with nested
// structures), the same files' elements for the compressed-MAT target and frame-decoder
// scenarios carrying valid frames of the box.
//
//   fuzz_seed_writer <corpus folder>

#include "KLib/Data/MatlabFormat.h"
#include "KLib/Data/MatlabWriter.h"
#include "files/ConsoleDataFileUI.h"
#include "files/MatDataWriter.h"
#include "fuzz/CompressedMatScenario.h"
#include "fuzz/FrameScenario.h"
#include "signal/ChannelSelection.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

// Two graphs of 16 samples at 1 kHz, sine and cosine shaped.
class ShortRecording : public GraphSamples {
public:
    GraphTiming timing(int graph) const override {
        return graph < 2 ? GraphTiming{0.001, samples} : GraphTiming{};
    }
    int copySamples(int graph, int channel, int from, double* destination,
                    int count) const override {
        int copied = 0;
        for (int i = from; i < samples && copied < count; ++i)
            destination[copied++] = std::sin(0.4 * i + graph + 0.5 * channel) * 100.0;
        return copied;
    }

private:
    static constexpr int samples = 16;
};

bool writeDataFile(const std::filesystem::path& path) {
    Config config;
    resizeInputs(config.inputSettings, 2, 1, 1, 1);
    GraphData& position = addGraph(config);
    position.caption = "Position";
    addChannel(position).caption = "Encoder1";
    ChannelData& error = addChannel(position);
    error.caption = "Angle error";
    error.unit = 3;
    error.color = 0xFF8000;
    GraphData& speed = addGraph(config);
    speed.fft = true;
    addChannel(speed).unit = 13;
    ConsoleDataFileUI ui;
    return writeMatDataFile(path.string(), config, ShortRecording(), ui);
}

bool writeNestedFile(const std::filesystem::path& path) {
    KLib::MatlabWriter writer(path.string());
    writer.setByteSwap(true);
    const double matrix[] = {1.0, -2.5, 1e-300, 3.0, NAN, INFINITY};
    return writer.writeHeader("MATLAB 5.0 MAT-file, nested structures") &&
           writer.writeString("note", "Grad \xB0") && writer.writeMatrix("matrix", matrix, 2, 3) &&
           writer.beginStruct("outer", 2) && writer.writeMatrix("empty", matrix, 0, 0) &&
           writer.beginStruct("inner", 1) && writer.writeString("text", "x") &&
           writer.endStruct() && writer.endStruct() && writer.close();
}

void put(Bytes& frame, int offset, std::uint32_t value, int size) {
    for (int i = 0; i < size; ++i)
        frame[static_cast<std::size_t>(offset + i)] = static_cast<std::uint8_t>(value >> (8 * i));
}

// The counter bytes of a frame: the first frame's counter as it is, for every later frame the
// frames lost since the frame before (see FrameScenario.h); false when no bytes say that.
bool counterBytes(const std::vector<int>& counters, std::size_t f, std::uint32_t& bytes) {
    if (f == 0) {
        bytes = static_cast<std::uint32_t>(counters[0]);
        return true;
    }
    const int lost = (counters[f] - counters[f - 1] - 1) & 0xFFFF;
    bytes = lost < 256 ? static_cast<std::uint32_t>(lost)
                       : 0xFF00 | static_cast<std::uint32_t>(lost >> 8);
    return frameScenarioLostFrames(static_cast<std::uint8_t>(bytes),
                                   static_cast<std::uint8_t>(bytes >> 8)) == lost;
}

// The header bytes followed by the frames in pieces of `piece` bytes, every `piecesPerTick`-th
// piece handed over; `counters` are the frame counters of the frames in order. Empty when a
// counter step cannot be written.
Bytes scenario(const Bytes& header, std::size_t piece, const std::vector<int>& counters,
               std::size_t piecesPerTick = 1) {
    const ChannelSelection selection =
        computeChannelSelection(readFrameScenario(header.data(), header.size()).config);
    Bytes stream;
    for (std::size_t f = 0; f < counters.size(); ++f) {
        Bytes frame(static_cast<std::size_t>(selection.frameSize), 0);
        std::uint32_t counter = 0;
        if (!counterBytes(counters, f, counter))
            return {};
        put(frame, frameCounterOffset, counter, 2);
        for (std::size_t slot = 0; slot < selection.slotOffsets.size(); ++slot) {
            const int offset = selection.slotOffsets[slot];
            if (offset < 0)
                continue;
            const int size = static_cast<int>(frame.size()) - offset;
            const auto value = static_cast<std::uint32_t>(
                std::lround(20000 * std::sin(0.3 * static_cast<double>(f + slot))));
            put(frame, offset, value, std::min(size, 4));
        }
        stream.insert(stream.end(), frame.begin(), frame.end());
    }
    Bytes out = header;
    for (std::size_t at = 0, n = 1; at < stream.size(); at += piece, ++n) {
        const std::size_t length = std::min(piece, stream.size() - at);
        out.push_back(static_cast<std::uint8_t>((n % piecesPerTick == 0 ? 0x80 : 0) | length));
        out.insert(out.end(), stream.begin() + static_cast<long>(at),
                   stream.begin() + static_cast<long>(at + length));
    }
    out.push_back(0); // a read that times out
    return out;
}

std::vector<int> counters(int first, int count) {
    std::vector<int> list;
    for (int i = 0; i < count; ++i)
        list.push_back((first + i) & 0xFFFF);
    return list;
}

// A counter one step back, beyond the decoder's gap limit, then a gap that the rest of the chunk
// cannot take whole, both in one delivery.
std::vector<int> lossCounters() {
    const std::vector<int> lost = {65535, maxChunkValues - FrameDecoder::maxGapFill - 1, 0, 0, 0};
    std::vector<int> list = {10};
    for (int gap : lost)
        list.push_back((list.back() + 1 + gap) & 0xFFFF);
    return list;
}

std::size_t frameSize(const Bytes& header) {
    return static_cast<std::size_t>(
        computeChannelSelection(readFrameScenario(header.data(), header.size()).config).frameSize);
}

std::uint32_t readU32(const Bytes& bytes, std::size_t at, bool bigEndian) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i)
        value |= std::uint32_t(bytes[at + i]) << (bigEndian ? 24 - 8 * i : 8 * i);
    return value;
}

// The compressed-MAT target's input for a MAT file of ours: its top-level elements, each with
// the control byte `control`; the header is the target's to write.
Bytes compressedMatInput(const std::filesystem::path& path, bool bigEndian, std::uint8_t control) {
    std::ifstream in(path, std::ios::binary);
    const Bytes file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    constexpr std::size_t headerBytes =
        KLib::Matlab::HeaderTextBytes + KLib::Matlab::HeaderSubsystemBytes + 4;
    Bytes input = {bigEndian ? CompressedMatFlags::bigEndian : std::uint8_t(0)};
    for (std::size_t at = headerBytes; at + 8 <= file.size();) {
        const std::size_t end =
            std::min<std::size_t>(file.size(), at + 8 + readU32(file, at + 4, bigEndian));
        if (at > headerBytes)
            input.insert(input.end(), compressedMatElementEnd,
                         compressedMatElementEnd + compressedMatElementEndBytes);
        input.push_back(control);
        input.insert(input.end(), file.begin() + static_cast<long>(at),
                     file.begin() + static_cast<long>(end));
        at = end;
    }
    return input;
}

bool writeBytes(const std::filesystem::path& path, const Bytes& bytes) {
    if (bytes.empty())
        return false;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<long>(bytes.size()));
    return static_cast<bool>(out);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzz_seed_writer <corpus folder>\n");
        return 2;
    }
    const std::filesystem::path corpus = argv[1];
    const std::filesystem::path mat = corpus / "fuzz_mat_reader";
    const std::filesystem::path frames = corpus / "fuzz_frame_decoder";
    const std::filesystem::path compressed = corpus / "fuzz_mat_compressed";
    std::filesystem::create_directories(mat);
    std::filesystem::create_directories(frames);
    std::filesystem::create_directories(compressed);

    // The usual box (2 SinCos, 1 HTL/TTL, 1 SSI, 1 Analog): position, angle error (subtract),
    // speed (differentiate) in two graphs at 10 kHz, 128 values per sweep.
    const Bytes usualBox = {0x56, 0x49, 0x05, 0, 0, 0, 0, 0x0C, 0, 1, 0, 2, 0x0C, 1, 2, 0, 3, 0x1C};
    // One HTL/TTL input: its three levels, inverted R; a 256-byte ring, lost frames as -1.5.
    const Bytes levels = {0x04, 0x28, 0x00, 0, 0, 2, 0, 0, 0, 0, 3, 0, 0, 0, 0, 4, 0, 1};
    const bool ok =
        writeDataFile(mat / "data-file.mat") && writeNestedFile(mat / "nested-big-endian.mat") &&
        writeBytes(frames / "usual-box", scenario(usualBox, 100, counters(0, 40))) &&
        writeBytes(frames / "counter-wrap-and-gap",
                   scenario(usualBox, 37, {65533, 65534, 65535, 0, 1, 5, 6, 7, 7, 8})) &&
        writeBytes(frames / "levels-small-ring", scenario(levels, 9, counters(100, 60))) &&
        writeBytes(frames / "gap-limit-and-heavy-loss",
                   scenario(usualBox, 3 * frameSize(usualBox), lossCounters())) &&
        writeBytes(frames / "ring-overflow", scenario(levels, 100, counters(0, 200), 4)) &&
        writeBytes(compressed / "data-file",
                   compressedMatInput(mat / "data-file.mat", false,
                                      CompressedMatFlags::compressed |
                                          2 << CompressedMatFlags::levelShift)) &&
        writeBytes(compressed / "nested-big-endian",
                   compressedMatInput(mat / "nested-big-endian.mat", true,
                                      CompressedMatFlags::compressed |
                                          3 << CompressedMatFlags::levelShift));
    return ok ? 0 : 1;
}
