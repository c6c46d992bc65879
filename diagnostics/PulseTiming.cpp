#include "diagnostics/PulseTiming.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr long none = -1;
constexpr long noSeparation = std::numeric_limits<long>::max();

// One track within the current stretch, and its totals over all stretches. Sample indices.
struct Track {
    bool high = false;
    long lastRise = none;
    long lastEdge = none;
    long highSinceRise = 0;
    long periods = 0;
    long periodSamples = 0;
    long highSamples = 0;

    void startStretch(bool level) {
        high = level;
        lastRise = none;
        lastEdge = none;
    }
    // Returns the length of the period the rise at index completes, 0 when none.
    long rise(long index) {
        long completed = 0;
        if (lastRise != none) {
            completed = index - lastRise;
            ++periods;
            periodSamples += completed;
            highSamples += highSinceRise;
        }
        lastRise = index;
        highSinceRise = 0;
        return completed;
    }
    double duty() const { return 100.0 * static_cast<double>(highSamples) / periodSamples; }
};

class TimingScan {
public:
    explicit TimingScan(double threshold) : threshold_(threshold) {}

    void sample(long index, double a, double b) {
        if (std::isnan(a) || std::isnan(b)) {
            inStretch_ = false;
            return;
        }
        const bool highA = a > threshold_;
        const bool highB = b > threshold_;
        if (!inStretch_) {
            a_.startStretch(highA);
            b_.startStretch(highB);
            lagOfB_ = none;
            inStretch_ = true;
            return;
        }
        if (highA != a_.high)
            edgeOfA(index, highA);
        if (highB != b_.high)
            edgeOfB(index, highB);
        a_.highSinceRise += highA ? 1 : 0;
        b_.highSinceRise += highB ? 1 : 0;
    }

    PulseTiming result(double rate) const {
        PulseTiming timing;
        if (a_.periods < 2 || b_.periods < 2)
            return timing;
        timing.refusal = PulseTimingRefusal::None;
        const double periodSamples = static_cast<double>(a_.periodSamples) / a_.periods;
        timing.periods = static_cast<int>(a_.periods);
        timing.period = periodSamples / rate;
        timing.dutyA = a_.duty();
        timing.dutyB = b_.duty();
        timing.phase = phases_ > 0 ? std::atan2(phaseSin_, phaseCos_) * 180.0 / M_PI : NAN;
        timing.smallestEdgeSeparation = smallestSeparation_ == noSeparation
                                            ? NAN
                                            : static_cast<double>(smallestSeparation_) / rate;
        timing.dutyResolution = 100.0 / periodSamples;
        timing.phaseResolution = 360.0 / periodSamples;
        timing.separationResolution = 1.0 / rate;
        return timing;
    }

private:
    void edgeOfA(long index, bool rising) {
        if (rising) {
            const long period = a_.rise(index);
            if (period > 0 && lagOfB_ != none) {
                const double angle = 2.0 * M_PI * static_cast<double>(lagOfB_) / period;
                phaseSin_ += std::sin(angle);
                phaseCos_ += std::cos(angle);
                ++phases_;
            }
            lagOfB_ = none;
        }
        separation(index, b_.lastEdge);
        a_.high = rising;
        a_.lastEdge = index;
    }
    void edgeOfB(long index, bool rising) {
        if (rising) {
            b_.rise(index);
            if (a_.lastRise != none && lagOfB_ == none)
                lagOfB_ = index - a_.lastRise;
        }
        separation(index, a_.lastEdge);
        b_.high = rising;
        b_.lastEdge = index;
    }
    void separation(long index, long otherEdge) {
        if (otherEdge != none)
            smallestSeparation_ = std::min(smallestSeparation_, index - otherEdge);
    }

    double threshold_;
    bool inStretch_ = false;
    Track a_;
    Track b_;
    long lagOfB_ = none; // samples from A's last rise to B's first rise after it
    double phaseSin_ = 0.0;
    double phaseCos_ = 0.0;
    long phases_ = 0;
    long smallestSeparation_ = noSeparation;
};

} // namespace

std::string pulseTimingRefusalText(PulseTimingRefusal refusal) {
    switch (refusal) {
    case PulseTimingRefusal::None:
        return "";
    case PulseTimingRefusal::TooFewPeriods:
        return "fewer than two full periods";
    }
    return "";
}

PulseTiming measurePulseTiming(const double* a, const double* b, std::size_t count, double rate,
                               double threshold) {
    TimingScan scan(threshold);
    for (std::size_t i = 0; i < count; ++i)
        scan.sample(static_cast<long>(i), a[i], b[i]);
    return scan.result(rate);
}
