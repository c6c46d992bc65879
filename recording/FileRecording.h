#pragma once

#include "files/SampleStream.h"
#include "recording/StreamedGraphs.h"

#include <memory>
#include <string>
#include <vector>

// A recording into a file, as the command-line tool and the window's log make it: at every data
// tick the rows the graphs got go to the file, once a second the file is brought up to date on
// disk, and at the end it is completed with the table of the losses.
class FileRecording {
public:
    // The file of `path`'s type (see openSampleStream) for the graphs of `config` at `rate`
    // samples per second, taking at most `rowLimit` rows. Null, with `error` set, when the file
    // cannot be made.
    static std::unique_ptr<FileRecording> open(const std::string& path, Config& config, double rate,
                                               std::uint64_t rowLimit, std::string& error);
    FileRecording(std::unique_ptr<SampleStream> file, const Config& config, std::uint64_t rowLimit);

    // Graph g of the configuration is decoded into targets()[g].
    std::vector<SampleTarget*> targets() { return graphs_.targets(); }
    // The data tick, after what arrived has been decoded; false when the file failed.
    bool tick();
    // Writes what is left and completes the file, a long completion reporting its progress to
    // `progress`; false when anything failed, now or before.
    bool finish(FileProgress* progress = nullptr);

    // Rows written so far.
    std::uint64_t rows() const { return graphs_.rows(); }
    const std::vector<FrameLoss>& losses() const { return graphs_.losses(); }
    // Bytes written, the error of a failed write, the notice of a completed file.
    const SampleStream& file() const { return *file_; }

private:
    std::unique_ptr<SampleStream> file_;
    StreamedGraphs graphs_;
    int ticks_ = 0;
    bool failed_ = false;
};
