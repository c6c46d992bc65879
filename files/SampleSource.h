#pragma once

#include "files/MatDataReader.h"
#include "files/SampleStream.h"

#include <memory>
#include <string>
#include <vector>

// A recording file read a block of rows at a time, so that a file of any length passes through
// memory in pieces: the counterpart of SampleStream for converting between file types.
class SampleSource {
public:
    virtual ~SampleSource() = default;

    // Graphs and channels with their names, units, colours and FFT flags, and the rate; the
    // channels hold no values (read them with read()).
    const LoadedData& layout() const { return layout_; }
    // Reads up to `rows` next rows into columns[c], one per channel in graph and channel order,
    // NaN where a channel has ended. Returns the rows read: 0 at the end and after a failure,
    // which error() then names.
    virtual std::size_t read(std::size_t rows, const std::vector<double*>& columns) = 0;
    // How much of the file has been read, 0...1.
    virtual double progress() const = 0;
    // The losses the file records, where they stand in its rows.
    const std::vector<FrameLoss>& losses() const { return losses_; }
    const std::string& error() const { return error_; }

protected:
    bool fail(const std::string& what) {
        if (error_.empty())
            error_ = what;
        return false;
    }

    LoadedData layout_;
    std::vector<FrameLoss> losses_;
    std::string error_;
};

// Opens a recording or data file by its content: a MAT file of version 5 or 7.3 (HDF5, also as
// .h5) or a CSV file with the header lines the program writes. Null, with `error` set, when the
// file can't be read.
std::unique_ptr<SampleSource> openSampleSource(const std::string& path, std::string& error);
