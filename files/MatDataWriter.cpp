#include "files/MatDataWriter.h"

#include "KLib/Data/MatlabWriter.h"
#include "files/NameReplacement.h"
#include "files/PathPieces.h"
#include "files/StagedFile.h"
#include "signal/Units.h"

#include <algorithm>
#include <filesystem>
#include <limits>
#include <system_error>
#include <vector>

namespace {

// Rows of a column copied into the file at a time: 512 KiB of doubles.
constexpr int blockRows = 65536;

bool fileExists(const std::string& path) {
    std::error_code ignored;
    return std::filesystem::exists(path, ignored);
}

// Values the file will hold: the samples of every channel and the time column.
std::uint64_t valuesToWrite(const Config& config, const GraphSamples& graphs) {
    std::uint64_t values = 0;
    int longest = 0;
    int index = 0;
    for (const GraphData& graph : config.graphList) {
        const int count = std::max(0, graphs.timing(index++).highWater);
        values += static_cast<std::uint64_t>(count) * graph.channelList.size();
        longest = std::max(longest, count);
    }
    return values + static_cast<std::uint64_t>(longest);
}

// One struct per diagnostic view; readers tell it from a graph by its first field.
bool writeDiagnostics(KLib::MatlabWriter& writer, const GraphSamples& graphs) {
    for (const DiagnosticRecord& record : graphs.diagnosticRecords()) {
        if (!writer.beginStruct(diagnosticVariableName(record), record.figures.size() + 2) ||
            !writer.writeString("diagnostic", record.view) ||
            !writer.writeString("graph", record.graph))
            return false;
        for (const DiagnosticFigure& figure : record.figures)
            if (!writer.writeMatrix(figure.name, &figure.value, 1, 1))
                return false;
        if (!writer.endStruct())
            return false;
    }
    return true;
}

// The channel's samples as the column "data" of count rows, copied a block at a time: a whole
// column in memory first cost its allocation and page faults, a quarter of a long save. Samples
// the sweep did not reach are NaN, and set missing.
bool writeChannelData(KLib::MatlabWriter& writer, const GraphSamples& graphs, int graph,
                      int channel, int count, std::vector<double>& buffer, bool& missing) {
    buffer.resize(blockRows);
    if (!writer.beginColumn("data", static_cast<std::size_t>(count)))
        return false;
    for (int from = 0; from < count; from += blockRows) {
        const int rows = std::min(blockRows, count - from);
        const int copied =
            std::max(0, graphs.copySamples(graph, channel, from, buffer.data(), rows));
        if (copied < rows) {
            missing = true;
            std::fill(buffer.begin() + copied, buffer.begin() + rows,
                      std::numeric_limits<double>::quiet_NaN());
        }
        if (!writer.appendColumn(buffer.data(), static_cast<std::size_t>(rows)))
            return false;
    }
    return true;
}

// The column "time" of count rows, k * dt (s), a block at a time like the channels.
bool writeTimeColumn(KLib::MatlabWriter& writer, int count, double dt,
                     std::vector<double>& buffer) {
    buffer.resize(blockRows);
    if (!writer.beginColumn("time", static_cast<std::size_t>(count)))
        return false;
    for (int from = 0; from < count; from += blockRows) {
        const int rows = std::min(blockRows, count - from);
        for (int k = 0; k < rows; ++k)
            buffer[static_cast<std::size_t>(k)] = static_cast<double>(from + k) * dt;
        if (!writer.appendColumn(buffer.data(), static_cast<std::size_t>(rows)))
            return false;
    }
    return true;
}

// Writes every graph holding samples, the diagnostic views and the time column. Sets missing when a
// channel had fewer fresh samples than its graph's sample count.
bool writeContent(KLib::MatlabWriter& writer, Config& config, const GraphSamples& graphs,
                  bool& missing, DataFileUI& ui) {
    ProgressMeter meter(&ui, "Writing MATLAB file", valuesToWrite(config, graphs), LargeDataValues);
    if (!writer.writeHeader("MATLAB 5.0 MAT-file, Created by ORVA 2 USB"))
        return false;
    int counter = 0;
    int longest = 0; // samples
    double dt = 0.0; // s, of the last graph asked; all graphs share the rate
    std::vector<double> buffer;
    int index = 0;
    for (GraphData& graph : config.graphList) {
        const GraphTiming timing = graphs.timing(index);
        dt = timing.dt;
        const int count = timing.highWater;
        longest = std::max(longest, count);
        if (count > 0) {
            fixGraphName(graph.caption, counter);
            if (!writer.beginStruct(graph.caption, graph.channelList.size() + 1) ||
                !writer.writeString("fft", graph.fft ? "true" : "false"))
                return false;
            int channelIndex = 0;
            for (ChannelData& channel : graph.channelList) {
                fixChannelName(channel.caption, counter);
                const double color[] = {((channel.color >> 16) & 0xFF) / 255.0,
                                        ((channel.color >> 8) & 0xFF) / 255.0,
                                        (channel.color & 0xFF) / 255.0};
                if (!writer.beginStruct(channel.caption, 3) ||
                    !writeChannelData(writer, graphs, index, channelIndex++, count, buffer,
                                      missing) ||
                    !writer.writeString("unit", unitName(channel.unit)) ||
                    !writer.writeMatrix("color", color, 3, 1) || !writer.endStruct())
                    return false;
                meter.advance(static_cast<std::uint64_t>(count));
            }
            if (!writer.endStruct())
                return false;
        }
        ++index;
    }
    if (!writeDiagnostics(writer, graphs))
        return false;
    // The row of the trigger's event, counted from 1 as MATLAB counts.
    const double triggerRow = static_cast<double>(graphs.triggerIndex() + 1);
    if (graphs.triggerIndex() >= 0 && !writer.writeMatrix("triggerIndex", &triggerRow, 1, 1))
        return false;
    if (longest > 0) {
        if (!writeTimeColumn(writer, longest, dt, buffer))
            return false;
        meter.advance(static_cast<std::uint64_t>(longest));
    }
    return writer.close();
}

} // namespace

bool writeMatDataFile(const std::string& path, Config& config, const GraphSamples& graphs,
                      DataFileUI& ui) {
    ui.showStatus("Writing configuration file...");
    const std::string sidePath = sideConfigPath(path);
    if (!fileExists(path) && fileExists(sidePath) &&
        !ui.askYesNo("A configuration file with the following name already exists, do you want "
                     "to overwrite it?" +
                         sidePath,
                     "File Overwrite Confirmation")) {
        ui.showStatus("");
        return false;
    }
    // Both files are written under staging names and replace an earlier pair only together, so
    // that a failed save leaves the earlier data file with the configuration it was saved with.
    // A failed side file does not stop the data file.
    const bool sideStaged = ui.saveConfigFile(stagingPath(sidePath));
    if (!sideStaged)
        discardStaged(sidePath);
    ui.showStatus("Writing MATLAB file...");
    bool missing = false;
    {
        KLib::MatlabWriter writer(stagingPath(path));
        if (!writer.isOpen()) {
            discardStaged(sidePath);
            ui.showMessage("Can't create file " + path, "Message");
            return false;
        }
        if (!writeContent(writer, config, graphs, missing, ui)) {
            writer.close();
            discardStaged(path);
            discardStaged(sidePath);
            ui.showStatus("");
            ui.showMessage("Can't write file " + path +
                               ": the disk is full, the folder is not writable or the data are "
                               "too large for a MAT file",
                           "Message");
            return false;
        }
    }
    if (!commitStagedPair(path, sidePath, sideStaged)) {
        ui.showStatus("");
        ui.showMessage("Can't create file " + path, "Message");
        return false;
    }
    ui.showStatus(missing ? "Done writing MATLAB file; samples not reached by the stopped sweep "
                            "are written as NaN"
                          : "Done writing MATLAB file");
    return true;
}
