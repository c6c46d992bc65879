#include "files/MatDataReader.h"

#include "KLib/Data/MatlabReader.h"
#include "files/Mat73Header.h"
#include "files/Mat73Source.h"
#include "files/NameReplacement.h"
#include "signal/Units.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>
#include <limits>
#include <new>

namespace {

// A colour component of 0...1 as a byte, rounded to nearest.
int colorByte(double value) {
    const double scaled = std::floor(value * 255.0 + 0.5);
    return static_cast<int>(std::clamp(std::isnan(scaled) ? 0.0 : scaled, 0.0, 255.0));
}

constexpr std::uint8_t StructClass = 2;
constexpr std::uint8_t CharClass = 4;
constexpr std::uint8_t DoubleClass = 6;

bool readChannel(KLib::MatlabReader& reader, std::size_t fields, LoadedChannel& channel,
                 bool locateValues) {
    for (std::size_t i = 0; i < fields; ++i) {
        KLib::MatlabVariable variable;
        if (!reader.readElementHeader(variable))
            return false;
        if (variable.classNumber == CharClass) {
            std::string text;
            if (!reader.readString(text))
                return false;
            if (variable.name == "unit") {
                channel.hasUnit = true;
                channel.unitText = text;
            }
        } else if (variable.classNumber == DoubleClass) {
            KLib::MatlabValuesPlace place;
            if (variable.name == "data" && locateValues && reader.locateMatrix(place)) {
                channel.valuesAt = place.position;
                channel.valuesType = place.type;
                channel.valueCount = variable.count;
                continue;
            }
            std::vector<double> values;
            if (!reader.readMatrix(values))
                return false;
            if (variable.name == "data") {
                channel.values = std::move(values);
            } else if (variable.name == "color") {
                channel.color = colorOfComponents(values);
            }
        } else if (variable.classNumber == StructClass) {
            return false;
        }
    }
    return true;
}

// Save Data writes the figures of a diagnostic view as a struct beside the graphs, marked by its
// first field.
bool isDiagnosticMark(const KLib::MatlabVariable& variable) {
    return variable.classNumber == CharClass && variable.name == "diagnostic";
}

// Reads an opened top-level struct as a graph; a diagnostic view's struct is left unread and
// sets `diagnostic`.
bool readGraph(KLib::MatlabReader& reader, std::size_t fields, LoadedGraph& graph,
               ProgressMeter& meter, bool locateValues, bool& diagnostic) {
    for (std::size_t i = 0; i < fields; ++i) {
        KLib::MatlabVariable variable;
        if (!reader.readElementHeader(variable))
            return false;
        if (i == 0 && isDiagnosticMark(variable)) {
            diagnostic = true;
            return reader.endStruct();
        }
        if (variable.classNumber == StructClass) {
            std::size_t channelFields = 0;
            LoadedChannel& channel = graph.channels.emplace_back();
            channel.name = variable.name;
            if (!reader.readFieldNames(channelFields) ||
                !readChannel(reader, channelFields, channel, locateValues) || !reader.endStruct())
                return false;
            meter.reach(static_cast<std::uint64_t>(reader.filePosition()));
        } else if (variable.classNumber == CharClass) {
            std::string text;
            if (!reader.readString(text))
                return false;
            if (variable.name == "fft" && text != "false")
                graph.fft = true;
        } else if (variable.classNumber == DoubleClass) {
            std::vector<double> unused;
            if (!reader.readMatrix(unused))
                return false;
        }
    }
    return reader.endStruct();
}

// MATLAB's version-7.3 files are HDF5 files, whose signature follows the 512-byte MAT header.
bool isMat73File(const std::string& path) {
    char signature[Hdf5SignatureBytes] = {};
    std::ifstream in(path, std::ios::binary);
    in.seekg(Mat73UserBlockBytes);
    return in.read(signature, sizeof signature) &&
           std::memcmp(signature, Hdf5Signature, Hdf5SignatureBytes) == 0;
}

bool readMat73DataFile(const std::string& path, LoadedData& data, FileProgress* progress) {
    Mat73Source source(path);
    if (!source.error().empty())
        return false;
    data = source.layout();
    std::uint64_t values = 0;
    for (const LoadedGraph& graph : data.graphs)
        for (const LoadedChannel& channel : graph.channels)
            values += channel.valueCount;
    ProgressMeter meter(progress, "Reading MATLAB file", values, LargeDataValues);
    std::size_t column = 0;
    try {
        for (LoadedGraph& graph : data.graphs)
            for (LoadedChannel& channel : graph.channels) {
                channel.values.resize(static_cast<std::size_t>(channel.valueCount));
                if (!source.readColumn(column++, 0, channel.values.size(), channel.values.data()))
                    return false;
                meter.advance(channel.valueCount);
            }
    } catch (const std::bad_alloc&) {
        // A file larger than the memory is refused like a damaged one.
        return false;
    }
    return true;
}

} // namespace

int colorOfComponents(const std::vector<double>& components) {
    if (components.size() < 3)
        return 0;
    return colorByte(components[0]) << 16 | colorByte(components[1]) << 8 |
           colorByte(components[2]);
}

bool rateFromTime(const std::vector<double>& time, int& rate) {
    // Rounded to the nearest rate: the step of a saved rate r is 1/r in binary, whose inverse
    // lies just below r for many rates (99999.99999999999 for 100000).
    if (time.size() < 2 || !(time[1] > time[0]))
        return false;
    const double perSecond = 1.0 / (time[1] - time[0]);
    if (!(perSecond < static_cast<double>(std::numeric_limits<int>::max())))
        return false;
    const long rounded = std::lround(perSecond);
    if (rounded < 1)
        return false;
    rate = static_cast<int>(rounded);
    return true;
}

bool readMatDataFile(const std::string& path, LoadedData& data, FileProgress* progress,
                     bool locateValues) {
    data = LoadedData{};
    if (isMat73File(path))
        return !locateValues && readMat73DataFile(path, data, progress);
    KLib::MatlabReader reader(path);
    std::string header;
    if (!reader.isOpen() || !reader.readHeader(header))
        return false;
    // Most of a data file is doubles of 8 bytes.
    ProgressMeter meter(progress, "Reading MATLAB file",
                        static_cast<std::uint64_t>(reader.fileSize()), 8 * LargeDataValues);
    while (true) {
        KLib::MatlabVariable variable;
        if (!reader.readElementHeader(variable))
            return false;
        if (variable.classNumber == StructClass) {
            std::size_t fields = 0;
            if (!reader.readFieldNames(fields))
                return false;
            LoadedGraph& graph = data.graphs.emplace_back();
            graph.name = variable.name;
            bool diagnostic = false;
            if (!readGraph(reader, fields, graph, meter, locateValues, diagnostic))
                return false;
            if (diagnostic)
                data.graphs.pop_back();
        } else if (variable.classNumber == CharClass) {
            std::string unused;
            if (!reader.readString(unused))
                return false;
        } else if (variable.classNumber == DoubleClass) {
            std::vector<double> values;
            if (!reader.readMatrix(values))
                return false;
            if (variable.name == "time" && rateFromTime(values, data.rate))
                data.hasRate = true;
            if (variable.name == "lost")
                data.losses = lossTable(values, variable.dimensions);
            if (variable.name == "triggerIndex" && values.size() == 1 && values[0] >= 1.0 &&
                values[0] <= 2147483647.0)
                data.triggerIndex = static_cast<std::int64_t>(values[0]) - 1;
        }
        meter.reach(static_cast<std::uint64_t>(reader.filePosition()));
        if (variable.classNumber == 0 || reader.endOfFile())
            break;
    }
    for (const LoadedGraph& graph : data.graphs)
        for (const LoadedChannel& channel : graph.channels)
            data.maxLen = std::max(data.maxLen, static_cast<int>(std::max<std::uint64_t>(
                                                    channel.values.size(), channel.valueCount)));
    reader.close();
    return true;
}

void applyLoadedData(const LoadedData& data, Config& config) {
    int counter = 0;
    for (const LoadedGraph& loaded : data.graphs) {
        GraphData& graph = addGraph(config);
        graph.caption = loaded.name;
        fixGraphName(graph.caption, counter);
        graph.fft = loaded.fft;
        for (const LoadedChannel& loadedChannel : loaded.channels) {
            ChannelData& channel = addChannel(graph);
            channel.caption = loadedChannel.name;
            channel.color = loadedChannel.color;
            const int unit = loadedChannel.hasUnit ? unitIndex(loadedChannel.unitText) : -1;
            if (unit >= 0)
                channel.unit = unit;
        }
    }
    if (data.hasRate)
        config.inputSettings.rate = data.rate;
    if (config.inputSettings.rate > 0)
        config.inputSettings.displayTime =
            static_cast<float>(data.maxLen) / static_cast<float>(config.inputSettings.rate);
}
