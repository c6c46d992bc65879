#pragma once

#include "graph/SampleEnvelope.h"

#include <cstddef>
#include <cstdint>

// A span of sample indices, first ... last - 1.
struct SampleSpan {
    int first = 0;
    int last = 0;
};

// The usual figures of a channel's samples over one or more spans. Mean and deviation are
// gathered around the spans' first samples, so that a small variation on a large value (a
// position of millions of counts) keeps its digits.
class SpanStatistics {
public:
    // Adds samples[span.first] ... samples[span.last - 1]; the envelope summarises `samples`
    // and gives their range.
    void add(const double* samples, const SampleEnvelope& envelope, SampleSpan span);

    std::int64_t count() const { return count_; }
    // Not a number without samples.
    double minimum() const;
    double maximum() const;
    double mean() const;
    // The root of the mean square.
    double rms() const;
    // The standard deviation of the samples as a population: the RMS about the mean.
    double deviation() const;

private:
    std::int64_t count_ = 0;
    double mean_ = 0.0;
    double squares_ = 0.0; // sum of the squared deviations from the mean
    ValueRange range_;
};
