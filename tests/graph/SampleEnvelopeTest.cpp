#include "graph/SampleEnvelope.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

namespace {

constexpr double inf = std::numeric_limits<double>::infinity();
constexpr double nan = std::numeric_limits<double>::quiet_NaN();

// Stretches of what a channel can hold: noise, constant runs, rising and falling runs, values
// that are not a number, infinities.
void fillStretch(std::mt19937& random, std::vector<double>& values, size_t first, size_t last) {
    std::uniform_real_distribution<double> value(-100.0, 100.0);
    const int kind = std::uniform_int_distribution<int>(0, 5)(random);
    const double start = value(random);
    for (size_t i = first; i < last; ++i) {
        const double step = static_cast<double>(i - first);
        switch (kind) {
        case 0:
            values[i] = value(random);
            break;
        case 1:
            values[i] = start;
            break;
        case 2:
            values[i] = start + 0.25 * step;
            break;
        case 3:
            values[i] = start - 0.5 * std::floor(step / 3.0);
            break;
        case 4:
            values[i] = random() % 7 == 0 ? nan : value(random);
            break;
        default:
            values[i] = random() % 2 == 0 ? inf : -inf;
            break;
        }
    }
}

// A span of random length, often around the block sizes, sometimes starting on a boundary.
std::pair<size_t, size_t> randomSpan(std::mt19937& random, size_t count) {
    static const size_t lengths[] = {1, 2, 31, 32, 33, 511, 512, 513, 8191, 8192, 8193};
    size_t length = random() % 3 == 0 ? lengths[random() % 11] : 1 + random() % count;
    length = std::min(length, count);
    size_t first = random() % (count - length + 1);
    if (random() % 4 == 0)
        first = std::min(first / 512 * 512, count - length);
    return {first, first + length};
}

// The range written out once more, without the summaries: every number, smallest and largest.
void expectRange(const std::vector<double>& values, const ValueRange& range, size_t first,
                 size_t last) {
    bool found = false;
    double low = 0.0;
    double high = 0.0;
    for (size_t i = first; i < last; ++i) {
        if (std::isnan(values[i]))
            continue;
        low = found ? std::min(low, values[i]) : values[i];
        high = found ? std::max(high, values[i]) : values[i];
        found = true;
    }
    SCOPED_TRACE("samples " + std::to_string(first) + " to " + std::to_string(last));
    ASSERT_EQ(range.empty(), !found);
    if (found) {
        ASSERT_EQ(range.low, low);
        ASSERT_EQ(range.high, high);
    }
}

} // namespace

TEST(SampleEnvelopeTest, EverySpanGivesTheRangeOfItsSamplesThroughAllChanges) {
    std::mt19937 random(20240611);
    for (const size_t count : {1u, 31u, 32u, 33u, 600u, 8193u, 70001u}) {
        std::vector<double> values(count);
        for (size_t first = 0; first < count;) {
            const size_t last =
                std::min(count, first + 1 + random() % (random() % 4 == 0 ? 30000 : 3000));
            fillStretch(random, values, first, last);
            first = last;
        }
        SampleEnvelope envelope;
        envelope.rebuild(values.data(), count);
        for (int change = 0; change < 40; ++change) {
            for (int query = 0; query < 40; ++query) {
                const auto [first, last] = randomSpan(random, count);
                expectRange(values, envelope.range(values.data(), first, last), first, last);
                expectRange(values, scanRange(values.data(), first, last), first, last);
            }
            // New samples over a span, as a sweep writes them.
            const auto [first, last] = randomSpan(random, count);
            fillStretch(random, values, first, last);
            envelope.update(values.data(), first, last);
        }
        EXPECT_TRUE(envelope.range(values.data(), count, count).empty());
    }
}

TEST(SampleEnvelopeTest, OneStepBackSpoilsTheOrderOfEveryBlockAroundIt) {
    // A rising run with one sample a little lower than the one before, in the sixth block of
    // 512 samples of the second block of 8192. A span ending just after it has its largest value
    // one sample earlier.
    std::vector<double> values(40000);
    for (size_t i = 0; i < values.size(); ++i)
        values[i] = static_cast<double>(i);
    values[11000] -= 1.5;
    SampleEnvelope envelope;
    envelope.rebuild(values.data(), values.size());
    for (const size_t first : {0u, 100u, 8192u, 10000u}) {
        const ValueRange range = envelope.range(values.data(), first, 11001);
        EXPECT_EQ(range.low, values[first]);
        EXPECT_EQ(range.high, 10999.0);
    }
    EXPECT_EQ(envelope.range(values.data(), 10999, 20000).low, 10998.5);
}

TEST(SampleEnvelopeTest, SummariesTakeAboutAFifteenthOfTheSamplesMemory) {
    const std::vector<double> values(1u << 20, 1.0);
    SampleEnvelope envelope;
    envelope.rebuild(values.data(), values.size());
    const double samplesBytes = static_cast<double>(values.size() * sizeof(double));
    EXPECT_LE(static_cast<double>(envelope.memoryBytes()), samplesBytes / 15.0 * 1.01);
    EXPECT_GT(static_cast<double>(envelope.memoryBytes()), samplesBytes / 16.0);
}
