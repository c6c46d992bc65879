#include "files/MatDataReader.h"

#include "KLib/Data/MatlabReader.h"
#include "files/NameReplacement.h"
#include "signal/Units.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr std::uint8_t StructClass = 2;
constexpr std::uint8_t CharClass = 4;
constexpr std::uint8_t DoubleClass = 6;

// A colour component of 0...1 as a byte, rounded to nearest.
int colorByte(double value) {
    const double scaled = std::floor(value * 255.0 + 0.5);
    return static_cast<int>(std::clamp(std::isnan(scaled) ? 0.0 : scaled, 0.0, 255.0));
}

bool readChannel(KLib::MatlabReader& reader, std::size_t fields, LoadedChannel& channel) {
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
            std::vector<double> values;
            if (!reader.readMatrix(values))
                return false;
            if (variable.name == "data") {
                channel.values = std::move(values);
            } else if (variable.name == "color" && values.size() >= 3) {
                channel.color =
                    colorByte(values[0]) << 16 | colorByte(values[1]) << 8 | colorByte(values[2]);
            }
        } else if (variable.classNumber == StructClass) {
            return false;
        }
    }
    return true;
}

bool readGraph(KLib::MatlabReader& reader, std::size_t fields, LoadedGraph& graph,
               ProgressMeter& meter) {
    for (std::size_t i = 0; i < fields; ++i) {
        KLib::MatlabVariable variable;
        if (!reader.readElementHeader(variable))
            return false;
        if (variable.classNumber == StructClass) {
            std::size_t channelFields = 0;
            LoadedChannel& channel = graph.channels.emplace_back();
            channel.name = variable.name;
            if (!reader.readFieldNames(channelFields) ||
                !readChannel(reader, channelFields, channel) || !reader.endStruct())
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

// The rate (samples per second) from the first two time stamps (s); false when they give none.
// Rounded to the nearest rate: the step of a saved rate r is 1/r in binary, whose inverse lies
// just below r for many rates (99999.99999999999 for 100000).
bool rateFromTime(const std::vector<double>& time, int& rate) {
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

} // namespace

bool readMatDataFile(const std::string& path, LoadedData& data, FileProgress* progress) {
    data = LoadedData{};
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
            if (!readGraph(reader, fields, graph, meter))
                return false;
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
        }
        meter.reach(static_cast<std::uint64_t>(reader.filePosition()));
        if (variable.classNumber == 0 || reader.endOfFile())
            break;
    }
    for (const LoadedGraph& graph : data.graphs)
        for (const LoadedChannel& channel : graph.channels)
            data.maxLen = std::max(data.maxLen, static_cast<int>(channel.values.size()));
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
