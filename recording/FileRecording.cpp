#include "recording/FileRecording.h"

#include "recording/BackgroundSampleStream.h"

namespace {
// Data ticks of 100 ms between flushes to disk: a crash or a full disk costs at most the last
// second.
constexpr int ticksPerFlush = 10;
// What the file's writer thread may hold while the disk stalls: 1.6 s of the fastest recording
// (every signal of eight SinCos inputs as doubles, 164 MB/s), on top of what the frame ring
// holds.
constexpr std::size_t maxHeldBytes = std::size_t(256) << 20;
} // namespace

std::unique_ptr<FileRecording> FileRecording::open(const std::string& path, Config& config,
                                                   double rate, std::uint64_t rowLimit,
                                                   std::string& error) {
    std::unique_ptr<SampleStream> file = openSampleStream(path, config, rate, error);
    if (!file)
        return nullptr;
    return std::make_unique<FileRecording>(
        std::make_unique<BackgroundSampleStream>(std::move(file), maxHeldBytes), config, rowLimit);
}

FileRecording::FileRecording(std::unique_ptr<SampleStream> file, const Config& config,
                             std::uint64_t rowLimit)
    : file_(std::move(file)), graphs_(config, rowLimit) {}

bool FileRecording::tick() {
    failed_ =
        failed_ || !graphs_.flush(*file_) || (++ticks_ % ticksPerFlush == 0 && !file_->flush());
    return !failed_;
}

bool FileRecording::finish(FileProgress* progress) {
    failed_ = failed_ || !graphs_.flush(*file_);
    file_->reportProgressTo(progress);
    failed_ = !file_->close(graphs_.losses()) || failed_;
    return !failed_;
}
