#include "files/MatV5Copy.h"

#include "KLib/Data/MatlabWriter.h"
#include "files/LossTable.h"

#include <algorithm>
#include <limits>

namespace {

// Rows copied at a time: 64 Ki values, 512 KiB.
constexpr std::size_t BlockRows = 64 * 1024;
// More than any element's tags, flags, dimensions, name and field-name slot take (bytes).
constexpr std::uint64_t ElementOverhead = 256;
constexpr std::uint64_t MaxElementBytes = 0xFFFFFFFFu;

bool copyColumn(KLib::MatlabWriter& writer, Mat73Source& source, std::size_t column,
                std::uint64_t rows, std::vector<double>& block, ProgressMeter& meter) {
    if (!writer.beginColumn("data", static_cast<std::size_t>(rows)))
        return false;
    for (std::uint64_t first = 0; first < rows; first += BlockRows) {
        const auto count =
            static_cast<std::size_t>(std::min<std::uint64_t>(BlockRows, rows - first));
        if (!source.readColumn(column, first, count, block.data()) ||
            !writer.appendColumn(block.data(), count))
            return false;
        meter.advance(count);
    }
    return true;
}

} // namespace

bool fitsMatV5(const Mat73Source& source) {
    if (source.rows() > static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max()) ||
        8 * source.rows() + ElementOverhead > MaxElementBytes)
        return false;
    for (const LoadedGraph& graph : source.layout().graphs) {
        std::uint64_t bytes = ElementOverhead;
        for (const LoadedChannel& channel : graph.channels)
            bytes += 8 * channel.valueCount + 4 * ElementOverhead;
        if (bytes > MaxElementBytes)
            return false;
    }
    return true;
}

bool copyToMatV5(Mat73Source& source, const std::string& path, std::string& error,
                 FileProgress* progress) {
    KLib::MatlabWriter writer(path);
    if (!writer.isOpen()) {
        error = "Can't create file " + path;
        return false;
    }
    std::vector<double> block(BlockRows);
    std::uint64_t values = 0;
    for (const LoadedGraph& graph : source.layout().graphs)
        for (const LoadedChannel& channel : graph.channels)
            values += channel.valueCount;
    ProgressMeter meter(progress, "Writing MATLAB file", values, LargeDataValues);
    bool written = writer.writeHeader("MATLAB 5.0 MAT-file, Created by ORVA 2 USB");
    std::size_t column = 0;
    for (const LoadedGraph& graph : source.layout().graphs) {
        written = written && writer.beginStruct(graph.name, graph.channels.size() + 1) &&
                  writer.writeString("fft", graph.fft ? "true" : "false");
        for (const LoadedChannel& channel : graph.channels) {
            const double color[] = {((channel.color >> 16) & 0xFF) / 255.0,
                                    ((channel.color >> 8) & 0xFF) / 255.0,
                                    (channel.color & 0xFF) / 255.0};
            written = written && writer.beginStruct(channel.name, 3) &&
                      copyColumn(writer, source, column++, channel.valueCount, block, meter) &&
                      writer.writeString("unit", channel.unitText) &&
                      writer.writeMatrix("color", color, 3, 1) && writer.endStruct();
        }
        written = written && writer.endStruct();
    }
    const double dt = source.layout().hasRate ? 1.0 / source.layout().rate : 0.0; // s
    written = written && writer.beginColumn("time", static_cast<std::size_t>(source.rows()));
    for (std::uint64_t first = 0; written && first < source.rows(); first += BlockRows) {
        const auto count =
            static_cast<std::size_t>(std::min<std::uint64_t>(BlockRows, source.rows() - first));
        for (std::size_t k = 0; k < count; ++k)
            block[k] = static_cast<double>(first + k) * dt;
        written = writer.appendColumn(block.data(), count);
    }
    const std::vector<double> lost = lossTableValues(source.losses());
    written = written && writer.writeMatrix("lost", lost.data(), source.losses().size(), 3);
    if (!writer.close() || !written) {
        error = source.error().empty()
                    ? "Can't write file " + path + ": the disk is full or not writable"
                    : source.error();
        return false;
    }
    return true;
}
