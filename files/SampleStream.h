#pragma once

#include "config/Config.h"
#include "files/FileProgress.h"
#include "files/FrameLoss.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// A file that takes a recording's samples as they arrive, so that its length is bounded by the
// disk, not by memory. Every call returns false once anything failed; error() says what.
class SampleStream {
public:
    virtual ~SampleStream() = default;
    // Appends `rows` samples of every channel: columns[c] holds channel c's, channels in graph
    // order and within a graph in channel order.
    virtual bool append(const std::vector<const double*>& columns, std::size_t rows) = 0;
    // Writes out what is held back, so that the file reads up to here even if the program or
    // the disk fails later.
    virtual bool flush() = 0;
    // Completes the file, with the table of the losses; false when anything failed.
    virtual bool close(const std::vector<FrameLoss>& losses) = 0;
    // Bytes of samples handed to the file so far.
    virtual std::uint64_t bytesWritten() const = 0;
    virtual const std::string& error() const = 0;
    // Where a long completion (see close()) reports how far it has come.
    virtual void reportProgressTo(FileProgress*) {}
    // What the user should know about the file once it is closed (a form other than the one
    // asked for, say); empty when nothing.
    virtual std::string notice() const { return std::string(); }
};

// Whether the path's extension names a file type a recording can stream to.
bool isSampleStreamPath(const std::string& path);

// Opens the stream for the file type of the path's extension, ".csv", ".h5" or ".mat", with the
// graphs and channels of `config` (empty names are replaced there) at `rate` samples per
// second. Null, with `error` set, for another extension or when the file cannot be made.
std::unique_ptr<SampleStream> openSampleStream(const std::string& path, Config& config, double rate,
                                               std::string& error);
