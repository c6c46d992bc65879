#pragma once

#include "files/SampleStream.h"

#include <fstream>

// A recording as CSV while it runs: the header lines of Save Data's CSV ("time" and the
// graph.channel names, "s" and the units, the colours), then one line per sample with the time
// (s) and every channel's value. The file is for scripts: "," between cells and "." in numbers
// whatever the locale, and every number in the shortest form that reads back as the same
// double. The losses go beside it into NAME.lost.csv: the data row (from 0) of each loss, the
// frames lost and the substitutes written.
// NAME.lost.csv beside NAME.csv: where the table of a CSV recording's losses goes.
std::string csvLossPath(const std::string& path);

class CsvSampleStream : public SampleStream {
public:
    CsvSampleStream(const std::string& path, Config& config, double rate);

    bool append(const std::vector<const double*>& columns, std::size_t rows) override;
    bool flush() override;
    bool close(const std::vector<FrameLoss>& losses) override;
    std::uint64_t bytesWritten() const override { return bytes_; }
    const std::string& error() const override { return error_; }

private:
    bool fail(const std::string& what);
    // Writes the buffer up to end; returns its start.
    char* writeOut(char* end);

    std::string path_;
    std::ofstream out_;
    double dt_;                 // s between samples
    std::uint64_t written_ = 0; // rows
    std::uint64_t bytes_ = 0;
    std::vector<char> buffer_;
    std::string error_;
};
