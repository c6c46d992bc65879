#pragma once

#include "files/Mat73Writer.h"
#include "files/SampleStream.h"

// A recording into MATLAB's version-7.3 layout (HDF5) while it runs, with the variables of Save
// Data's MAT file: per graph a struct named after it with "fft" and per channel a struct with
// "data" (N x 1), "unit" and "color" (3 x 1, 0...1); "time" (N x 1, s); and "lost", one row per
// loss: the row of data (from 1, as MATLAB counts) where it stands, the frames lost and the
// substitutes written there.
class Mat73SampleStream : public SampleStream {
public:
    Mat73SampleStream(const std::string& path, Config& config, double rate);

    bool append(const std::vector<const double*>& columns, std::size_t rows) override;
    bool flush() override { return writer_.flush(); }
    bool close(const std::vector<FrameLoss>& losses) override;
    std::uint64_t bytesWritten() const override { return bytes_; }
    const std::string& error() const override { return writer_.error(); }

private:
    Mat73Writer writer_;
    std::vector<Mat73Writer::Column> data_; // per channel, in graph and channel order
    Mat73Writer::Column time_ = 0;
    double dt_;                 // s between samples
    std::uint64_t written_ = 0; // rows
    std::uint64_t bytes_ = 0;
    std::vector<double> times_;
};
