#include "diagnostics/InterpolationError.h"

#include "diagnostics/EllipseFit.h"

#include "SinCosTracks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

constexpr double periodsPerTurn = 2048.0;

InterpolationError errorAfterFit(const SinCosTracks& tracks) {
    const EllipseFit f = fitEllipse(tracks.a.data(), tracks.b.data(), tracks.a.size());
    EXPECT_TRUE(f.succeeded());
    return interpolationError(HeydemannCorrection(f.parameters), tracks.a.data(), tracks.b.data(),
                              tracks.a.size(), periodsPerTurn);
}

} // namespace

TEST(InterpolationError, IdealTracksHaveNone) {
    HeydemannParameters ideal;
    ideal.amplitudeA = ideal.amplitudeB = 0.5;
    const InterpolationError e = errorAfterFit(SinCosTracks(ideal, 7.3, 50000));
    ASSERT_EQ(e.curve.size(), 360u);
    EXPECT_LT(e.peakToPeakPeriods, 1e-9);
    EXPECT_LT(e.peakToPeakArcSeconds, 1e-9 / periodsPerTurn * 1296000.0);
}

// The expected peak-to-peak by brute force over the model: the raw angle atan2(B, A) against
// the true electrical angle on a grid of 100000 points of one period.
TEST(InterpolationError, ImperfectTracksGiveTheModelsPeakToPeak) {
    const HeydemannParameters tracks = imperfectTracks();
    double lowest = 1.0;
    double highest = -1.0;
    for (int k = 0; k < 100000; ++k) {
        const double phi = 2.0 * M_PI * k / 100000;
        const double raw =
            std::atan2(tracks.offsetB + tracks.amplitudeB * std::sin(phi - tracks.phaseError),
                       tracks.offsetA + tracks.amplitudeA * std::cos(phi));
        const double error = std::remainder(raw - phi, 2.0 * M_PI);
        lowest = std::min(lowest, error);
        highest = std::max(highest, error);
    }
    const double expectedPeriods = (highest - lowest) / (2.0 * M_PI);
    const double expectedArcSeconds =
        (highest - lowest) / (2.0 * M_PI * periodsPerTurn) * 1296000.0;

    const InterpolationError e = errorAfterFit(SinCosTracks(tracks, 7.3, 50000, 0.002));
    EXPECT_NEAR(e.peakToPeakPeriods, expectedPeriods, 0.01 * expectedPeriods);
    EXPECT_NEAR(e.peakToPeakArcSeconds, expectedArcSeconds, 0.01 * expectedArcSeconds);
}

// Three quarters of a period from the electrical angle 0 fill bins 0 ... 269 only.
TEST(InterpolationError, BinsWithoutPairsAreNaN) {
    const HeydemannParameters tracks = imperfectTracks();
    // From just past 0: a first pair on the edge of bin 0 may round into bin 359.
    const SinCosTracks arc(tracks, 0.75, 5000, 0.0, 1e-6);
    const InterpolationError e = interpolationError(HeydemannCorrection(tracks), arc.a.data(),
                                                    arc.b.data(), arc.a.size(), periodsPerTurn);
    for (int k = 0; k < 360; ++k)
        EXPECT_EQ(std::isnan(e.curve[k]), k >= 270) << "bin " << k;
}
