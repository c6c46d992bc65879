#include "recording/BackgroundSampleStream.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>

namespace {

// A file that keeps what it is given, can be held up like a stalled disk and fails at a chosen
// append.
class HeldFile : public SampleStream {
public:
    bool append(const std::vector<const double*>& columns, std::size_t rows) override {
        std::unique_lock<std::mutex> lock(mutex_);
        released_.wait(lock, [&] { return !held_; });
        if (++appends_ == failingAppend_)
            error_ = "Can't write file run.h5: No space left on device";
        if (!error_.empty())
            return false;
        for (std::size_t k = 0; k < rows; ++k)
            for (std::size_t c = 0; c < columns.size(); ++c)
                values_.push_back(columns[c][k]);
        return true;
    }
    bool flush() override { return error_.empty(); }
    bool close(const std::vector<FrameLoss>& losses) override {
        closedWith_ = losses.size();
        return error_.empty();
    }
    std::uint64_t bytesWritten() const override { return 0; }
    const std::string& error() const override { return error_; }

    void hold(bool held) {
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            held_ = held;
        }
        released_.notify_all();
    }

    std::mutex mutex_;
    std::condition_variable released_;
    bool held_ = false;
    int appends_ = 0;
    int failingAppend_ = 0;
    std::vector<double> values_; // row after row
    std::size_t closedWith_ = 0; // losses handed to close()
    std::string error_;
};

// Two columns of `rows` rows from `first` on: first, first + 1, ... and their negatives.
struct Rows {
    Rows(double first, std::size_t rows) {
        for (std::size_t k = 0; k < rows; ++k) {
            a.push_back(first + static_cast<double>(k));
            b.push_back(-a.back());
        }
    }
    std::vector<const double*> columns() const { return {a.data(), b.data()}; }
    std::vector<double> a, b;
};

TEST(BackgroundSampleStream, RowsReachTheFileInOrderWhileTheDiskStalls) {
    auto file = std::make_unique<HeldFile>();
    HeldFile& disk = *file;
    BackgroundSampleStream stream(std::move(file), 1 << 20);
    disk.hold(true);
    // Ten blocks of 1000 rows, 160 kB in all, are taken while the disk takes nothing.
    for (int block = 0; block < 10; ++block) {
        const Rows rows(block * 1000.0, 1000);
        ASSERT_TRUE(stream.append(rows.columns(), 1000));
        if (block == 4) {
            ASSERT_TRUE(stream.flush());
        }
    }
    disk.hold(false);
    ASSERT_TRUE(stream.close({FrameLoss{}, FrameLoss{}}));
    ASSERT_EQ(disk.values_.size(), 20000u);
    for (std::size_t k = 0; k < 10000; ++k) {
        ASSERT_EQ(disk.values_[2 * k], static_cast<double>(k)) << "row " << k;
        ASSERT_EQ(disk.values_[2 * k + 1], -static_cast<double>(k)) << "row " << k;
    }
    EXPECT_EQ(disk.closedWith_, 2u);
}

TEST(BackgroundSampleStream, AFailedFileEndsTheRecordingWithItsError) {
    auto file = std::make_unique<HeldFile>();
    HeldFile& disk = *file;
    disk.failingAppend_ = 2;
    BackgroundSampleStream stream(std::move(file), 1 << 20);
    const Rows rows(0.0, 100);
    bool accepted = true;
    // The failure reaches the caller at a later append, at the latest once the writer caught up.
    for (int block = 0; block < 1000 && accepted; ++block)
        accepted = stream.append(rows.columns(), 100);
    EXPECT_FALSE(accepted);
    EXPECT_EQ(stream.error(), "Can't write file run.h5: No space left on device");
    EXPECT_FALSE(stream.close({}));
}

} // namespace
