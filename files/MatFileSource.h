#pragma once

#include "KLib/Data/FileDataReader.h"
#include "files/SampleSource.h"

// A version-5 MAT data file read a block of rows at a time. The values of every channel stored
// plainly in the file are read from where they stand; only a channel in a compressed element
// (as MATLAB saves them) is held in memory, which the format limits to 4 GiB.
class MatFileSource : public SampleSource {
public:
    explicit MatFileSource(const std::string& path);

    std::size_t read(std::size_t rows, const std::vector<double*>& columns) override;
    double progress() const override;

private:
    // Reads count values of a channel from row `first` on, NaN past its end.
    bool readValues(const LoadedChannel& channel, std::uint64_t first, std::size_t count,
                    double* out);

    KLib::FileDataReader file_;
    std::uint64_t rows_ = 0;
    std::uint64_t next_ = 0; // row read next
    std::vector<unsigned char> bytes_;
};
