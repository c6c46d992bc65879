#pragma once

#include "files/SampleStream.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// A file written by a thread of its own. append() copies the rows into a block and returns, so
// that the data tick, and with it the reading of the box, never waits for the disk while the
// blocks held stay under `maxHeldBytes`; beyond that append() waits for room, the back-pressure
// of a disk that can't keep up at all. Blocks are reused, so that memory stays the same.
class BackgroundSampleStream : public SampleStream {
public:
    BackgroundSampleStream(std::unique_ptr<SampleStream> file, std::size_t maxHeldBytes);
    ~BackgroundSampleStream() override;
    BackgroundSampleStream(const BackgroundSampleStream&) = delete;
    BackgroundSampleStream& operator=(const BackgroundSampleStream&) = delete;

    // False once the file failed (error() says why); the rows are then dropped.
    bool append(const std::vector<const double*>& columns, std::size_t rows) override;
    // Asks the writer to bring the file up to date on disk after the rows appended so far.
    bool flush() override;
    // Waits until every row is written (or dropped after a failure), then completes the file in
    // this thread.
    bool close(const std::vector<FrameLoss>& losses) override;
    std::uint64_t bytesWritten() const override { return bytesWritten_; }
    const std::string& error() const override;
    void reportProgressTo(FileProgress* progress) override { file_->reportProgressTo(progress); }
    std::string notice() const override { return file_->notice(); }

private:
    struct Block {
        std::vector<double> values; // column after column
        std::size_t rows = 0;
        std::size_t columns = 0;
        bool flush = false; // no rows: a flush request
    };

    void write();
    // Waits until the writer has nothing left; the lock is held.
    void waitUntilWritten(std::unique_lock<std::mutex>& lock);

    std::unique_ptr<SampleStream> file_;
    const std::size_t maxHeldBytes_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Block> queue_;   // guarded by mutex_
    std::vector<Block> spare_;  // guarded by mutex_: written blocks, for reuse
    std::size_t heldBytes_ = 0; // guarded by mutex_: of the rows queued and being written
    bool busy_ = false;         // guarded by mutex_: the writer is writing a block
    bool failed_ = false;       // guarded by mutex_; set once the file failed
    bool ending_ = false;       // guarded by mutex_
    std::string error_;         // set before failed_, then never changed
    std::atomic<std::uint64_t> bytesWritten_{0};
    std::thread writer_;
};
