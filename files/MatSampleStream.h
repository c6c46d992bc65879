#pragma once

#include "files/Mat73SampleStream.h"

// A recording into a .mat file: while it runs, the file is MATLAB's version-7.3 layout (HDF5),
// which has no size limit and reads up to the last flush whatever happens. When it is closed and
// every variable fits a MATLAB 5 MAT file, that is written in its place (the form Save Data
// writes, read by every MAT reader); otherwise the 7.3 file stays and notice() says why.
class MatSampleStream : public SampleStream {
public:
    MatSampleStream(const std::string& path, Config& config, double rate);

    bool append(const std::vector<const double*>& columns, std::size_t rows) override {
        return recording_.append(columns, rows);
    }
    bool flush() override { return recording_.flush(); }
    bool close(const std::vector<FrameLoss>& losses) override;
    std::uint64_t bytesWritten() const override { return recording_.bytesWritten(); }
    const std::string& error() const override { return recording_.error(); }
    void reportProgressTo(FileProgress* progress) override { progress_ = progress; }
    std::string notice() const override { return notice_; }

private:
    std::string path_;
    Mat73SampleStream recording_;
    std::string notice_;
    FileProgress* progress_ = nullptr;
};
