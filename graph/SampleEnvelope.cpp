#include "graph/SampleEnvelope.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>
#include <utility>

namespace {

// Blocks of level k hold 1 << shift(k) samples: 32, 512, 8192, ...
constexpr unsigned firstShift = 5;
constexpr unsigned levelShift = 4;

constexpr unsigned shift(std::size_t level) {
    return firstShift + levelShift * static_cast<unsigned>(level);
}

// Number of blocks of 1 << bits samples (or of lower blocks) needed for `count`.
std::size_t blocksFor(std::size_t count, unsigned bits) {
    return (count + (std::size_t{1} << bits) - 1) >> bits;
}

// The directions the samples of a block keep to, as bits; both for a constant block.
constexpr std::uint8_t neverFalls = 1;
constexpr std::uint8_t neverRises = 2;

// Two doubles side by side, with the comparisons and selections of the compiler's vector
// extension: each step then reads two samples, without branches. This scan runs over every sample
// the box sends, several million per second.
using Pair = double __attribute__((vector_size(16)));
using PairMask = std::int64_t __attribute__((vector_size(16)));

Pair loadPair(const double* values) {
    Pair pair;
    std::memcpy(&pair, values, sizeof pair);
    return pair;
}

bool anySet(PairMask mask) {
    return (mask[0] | mask[1]) != 0;
}

std::uint8_t sampleOrder(const double* values, std::size_t first, std::size_t last) {
    // A value that is not a number fails every comparison and leaves the block without order.
    if (!(values[first] == values[first]))
        return 0;
    PairMask falls = {0, 0};
    PairMask rises = {0, 0};
    std::size_t i = first + 1;
    while (i + 2 <= last) {
        // Sixteen samples between checks: a noisy block is left after a few steps.
        const std::size_t stop = std::min(last, i + 16);
        for (; i + 2 <= stop; i += 2) {
            const Pair previous = loadPair(values + i - 1);
            const Pair value = loadPair(values + i);
            falls |= ~(previous <= value);
            rises |= ~(previous >= value);
        }
        if (anySet(falls) && anySet(rises))
            return 0;
    }
    bool fell = anySet(falls);
    bool rose = anySet(rises);
    for (; i < last; ++i) {
        fell = fell || !(values[i - 1] <= values[i]);
        rose = rose || !(values[i - 1] >= values[i]);
    }
    return static_cast<std::uint8_t>((fell ? 0 : neverFalls) | (rose ? 0 : neverRises));
}

} // namespace

ValueRange scanRange(const double* values, std::size_t first, std::size_t last) {
    // Not a number compares false and leaves both bounds as they are.
    Pair low = {std::numeric_limits<double>::infinity(), std::numeric_limits<double>::infinity()};
    Pair high = -low;
    std::size_t i = first;
    for (; i + 2 <= last; i += 2) {
        const Pair value = loadPair(values + i);
        low = value < low ? value : low;
        high = value > high ? value : high;
    }
    ValueRange range{low[0], high[0]};
    range.add(ValueRange{low[1], high[1]});
    for (; i < last; ++i)
        range.add(values[i]);
    return range;
}

void SampleEnvelope::rebuild(const double* values, std::size_t count) {
    count_ = count;
    levels_.clear();
    // Up to the first level of at most 16 blocks: a coarser one would not save any reading.
    std::size_t blocks = blocksFor(count, firstShift);
    while (blocks > 0) {
        Level level;
        level.ranges.resize(blocks);
        if (!levels_.empty())
            level.orders.resize(blocks);
        levels_.push_back(std::move(level));
        if (blocks <= std::size_t{1} << levelShift)
            break;
        blocks = blocksFor(blocks, levelShift);
    }
    update(values, 0, count);
}

void SampleEnvelope::update(const double* values, std::size_t first, std::size_t last) {
    last = std::min(last, count_);
    if (first >= last)
        return;
    // Each level's blocks over the changed samples, from the samples or the level below.
    for (std::size_t level = 0; level < levels_.size(); ++level) {
        const unsigned bits = shift(level);
        Level& blocks = levels_[level];
        for (std::size_t b = first >> bits; b <= (last - 1) >> bits; ++b) {
            ValueRange range;
            if (level == 0) {
                const std::size_t start = b << bits;
                range =
                    scanRange(values, start, std::min(start + (std::size_t{1} << bits), count_));
            } else {
                const std::size_t start = b << levelShift;
                const std::size_t end = std::min(start + (std::size_t{1} << levelShift),
                                                 levels_[level - 1].ranges.size());
                addBlocks(level - 1, start, end, range);
            }
            blocks.ranges[b] = range;
            if (level > 0)
                blocks.orders[b] = blockOrder(values, level, b);
        }
    }
}

std::uint8_t SampleEnvelope::blockOrder(const double* values, std::size_t level,
                                        std::size_t block) const {
    if (level == 1) {
        const std::size_t start = block << shift(level);
        return sampleOrder(values, start,
                           std::min(start + (std::size_t{1} << shift(level)), count_));
    }
    // Ordered blocks below, each one going on from where the one before ended. A block that
    // never falls starts with its smallest value and ends with its largest.
    const Level& lower = levels_[level - 1];
    const std::size_t start = block << levelShift;
    const std::size_t end = std::min(start + (std::size_t{1} << levelShift), lower.ranges.size());
    std::uint8_t order = neverFalls | neverRises;
    for (std::size_t i = start; i < end && order != 0; ++i) {
        order &= lower.orders[i];
        if (i > start && !(lower.ranges[i - 1].high <= lower.ranges[i].low))
            order &= ~neverFalls;
        if (i > start && !(lower.ranges[i - 1].low >= lower.ranges[i].high))
            order &= ~neverRises;
    }
    return order;
}

ValueRange SampleEnvelope::range(const double* values, std::size_t first, std::size_t last) const {
    last = std::min(last, count_);
    if (first >= last)
        return ValueRange{};
    // The coarsest level whose blocks fit into the span; a span shorter than the smallest block
    // is scanned.
    const std::size_t length = last - first;
    std::size_t levels = 0;
    while (levels < levels_.size() && (std::size_t{1} << shift(levels)) <= length)
        ++levels;
    if (levels == 0)
        return scanRange(values, first, last);

    // Its whole blocks, then the parts left and right of them.
    const std::size_t level = levels - 1;
    const unsigned bits = shift(level);
    const std::size_t firstBlock = (first + (std::size_t{1} << bits) - 1) >> bits;
    const std::size_t lastBlock = last >> bits;
    ValueRange range;
    addBlocks(level, firstBlock, lastBlock, range);
    addPart(values, first, firstBlock << bits, level, range);
    addPart(values, lastBlock << bits, last, level, range);
    return range;
}

void SampleEnvelope::addPart(const double* values, std::size_t first, std::size_t last,
                             std::size_t level, ValueRange& range) const {
    while (first < last) {
        // The block holding the part bounds it: when its range adds nothing, neither does the
        // part. Smooth signals mostly end here, without reading finer levels or samples.
        const std::size_t block = first >> shift(level);
        const ValueRange& bound = levels_[level].ranges[block];
        if (range.covers(bound))
            return;
        if (level == 0) {
            range.add(scanRange(values, first, last));
            return;
        }
        // In an ordered block the part's extremes are its end samples: the block's own at the
        // end it shares with the block, the sample next to the span's edge at the other.
        const std::uint8_t order = levels_[level].orders[block];
        if (order != 0) {
            const bool startsBlock = first == block << shift(level);
            const double edge = startsBlock ? values[last - 1] : values[first];
            if ((order & neverFalls) != 0)
                range.add(startsBlock ? ValueRange{bound.low, edge} : ValueRange{edge, bound.high});
            else
                range.add(startsBlock ? ValueRange{edge, bound.high} : ValueRange{bound.low, edge});
            return;
        }
        // The whole blocks one level down, from the part's aligned end; what remains is shorter
        // than one of them and again aligned at one end.
        --level;
        const unsigned bits = shift(level);
        const std::size_t firstBlock = (first + (std::size_t{1} << bits) - 1) >> bits;
        const std::size_t lastBlock = last >> bits;
        addBlocks(level, firstBlock, lastBlock, range);
        if (first < firstBlock << bits)
            last = firstBlock << bits;
        else
            first = lastBlock << bits;
    }
}

void SampleEnvelope::addBlocks(std::size_t level, std::size_t first, std::size_t last,
                               ValueRange& range) const {
    const std::vector<ValueRange>& blocks = levels_[level].ranges;
    for (std::size_t b = first; b < last; ++b)
        range.add(blocks[b]);
}

std::size_t SampleEnvelope::memoryBytes() const {
    std::size_t bytes = 0;
    for (const Level& level : levels_)
        bytes += level.ranges.capacity() * sizeof(ValueRange) + level.orders.capacity();
    return bytes;
}
