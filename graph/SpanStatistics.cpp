#include "graph/SpanStatistics.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace {

constexpr double notANumber = std::numeric_limits<double>::quiet_NaN();

// Two doubles side by side: the sums below read two samples a step.
using Pair = double __attribute__((vector_size(16)));

Pair loadPair(const double* values) {
    Pair pair;
    std::memcpy(&pair, values, sizeof pair);
    return pair;
}

} // namespace

void SpanStatistics::add(const double* samples, const SampleEnvelope& envelope, SampleSpan span) {
    if (span.last <= span.first)
        return;
    const auto first = static_cast<std::size_t>(span.first);
    const auto last = static_cast<std::size_t>(span.last);
    range_.add(envelope.range(samples, first, last));

    // Sums of the samples and their squares less the span's first sample.
    const double shift = samples[first];
    const Pair shifts = {shift, shift};
    Pair sum = {0.0, 0.0};
    Pair squares = {0.0, 0.0};
    std::size_t i = first;
    for (; i + 2 <= last; i += 2) {
        const Pair d = loadPair(samples + i) - shifts;
        sum += d;
        squares += d * d;
    }
    double s = sum[0] + sum[1];
    double q = squares[0] + squares[1];
    for (; i < last; ++i) {
        const double d = samples[i] - shift;
        s += d;
        q += d * d;
    }
    const auto n = static_cast<std::int64_t>(last - first);
    const double spanMean = shift + s / static_cast<double>(n);
    const double spanSquares = std::max(0.0, q - s * s / static_cast<double>(n));

    // Joined with the spans before (Chan's pairwise update).
    const std::int64_t total = count_ + n;
    const double delta = spanMean - mean_;
    mean_ += delta * static_cast<double>(n) / static_cast<double>(total);
    squares_ += spanSquares + delta * delta * static_cast<double>(count_) * static_cast<double>(n) /
                                  static_cast<double>(total);
    count_ = total;
}

double SpanStatistics::minimum() const {
    return count_ > 0 ? range_.low : notANumber;
}

double SpanStatistics::maximum() const {
    return count_ > 0 ? range_.high : notANumber;
}

double SpanStatistics::mean() const {
    return count_ > 0 ? mean_ : notANumber;
}

double SpanStatistics::deviation() const {
    return count_ > 0 ? std::sqrt(squares_ / static_cast<double>(count_)) : notANumber;
}

double SpanStatistics::rms() const {
    return count_ > 0 ? std::sqrt(mean_ * mean_ + squares_ / static_cast<double>(count_))
                      : notANumber;
}
