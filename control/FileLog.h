#pragma once

#include "recording/FileRecording.h"

#include <memory>
#include <string>
#include <vector>

// A Log recording that the graphs cannot hold goes into a file: every value the decoder hands a
// graph goes into the file too, while the graphs sweep over their display time as with Start,
// so that the window's memory does not grow with the log.
class FileLog {
public:
    // The log of `rows` rows at `rate` samples per second into `recording`, whose file is `path`.
    FileLog(std::string path, std::unique_ptr<FileRecording> recording, double rate,
            std::uint64_t rows);
    ~FileLog();
    // Its feeds refer to it.
    FileLog(const FileLog&) = delete;
    FileLog& operator=(const FileLog&) = delete;

    // What the decoder feeds: graph g's values go to shown[g] and into the file. Only the file
    // reports itself full, when the log is complete; a full graph is noted for sweepEnded().
    std::vector<SampleTarget*> targets(const std::vector<SampleTarget*>& shown);
    // Whether a graph completed its sweep since the last call.
    bool sweepEnded();

    FileRecording& recording() { return *recording_; }
    // "Recording (log)... 12.0 of 3600.0 s into PATH"
    std::string progressText() const;
    // "Log of 12.0 s written to PATH.", with the frames lost, if any.
    std::string writtenText() const;
    // "Log into PATH stopped: the file could not be written."
    std::string failedText() const;

private:
    class Feed;
    std::string path_;
    std::unique_ptr<FileRecording> recording_;
    double rate_; // samples per second
    std::uint64_t rows_;
    std::vector<std::unique_ptr<Feed>> feeds_;
    bool sweepEnded_ = false;
};
