#pragma once

#include "files/Hdf5Id.h"
#include "files/SampleSource.h"

// A MAT file of version 7.3 (HDF5, also named .h5) with the variables of a data file, read a
// block of rows at a time: per graph a struct with "fft" and per channel a struct with "data",
// "unit" and "color"; "time" for the rate and "lost" for the losses. Graphs come in the order
// they were written where the file records it (as the program's files do), otherwise by name;
// channels in the order of their struct's fields.
class Mat73Source : public SampleSource {
public:
    explicit Mat73Source(const std::string& path);

    std::size_t read(std::size_t rows, const std::vector<double*>& columns) override;
    double progress() const override;

    std::uint64_t rows() const { return rows_; }
    // Reads count values of column c (channels in graph and channel order) from row `first` on,
    // NaN past its end; false when the file can't be read.
    bool readColumn(std::size_t c, std::uint64_t first, std::size_t count, double* out);

private:
    struct Column {
        Hdf5Id dataset; // invalid for a channel without values
        std::uint64_t length = 0;
    };

    bool readGraph(hid_t group, LoadedGraph& graph);
    bool readChannel(hid_t group, LoadedChannel& channel);

    Hdf5Id file_;
    std::vector<Column> columns_;
    std::uint64_t rows_ = 0;
    std::uint64_t next_ = 0; // row read next
};
