#include "files/CsvExport.h"

#include "files/LocaleNumber.h"
#include "files/NameReplacement.h"
#include "files/StagedFile.h"
#include "signal/Units.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <locale>
#include <sstream>
#include <vector>

namespace {

// The rows are collected in a buffer of this size before they are written (bytes), and the
// progress is reported every so many rows.
constexpr std::size_t WriteBufferBytes = 1 << 20;
constexpr int ProgressRows = 1 << 16;

// "%g" in the process locale, as spreadsheets of that locale read numbers.
std::string localeNumber(double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

// The colour cell "red green blue", components 0...1 in single precision with ".".
std::string colorCell(int color) {
    std::ostringstream cell;
    cell.imbue(std::locale::classic());
    cell << static_cast<float>((color >> 16) & 0xFF) / 255.0f << ' '
         << static_cast<float>((color >> 8) & 0xFF) / 255.0f << ' '
         << static_cast<float>(color & 0xFF) / 255.0f;
    return cell.str();
}

// A channel's column: where its samples are and how many the graph holds.
struct Column {
    int graph = 0;
    int channel = 0;
    int rows = 0; // values; the cells below them stay empty
};

// One line per sample: the time (s), then every channel's value, empty where it has none. The
// samples are read a block of rows at a time, so that a long log needs no copy of its own.
// Returns false when a channel gave fewer samples than its graph holds.
bool writeRows(std::ofstream& out, std::vector<Column>& columns, const GraphSamples& graphs,
               int rows, double dt, char separator, DataFileUI& ui) {
    const LocaleNumberFormat format;
    ProgressMeter meter(&ui, "Writing CSV file",
                        static_cast<std::uint64_t>(rows) * (columns.size() + 1), LargeDataValues);
    // Room for the longest possible row, so that a row never overflows the buffer, and no
    // more than the rows need: a short export does not take a megabyte.
    const std::size_t rowChars = (columns.size() + 1) * (LocaleNumberFormat::MaxChars + 1) + 1;
    std::vector<char> buffer(std::min(WriteBufferBytes, static_cast<std::size_t>(rows) * rowChars) +
                             rowChars);
    std::vector<std::vector<double>> block(
        columns.size(),
        std::vector<double>(static_cast<std::size_t>(std::min(rows, ProgressRows))));
    bool complete = true;
    char* end = buffer.data();
    for (int first = 0; first < rows; first += ProgressRows) {
        const int blockRows = std::min(ProgressRows, rows - first);
        for (std::size_t c = 0; c < columns.size(); ++c) {
            Column& column = columns[c];
            const int wanted = std::max(0, std::min(blockRows, column.rows - first));
            const int copied = std::max(0, graphs.copySamples(column.graph, column.channel, first,
                                                              block[c].data(), wanted));
            if (copied < wanted) {
                complete = false;
                column.rows = first + copied;
            }
        }
        for (int k = first; k < first + blockRows; ++k) {
            end = format.write(k * dt, end);
            for (std::size_t c = 0; c < columns.size(); ++c) {
                *end++ = separator;
                if (k < columns[c].rows)
                    end = format.write(block[c][static_cast<std::size_t>(k - first)], end);
            }
            *end++ = '\n';
            if (static_cast<std::size_t>(end - buffer.data()) >= WriteBufferBytes) {
                out.write(buffer.data(), end - buffer.data());
                end = buffer.data();
            }
        }
        meter.advance(static_cast<std::uint64_t>(blockRows) * (columns.size() + 1));
    }
    out.write(buffer.data(), end - buffer.data());
    meter.reach(static_cast<std::uint64_t>(rows) * (columns.size() + 1));
    return complete;
}

} // namespace

char csvSeparator() {
    return localeNumber(1.1) == "1,1" ? ';' : ',';
}

bool writeCsvFile(const std::string& path, Config& config, const GraphSamples& graphs,
                  DataFileUI& ui) {
    const char separator = csvSeparator();
    ui.showStatus("Writing CSV file...");
    std::ofstream out(stagingPath(path), std::ios::out | std::ios::trunc);
    if (!out) {
        ui.showStatus("");
        ui.showMessage("Can't create file " + path, "Message");
        return false;
    }
    int counter = 0;
    int longest = 0; // samples
    double dt = 0.0; // s, of the last graph asked; all graphs share the rate
    std::vector<Column> columns;
    std::string names = "time", units = "s", colors;
    int index = 0;
    for (GraphData& graph : config.graphList) {
        const GraphTiming timing = graphs.timing(index);
        dt = timing.dt;
        const int count = std::max(timing.highWater, 0);
        longest = std::max(longest, count);
        int channelIndex = 0;
        for (ChannelData& channel : graph.channelList) {
            fixChannelName(channel.caption, counter);
            names += separator + graph.caption + "." + channel.caption;
            units += separator + unitName(channel.unit);
            colors += separator + colorCell(channel.color);
            columns.push_back({index, channelIndex++, count});
        }
        ++index;
    }
    out << names << '\n' << units << '\n' << colors << '\n';
    const bool missing = !writeRows(out, columns, graphs, longest, dt, separator, ui);
    out.close();
    if (!out || !commitStaged(path)) {
        discardStaged(path);
        ui.showStatus("");
        ui.showMessage("Can't write file " + path +
                           ": the disk is full or the folder is not "
                           "writable",
                       "Message");
        return false;
    }
    ui.showStatus(missing ? "Done writing CSV file; samples not reached by the stopped sweep are "
                            "left empty"
                          : "Done writing CSV file");
    return true;
}
