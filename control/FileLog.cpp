#include "control/FileLog.h"

#include <cstdio>

// One graph's values, to the graph shown and to the file.
class FileLog::Feed : public SampleTarget {
public:
    Feed(SampleTarget& file, bool& sweepEnded) : file_(file), sweepEnded_(sweepEnded) {}

    void show(SampleTarget* graph) { graph_ = graph; }
    void appendSamples(int channel, const double* values, int count) override {
        graph_->appendSamples(channel, values, count);
        file_.appendSamples(channel, values, count);
    }
    bool advance(int count) override {
        if (graph_->advance(count))
            sweepEnded_ = true;
        return file_.advance(count);
    }
    void framesLost(int atValue, std::int64_t frames, int substitutes) override {
        graph_->framesLost(atValue, frames, substitutes);
        file_.framesLost(atValue, frames, substitutes);
    }

private:
    SampleTarget& file_;
    bool& sweepEnded_;
    SampleTarget* graph_ = nullptr;
};

FileLog::FileLog(std::string path, std::unique_ptr<FileRecording> recording, double rate,
                 std::uint64_t rows)
    : path_(std::move(path)), recording_(std::move(recording)), rate_(rate), rows_(rows) {
    for (SampleTarget* file : recording_->targets())
        feeds_.push_back(std::make_unique<Feed>(*file, sweepEnded_));
}

FileLog::~FileLog() = default;

std::vector<SampleTarget*> FileLog::targets(const std::vector<SampleTarget*>& shown) {
    std::vector<SampleTarget*> targets;
    for (std::size_t g = 0; g < feeds_.size() && g < shown.size(); ++g) {
        feeds_[g]->show(shown[g]);
        targets.push_back(feeds_[g].get());
    }
    return targets;
}

bool FileLog::sweepEnded() {
    const bool ended = sweepEnded_;
    sweepEnded_ = false;
    return ended;
}

std::string FileLog::progressText() const {
    char text[64];
    std::snprintf(text, sizeof text, "%.1f of %.1f s",
                  static_cast<double>(recording_->rows()) / rate_,
                  static_cast<double>(rows_) / rate_);
    return "Recording (log)... " + std::string(text) + " into " + path_;
}

std::string FileLog::writtenText() const {
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.1f s",
                  static_cast<double>(recording_->rows()) / rate_);
    std::int64_t lost = 0;
    for (const FrameLoss& loss : recording_->losses())
        lost += loss.frames;
    return "Log of " + std::string(seconds) + " written to " + path_ + "." +
           (lost > 0 ? " " + std::to_string(lost) + " frames lost." : std::string());
}

std::string FileLog::failedText() const {
    return "Log into " + path_ + " stopped: the file could not be written.";
}
