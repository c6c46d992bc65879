#include "diagnostics/PulseTiming.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace {

constexpr double rate = 100000.0;      // samples per second
constexpr double period = 1.0 / 737.3; // s, 135.6 samples: edges fall between samples

struct SquarePair {
    std::vector<double> a;
    std::vector<double> b;
};

// A high for the first dutyA of each period, B high for dutyB of each period from `phase`
// (a share of the period) on; the levels are low and high.
SquarePair squarePair(double periods, double dutyA, double dutyB, double phase, double low = 0.0,
                      double high = 1.0) {
    SquarePair pair;
    const int count = static_cast<int>(periods * period * rate);
    for (int i = 0; i < count; ++i) {
        const double t = 0.1 + i / (period * rate); // periods, started inside one
        pair.a.push_back(t - std::floor(t) < dutyA ? high : low);
        const double tb = t - phase;
        pair.b.push_back(tb - std::floor(tb) < dutyB ? high : low);
    }
    return pair;
}

PulseTiming timing(const SquarePair& pair, double threshold = 0.5) {
    return measurePulseTiming(pair.a.data(), pair.b.data(), pair.a.size(), rate, threshold);
}

} // namespace

// A: edges at 0 and 0.4 of a period; B: at 80/360 and 80/360 + 0.6. The nearest are A's fall
// and B's rise, and B's fall and A's next rise, each 0.4 - 80/360 of a period apart.
TEST(PulseTiming, DutyPhaseAndEdgeSeparationOfASquarePair) {
    const PulseTiming t = timing(squarePair(20.0, 0.4, 0.6, 80.0 / 360.0));
    ASSERT_TRUE(t.succeeded());
    EXPECT_NEAR(t.period, period, t.separationResolution);
    EXPECT_NEAR(t.dutyA, 40.0, t.dutyResolution);
    EXPECT_NEAR(t.dutyB, 60.0, t.dutyResolution);
    EXPECT_NEAR(t.phase, 80.0, t.phaseResolution);
    EXPECT_NEAR(t.smallestEdgeSeparation, (0.4 - 80.0 / 360.0) * period, t.separationResolution);
    EXPECT_NEAR(t.phaseResolution, 360.0 / (period * rate), 0.01);
}

// B ahead of A, in volts of a 24 V supply.
TEST(PulseTiming, PhaseIsNegativeWhileBLeads) {
    const PulseTiming t = timing(squarePair(5.0, 0.5, 0.5, -80.0 / 360.0, 0.3, 23.5), 12.0);
    ASSERT_TRUE(t.succeeded());
    EXPECT_NEAR(t.phase, -80.0, t.phaseResolution);
    EXPECT_NEAR(t.dutyA, 50.0, t.dutyResolution);
}

// A gap longer than a period, beginning while A is high: read as low it would lower A's duty
// and merge two periods into one.
TEST(PulseTiming, SamplesWithoutValueEndAStretch) {
    SquarePair pair = squarePair(12.0, 0.4, 0.6, 80.0 / 360.0);
    std::fill(pair.a.begin() + 700, pair.a.begin() + 900, std::numeric_limits<double>::quiet_NaN());
    const PulseTiming t = timing(pair);
    ASSERT_TRUE(t.succeeded());
    EXPECT_NEAR(t.period, period, t.separationResolution);
    EXPECT_NEAR(t.dutyA, 40.0, t.dutyResolution);
    EXPECT_NEAR(t.phase, 80.0, t.phaseResolution);
}

TEST(PulseTiming, RefusesFewerThanTwoFullPeriods) {
    const PulseTiming t = timing(squarePair(2.8, 0.4, 0.6, 80.0 / 360.0));
    EXPECT_EQ(t.refusal, PulseTimingRefusal::TooFewPeriods);
    EXPECT_EQ(pulseTimingRefusalText(t.refusal), "fewer than two full periods");
}
