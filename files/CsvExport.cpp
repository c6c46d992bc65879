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

// One line per sample: the time (s), then every channel's value, empty where it has none.
void writeRows(std::ofstream& out, const std::vector<std::vector<double>>& columns, int rows,
               double dt, char separator, DataFileUI& ui) {
    const LocaleNumberFormat format;
    ProgressMeter meter(&ui, "Writing CSV file",
                        static_cast<std::uint64_t>(rows) * (columns.size() + 1), LargeDataValues);
    // Room for the longest possible row, so that a row never overflows the buffer, and no
    // more than the rows need: a short export does not take a megabyte.
    const std::size_t rowChars = (columns.size() + 1) * (LocaleNumberFormat::MaxChars + 1) + 1;
    std::vector<char> buffer(std::min(WriteBufferBytes, static_cast<std::size_t>(rows) * rowChars) +
                             rowChars);
    char* end = buffer.data();
    for (int k = 0; k < rows; ++k) {
        end = format.write(k * dt, end);
        for (const std::vector<double>& column : columns) {
            *end++ = separator;
            if (static_cast<std::size_t>(k) < column.size())
                end = format.write(column[static_cast<std::size_t>(k)], end);
        }
        *end++ = '\n';
        if (static_cast<std::size_t>(end - buffer.data()) >= WriteBufferBytes) {
            out.write(buffer.data(), end - buffer.data());
            end = buffer.data();
        }
        if ((k + 1) % ProgressRows == 0)
            meter.advance(static_cast<std::uint64_t>(ProgressRows) * (columns.size() + 1));
    }
    out.write(buffer.data(), end - buffer.data());
    meter.reach(static_cast<std::uint64_t>(rows) * (columns.size() + 1));
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
    bool missing = false;
    std::vector<std::vector<double>> columns; // fresh samples per channel
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
            std::vector<double>& column = columns.emplace_back();
            column.resize(static_cast<std::size_t>(count));
            const int copied =
                std::max(0, graphs.copySamples(index, channelIndex++, 0, column.data(), count));
            if (copied < count)
                missing = true;
            column.resize(static_cast<std::size_t>(std::min(copied, count)));
        }
        ++index;
    }
    out << names << '\n' << units << '\n' << colors << '\n';
    writeRows(out, columns, longest, dt, separator, ui);
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
