#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <vector>

// The smallest and largest of some values. Values that are not a number are left out, so that a
// single one cannot hide the others; without any number the range is empty (low > high).
struct ValueRange {
    double low = std::numeric_limits<double>::infinity();
    double high = -std::numeric_limits<double>::infinity();

    bool empty() const { return !(low <= high); }
    void add(double value) {
        // Written so that a value that is not a number compares false and changes nothing.
        low = value < low ? value : low;
        high = value > high ? value : high;
    }
    // True when adding `other` would change nothing.
    bool covers(const ValueRange& other) const { return other.low >= low && other.high <= high; }
    void add(const ValueRange& other) {
        low = other.low < low ? other.low : low;
        high = other.high > high ? other.high : high;
    }
};

// The range of values[first] to values[last - 1], sample by sample.
ValueRange scanRange(const double* values, std::size_t first, std::size_t last);

// Min/max summaries of a sample buffer in levels of ever larger blocks, so that the range of any
// span of samples costs about as much as that of a few dozen samples, whatever its length:
// whole blocks of the coarsest level that fits into the span, finer blocks and single samples
// only at its two ends, and those only where they could widen the range. The finest level
// summarises blocks of 32 samples, every further level 16 blocks of the level below; together
// the summaries take about a fifteenth of the memory of the samples. Blocks of 512 samples and
// more also note whether their samples never fall or never rise: the end of a span inside such
// a block takes one sample instead of the finer levels, so that a position that keeps turning
// one way, whose columns all have their extremes at their edges, is as quick as any curve. The
// buffer stays with the caller, who reports every change of it.
class SampleEnvelope {
public:
    // Summarises the first `count` values from scratch.
    void rebuild(const double* values, std::size_t count);
    // values[first] to values[last - 1] changed. Costs a few steps per changed value plus up to a
    // few thousand for the partly changed blocks at both ends.
    void update(const double* values, std::size_t first, std::size_t last);
    // The range of values[first] to values[last - 1], all within the summarised count.
    ValueRange range(const double* values, std::size_t first, std::size_t last) const;

    std::size_t count() const { return count_; }
    std::size_t memoryBytes() const;

private:
    struct Level {
        std::vector<ValueRange> ranges;
        // Per block, whether its samples never fall and whether they never rise (bits); empty
        // on the finest level.
        std::vector<std::uint8_t> orders;
    };

    // Adds values[first] to values[last - 1], which lie within one block of `level` and start or
    // end on a boundary of it.
    void addPart(const double* values, std::size_t first, std::size_t last, std::size_t level,
                 ValueRange& range) const;
    void addBlocks(std::size_t level, std::size_t first, std::size_t last, ValueRange& range) const;
    std::uint8_t blockOrder(const double* values, std::size_t level, std::size_t block) const;

    // levels_[k] summarises blocks of 32 * 16^k samples.
    std::vector<Level> levels_;
    std::size_t count_ = 0;
};
