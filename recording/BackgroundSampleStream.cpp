#include "recording/BackgroundSampleStream.h"

#include <algorithm>

BackgroundSampleStream::BackgroundSampleStream(std::unique_ptr<SampleStream> file,
                                               std::size_t maxHeldBytes)
    : file_(std::move(file)), maxHeldBytes_(maxHeldBytes), writer_([this] { write(); }) {}

BackgroundSampleStream::~BackgroundSampleStream() {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        ending_ = true;
    }
    changed_.notify_all();
    writer_.join();
}

bool BackgroundSampleStream::append(const std::vector<const double*>& columns, std::size_t rows) {
    const std::size_t bytes = rows * columns.size() * sizeof(double);
    std::unique_lock<std::mutex> lock(mutex_);
    // A block larger than the limit is taken once nothing else is held.
    changed_.wait(
        lock, [&] { return failed_ || heldBytes_ == 0 || heldBytes_ + bytes <= maxHeldBytes_; });
    if (failed_)
        return false;
    Block block;
    if (!spare_.empty()) {
        block = std::move(spare_.back());
        spare_.pop_back();
    }
    heldBytes_ += bytes;
    lock.unlock();
    block.values.resize(rows * columns.size());
    for (std::size_t c = 0; c < columns.size(); ++c)
        std::copy_n(columns[c], rows, block.values.begin() + static_cast<std::ptrdiff_t>(c * rows));
    block.rows = rows;
    block.columns = columns.size();
    block.flush = false;
    lock.lock();
    queue_.push_back(std::move(block));
    changed_.notify_all();
    return true;
}

bool BackgroundSampleStream::flush() {
    const std::lock_guard<std::mutex> lock(mutex_);
    if (failed_)
        return false;
    Block request;
    request.flush = true;
    queue_.push_back(std::move(request));
    changed_.notify_all();
    return true;
}

bool BackgroundSampleStream::close(const std::vector<FrameLoss>& losses) {
    std::unique_lock<std::mutex> lock(mutex_);
    waitUntilWritten(lock);
    const bool failed = failed_;
    lock.unlock();
    // The writer waits for work that no longer comes; the file is this thread's now. A file
    // that failed is completed all the same, as far as it can be: what it holds stays readable
    // and it gets its table of losses.
    const bool closed = file_->close(losses);
    bytesWritten_ = file_->bytesWritten();
    lock.lock();
    if (!closed && !failed_) {
        error_ = file_->error();
        failed_ = true;
    }
    return closed && !failed;
}

const std::string& BackgroundSampleStream::error() const {
    return error_;
}

void BackgroundSampleStream::waitUntilWritten(std::unique_lock<std::mutex>& lock) {
    changed_.wait(lock, [&] { return queue_.empty() && !busy_; });
}

void BackgroundSampleStream::write() {
    std::vector<const double*> columns;
    std::unique_lock<std::mutex> lock(mutex_);
    while (true) {
        changed_.wait(lock, [&] { return ending_ || !queue_.empty(); });
        if (queue_.empty())
            return;
        Block block = std::move(queue_.front());
        queue_.pop_front();
        // After a failure the rows still coming are dropped; append() says so to the caller.
        const bool write = !failed_;
        busy_ = write;
        lock.unlock();
        bool written = true;
        if (write) {
            columns.clear();
            for (std::size_t c = 0; c < block.columns; ++c)
                columns.push_back(block.values.data() + c * block.rows);
            written = block.flush ? file_->flush() : file_->append(columns, block.rows);
            bytesWritten_ = file_->bytesWritten();
        }
        lock.lock();
        busy_ = false;
        heldBytes_ -= block.rows * block.columns * sizeof(double);
        if (!written) {
            error_ = file_->error();
            failed_ = true;
        }
        if (!block.flush)
            spare_.push_back(std::move(block));
        changed_.notify_all();
    }
}
