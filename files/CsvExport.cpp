#include "files/CsvExport.h"

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
    for (int k = 0; k < longest; ++k) {
        out << localeNumber(k * dt);
        for (const std::vector<double>& column : columns) {
            out << separator;
            if (static_cast<std::size_t>(k) < column.size())
                out << localeNumber(column[static_cast<std::size_t>(k)]);
        }
        out << '\n';
    }
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
