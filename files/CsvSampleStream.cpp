#include "files/CsvSampleStream.h"

#include "files/NameReplacement.h"
#include "signal/Units.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <filesystem>

namespace {

// Room for one number in its shortest round-trip form and a separator.
constexpr std::size_t cellChars = 32;
// Characters handed to the file at a time.
constexpr std::size_t bufferChars = 1 << 20;

char* writeNumber(double value, char* out) {
    return std::to_chars(out, out + cellChars - 1, value).ptr;
}

std::string colorCell(int color) {
    char text[cellChars * 3];
    char* end = writeNumber(((color >> 16) & 0xFF) / 255.0, text);
    *end++ = ' ';
    end = writeNumber(((color >> 8) & 0xFF) / 255.0, end);
    *end++ = ' ';
    end = writeNumber((color & 0xFF) / 255.0, end);
    return std::string(text, end);
}

// A file cut short by a full disk can end inside a line; it is cut after its last whole one, so
// that every line reads as a row.
void cutAfterLastLine(const std::string& path) {
    std::error_code failed;
    const std::uintmax_t size = std::filesystem::file_size(path, failed);
    if (failed)
        return;
    std::ifstream in(path, std::ios::binary);
    const std::uintmax_t tail = std::min<std::uintmax_t>(size, 1 << 16);
    std::string end(static_cast<std::size_t>(tail), '\0');
    in.seekg(static_cast<std::streamoff>(size - tail));
    if (!in.read(end.data(), static_cast<std::streamsize>(end.size())))
        return;
    const std::size_t lastLine = end.rfind('\n');
    if (lastLine != std::string::npos)
        std::filesystem::resize_file(path, size - tail + lastLine + 1, failed);
}

} // namespace

std::string csvLossPath(const std::string& path) {
    const std::size_t dot = path.rfind('.');
    return path.substr(0, dot) + ".lost.csv";
}

CsvSampleStream::CsvSampleStream(const std::string& path, Config& config, double rate)
    : path_(path), out_(path, std::ios::out | std::ios::trunc), dt_(1.0 / rate) {
    if (!out_) {
        fail("Can't create file " + path);
        return;
    }
    std::string names = "time", units = "s", colors;
    int counter = 0;
    for (GraphData& graph : config.graphList)
        for (ChannelData& channel : graph.channelList) {
            fixChannelName(channel.caption, counter);
            names += "," + graph.caption + "." + channel.caption;
            units += "," + unitName(channel.unit);
            colors += "," + colorCell(channel.color);
        }
    out_ << names << '\n' << units << '\n' << colors << '\n';
    if (!out_)
        fail("Can't write file " + path);
}

bool CsvSampleStream::append(const std::vector<const double*>& columns, std::size_t rows) {
    if (!error_.empty())
        return false;
    // The lines go to the file a buffer at a time: one write per line cost a fifth of the time.
    const std::size_t lineChars = (columns.size() + 1) * cellChars + 1;
    // As much as these rows need, up to bufferChars: a short recording does not take a
    // megabyte.
    const std::size_t wanted = std::max(std::min(bufferChars, rows * lineChars), lineChars);
    if (buffer_.size() < wanted)
        buffer_.resize(wanted);
    char* end = buffer_.data();
    for (std::size_t k = 0; k < rows; ++k) {
        if (static_cast<std::size_t>(end - buffer_.data()) + lineChars > buffer_.size())
            end = writeOut(end);
        end = writeNumber(static_cast<double>(written_ + k) * dt_, end);
        for (const double* column : columns) {
            *end++ = ',';
            end = writeNumber(column[k], end);
        }
        *end++ = '\n';
    }
    writeOut(end);
    written_ += rows;
    return out_ ? true : fail("Can't write file " + path_ + ": the disk is full or not writable");
}

char* CsvSampleStream::writeOut(char* end) {
    const auto length = static_cast<std::streamsize>(end - buffer_.data());
    out_.write(buffer_.data(), length);
    bytes_ += static_cast<std::uint64_t>(length);
    return buffer_.data();
}

bool CsvSampleStream::flush() {
    if (!error_.empty())
        return false;
    out_.flush();
    return out_ ? true : fail("Can't write file " + path_ + ": the disk is full or not writable");
}

bool CsvSampleStream::close(const std::vector<FrameLoss>& losses) {
    if (error_.empty()) {
        out_.close();
        if (!out_)
            fail("Can't write file " + path_ + ": the disk is full or not writable");
    }
    const bool dataWritten = error_.empty();
    if (!dataWritten) {
        out_.close();
        cutAfterLastLine(path_);
    }
    // The table goes beside the data even when that was cut short: it is a file of its own,
    // which a file size limit lets through, and the rows it names up to the cut are there.
    const std::string lost = csvLossPath(path_);
    std::ofstream table(lost, std::ios::out | std::ios::trunc);
    table << "sample,lost frames,substitutes\n";
    for (const FrameLoss& loss : losses)
        table << loss.atSample << ',' << loss.frames << ',' << loss.substitutes << '\n';
    table.close();
    return (table || fail("Can't write file " + lost)) && dataWritten;
}

bool CsvSampleStream::fail(const std::string& what) {
    if (error_.empty())
        error_ = what;
    return false;
}
