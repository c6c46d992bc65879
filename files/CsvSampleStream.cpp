#include "files/CsvSampleStream.h"

#include "files/NameReplacement.h"
#include "signal/Units.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

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

std::string lossPath(const std::string& path) {
    const std::size_t dot = path.rfind('.');
    return path.substr(0, dot) + ".lost.csv";
}

} // namespace

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
    buffer_.resize(std::max(bufferChars, lineChars));
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
    if (!error_.empty())
        return false;
    out_.close();
    if (!out_)
        return fail("Can't write file " + path_ + ": the disk is full or not writable");
    const std::string lost = lossPath(path_);
    std::ofstream table(lost, std::ios::out | std::ios::trunc);
    table << "sample,lost frames,substitutes\n";
    for (const FrameLoss& loss : losses)
        table << loss.atSample << ',' << loss.frames << ',' << loss.substitutes << '\n';
    table.close();
    return table ? true : fail("Can't write file " + lost);
}

bool CsvSampleStream::fail(const std::string& what) {
    if (error_.empty())
        error_ = what;
    return false;
}
