// Numbers through the program's CSV files and back through its CSV reader. The first byte picks
// (bits 0-1) what happens to the rest and (bits 2-3) the channels - 1 the numbers are dealt to:
//   0  the CSV recording: every number must read back as the very double written (any NaN as
//      a NaN, -0 as -0);
//   1  Save Data's CSV in the "C" locale and
//   2  in a decimal-comma locale: every number is written as printf's "%g" writes it and reads
//      back within its six significant digits (infinities and NaN as they were), and the cells
//      of a channel shorter than the longest read as NaN;
//   3  the rest is a CSV file as it comes (and what follows its first NUL the table of losses
//      beside it): the reader must take it or refuse it, never anything else.
// The numbers are the rest of the input, 8 bytes each, as the bits of a double (little-endian).

#include "files/ConsoleDataFileUI.h"
#include "files/CsvExport.h"
#include "files/CsvSampleStream.h"
#include "files/CsvSource.h"
#include "files/LocaleNumber.h"
#include "fuzz/Check.h"
#include "fuzz/ScratchFolder.h"

#include <clocale>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace {

using Columns = std::vector<std::vector<double>>;

const ScratchFolder& folder() {
    static const ScratchFolder scratch;
    return scratch;
}

// Number i goes to channel i modulo the channel count, so the last channels can be one short.
Columns dealNumbers(const std::uint8_t* data, std::size_t size, std::size_t channels) {
    Columns columns(channels);
    for (std::size_t i = 0; i + 8 <= size; i += 8) {
        std::uint64_t bits = 0;
        for (std::size_t b = 0; b < 8; ++b)
            bits |= std::uint64_t(data[i + b]) << (8 * b);
        double value = 0.0;
        std::memcpy(&value, &bits, sizeof value);
        columns[(i / 8) % channels].push_back(value);
    }
    return columns;
}

std::size_t longest(const Columns& columns) {
    std::size_t rows = 0;
    for (const std::vector<double>& column : columns)
        rows = std::max(rows, column.size());
    return rows;
}

// Reads every row of the file, one column per channel; each must have as many channels as
// written and the rows of the longest.
Columns readBack(const std::string& path, std::size_t channels, std::size_t rows) {
    CsvSource source(path);
    require(source.error().empty());
    std::size_t channelsRead = 0;
    for (const LoadedGraph& graph : source.layout().graphs)
        channelsRead += graph.channels.size();
    require(channelsRead == channels);
    Columns columns(channels, std::vector<double>(rows + 1));
    std::vector<double*> into;
    for (std::vector<double>& column : columns)
        into.push_back(column.data());
    require(source.read(rows + 1, into) == rows && source.error().empty());
    for (std::vector<double>& column : columns)
        column.resize(rows);
    return columns;
}

bool sameDouble(double written, double read) {
    if (std::isnan(written))
        return std::isnan(read);
    return std::memcmp(&written, &read, sizeof written) == 0;
}

// "%g" keeps six significant digits: the value read is off by half a unit of the sixth at
// most, 5e-6 of the value, and by the rounding of that decimal to a double.
bool sameToSixDigits(double written, double read) {
    if (std::isnan(written) || std::isinf(written))
        return sameDouble(written, read);
    return read == written || std::fabs(read - written) <= 5.000001e-6 * std::fabs(written);
}

void recordingRoundTrip(Columns columns) {
    // The recording writes rows of every channel; the short channels' last number is left out.
    std::size_t rows = longest(columns);
    for (const std::vector<double>& column : columns)
        rows = std::min(rows, column.size());
    Config config;
    GraphData& graph = addGraph(config);
    std::vector<const double*> from;
    for (std::vector<double>& column : columns) {
        addChannel(graph);
        column.resize(rows);
        from.push_back(column.data());
    }
    const std::string path = folder().file("recording.csv");
    CsvSampleStream stream(path, config, 10000.0);
    require(stream.append(from, rows) && stream.close({}));

    const Columns read = readBack(path, columns.size(), rows);
    for (std::size_t c = 0; c < columns.size(); ++c)
        for (std::size_t k = 0; k < rows; ++k)
            require(sameDouble(columns[c][k], read[c][k]));
}

// Every channel a graph of its own, holding the channel's numbers 1 ms apart.
class DealtGraphs : public GraphSamples {
public:
    explicit DealtGraphs(const Columns& columns) : columns_(columns) {}

    GraphTiming timing(int graph) const override {
        return {0.001, static_cast<int>(columns_[static_cast<std::size_t>(graph)].size())};
    }
    int copySamples(int graph, int channel, int from, double* destination,
                    int count) const override {
        const std::vector<double>& column = columns_[static_cast<std::size_t>(graph)];
        int copied = 0;
        for (int k = from; channel == 0 && k < static_cast<int>(column.size()) && copied < count;
             ++k)
            destination[copied++] = column[static_cast<std::size_t>(k)];
        return copied;
    }

private:
    const Columns& columns_;
};

void saveDataRoundTrip(const Columns& columns, const char* locale) {
    require(std::setlocale(LC_ALL, locale) != nullptr);
    const LocaleNumberFormat format;
    for (const std::vector<double>& column : columns)
        for (double value : column) {
            char expected[64];
            std::snprintf(expected, sizeof expected, "%g", value);
            char written[LocaleNumberFormat::MaxChars];
            require(std::string(written, format.write(value, written)) == expected);
        }
    Config config;
    for (std::size_t c = 0; c < columns.size(); ++c)
        addChannel(addGraph(config));
    const std::string path = folder().file("saved.csv");
    ConsoleDataFileUI ui;
    require(writeCsvFile(path, config, DealtGraphs(columns), ui));
    std::setlocale(LC_ALL, "C");

    const std::size_t rows = longest(columns);
    const Columns read = readBack(path, columns.size(), rows);
    for (std::size_t c = 0; c < columns.size(); ++c)
        for (std::size_t k = 0; k < rows; ++k)
            require(k < columns[c].size() ? sameToSixDigits(columns[c][k], read[c][k])
                                          : std::isnan(read[c][k]));
}

void write(const std::string& path, const std::uint8_t* data, std::size_t size) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    require(static_cast<bool>(out));
}

void readAnything(const std::uint8_t* data, std::size_t size) {
    const std::string path = folder().file("any.csv");
    const auto* nul = static_cast<const std::uint8_t*>(std::memchr(data, 0, size));
    const std::size_t fileBytes = nul ? static_cast<std::size_t>(nul - data) : size;
    write(path, data, fileBytes);
    if (nul)
        write(csvLossPath(path), nul + 1, size - fileBytes - 1);
    else
        std::remove(csvLossPath(path).c_str());

    CsvSource source(path);
    if (!source.error().empty())
        return;
    std::size_t channels = 0;
    for (const LoadedGraph& graph : source.layout().graphs)
        channels += graph.channels.size();
    constexpr std::size_t block = 16; // rows per read
    Columns columns(channels, std::vector<double>(block));
    std::vector<double*> into;
    for (std::vector<double>& column : columns)
        into.push_back(column.data());
    std::size_t rows = 0;
    while ((rows = source.read(block, into)) > 0)
        require(rows <= block);
    require(source.progress() >= 0.0 && source.progress() <= 1.0);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    const int mode = data[0] & 3;
    const std::size_t channels = static_cast<std::size_t>((data[0] >> 2) & 3) + 1;
    switch (mode) {
    case 0:
        recordingRoundTrip(dealNumbers(data + 1, size - 1, channels));
        break;
    case 1:
        saveDataRoundTrip(dealNumbers(data + 1, size - 1, channels), "C");
        break;
    case 2:
        saveDataRoundTrip(dealNumbers(data + 1, size - 1, channels), "de_DE.UTF-8");
        break;
    default:
        readAnything(data + 1, size - 1);
        break;
    }
    return 0;
}
