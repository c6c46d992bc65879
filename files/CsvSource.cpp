#include "files/CsvSource.h"

#include "files/CsvSampleStream.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <limits>
#include <sstream>

namespace {

int colorOfCell(const std::string& cell) {
    std::istringstream in(cell);
    in.imbue(std::locale::classic());
    std::vector<double> components(3);
    for (double& component : components)
        in >> component;
    return in ? colorOfComponents(components) : 0;
}

} // namespace

CsvSource::CsvSource(const std::string& path) : in_(path, std::ios::binary), path_(path) {
    std::string names, units, colors;
    if (!in_ || !std::getline(in_, names) || !std::getline(in_, units) ||
        !std::getline(in_, colors) || names.rfind("time", 0) != 0) {
        fail("Can't read file " + path + ": it is not a CSV file of this program");
        return;
    }
    std::error_code ignored;
    size_ = std::filesystem::file_size(path, ignored);
    separator_ = names.size() > 4 && names[4] == ';' ? ';' : ',';
    const std::vector<std::string> nameCells = cells(names);
    const std::vector<std::string> unitCells = cells(units);
    const std::vector<std::string> colorCells = cells(colors);
    channels_ = nameCells.size() - 1;
    for (std::size_t c = 1; c < nameCells.size(); ++c) {
        const std::size_t dot = nameCells[c].find('.');
        const std::string graphName = nameCells[c].substr(0, dot);
        if (layout_.graphs.empty() || layout_.graphs.back().name != graphName)
            layout_.graphs.emplace_back().name = graphName;
        LoadedChannel& channel = layout_.graphs.back().channels.emplace_back();
        channel.name = dot == std::string::npos ? std::string() : nameCells[c].substr(dot + 1);
        channel.hasUnit = c < unitCells.size();
        channel.unitText = channel.hasUnit ? unitCells[c] : std::string();
        channel.color = c < colorCells.size() ? colorOfCell(colorCells[c]) : 0;
    }
    // The rate from the first two time stamps; those rows are handed out first.
    std::string line;
    std::vector<double> times;
    while (ahead_.size() < 2 && std::getline(in_, line)) {
        ++line_;
        std::vector<double>& row = ahead_.emplace_back();
        if (!parseRow(line, row)) {
            fail("Can't read file " + path + ": line " + std::to_string(line_) + " is malformed");
            return;
        }
        times.push_back(row[0]);
    }
    layout_.hasRate = rateFromTime(times, layout_.rate);
    if (!readLosses(path))
        fail("Can't read the table of losses beside " + path);
    layout_.losses = losses_;
}

std::size_t CsvSource::read(std::size_t rows, const std::vector<double*>& columns) {
    std::size_t count = 0;
    std::vector<double> row;
    std::string line;
    while (error_.empty() && count < rows) {
        if (!ahead_.empty()) {
            row = std::move(ahead_.front());
            ahead_.erase(ahead_.begin());
        } else if (std::getline(in_, line)) {
            ++line_;
            bytesRead_ += line.size() + 1;
            if (!parseRow(line, row)) {
                fail("Can't read file " + path_ + ": line " + std::to_string(line_) +
                     " is malformed");
                return 0;
            }
        } else {
            break;
        }
        for (std::size_t c = 0; c < columns.size() && c < channels_; ++c)
            columns[c][count] = row[c + 1];
        ++count;
    }
    return count;
}

double CsvSource::progress() const {
    return size_ == 0 ? 1.0
                      : std::min(1.0, static_cast<double>(bytesRead_) / static_cast<double>(size_));
}

std::vector<std::string> CsvSource::cells(const std::string& line) const {
    std::vector<std::string> result;
    std::size_t start = 0;
    const std::size_t end = !line.empty() && line.back() == '\r' ? line.size() - 1 : line.size();
    while (true) {
        const std::size_t next = std::min(line.find(separator_, start), end);
        result.push_back(line.substr(start, next - start));
        if (next >= end)
            return result;
        start = next + 1;
    }
}

bool CsvSource::parseRow(std::string line, std::vector<double>& row) const {
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    // With ";" between cells, a comma can only be a decimal comma.
    if (separator_ == ';')
        std::replace(line.begin(), line.end(), ',', '.');
    row.assign(channels_ + 1, std::numeric_limits<double>::quiet_NaN());
    const char* cell = line.data();
    const char* end = cell + line.size();
    for (std::size_t c = 0; c <= channels_; ++c) {
        const char* next = std::find(cell, end, separator_);
        if ((next == end) != (c == channels_))
            return false;
        if (next != cell) {
            const auto [stop, error] = std::from_chars(cell, next, row[c]);
            if (error != std::errc() || stop != next)
                return false;
        }
        cell = next + 1;
    }
    return true;
}

bool CsvSource::readLosses(const std::string& path) {
    std::ifstream table(csvLossPath(path));
    if (!table)
        return true;
    std::string header;
    std::getline(table, header);
    FrameLoss loss;
    char comma = 0, comma2 = 0;
    while (table >> loss.atSample >> comma >> loss.frames >> comma2 >> loss.substitutes) {
        if (comma != ',' || comma2 != ',')
            return false;
        losses_.push_back(loss);
    }
    return table.eof();
}
