#include "diagnostics/EllipseFit.h"

#include "SinCosTracks.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

EllipseFit fit(const SinCosTracks& tracks) {
    return fitEllipse(tracks.a.data(), tracks.b.data(), tracks.a.size());
}

void expectRecovered(const HeydemannParameters& tracks, const EllipseFit& f) {
    ASSERT_TRUE(f.succeeded()) << ellipseFitRefusalText(f.refusal);
    const HeydemannParameters& p = f.parameters;
    EXPECT_NEAR(p.amplitudeRatio(), tracks.amplitudeB / tracks.amplitudeA, 0.005 * 0.9);
    EXPECT_NEAR(p.peakToPeakA(), 2.0 * tracks.amplitudeA, 0.005 * 2.0 * tracks.amplitudeA);
    EXPECT_NEAR(p.phaseErrorDegrees(), tracks.phaseError * 180.0 / M_PI, 0.2);
    EXPECT_NEAR(p.offsetA, tracks.offsetA, 0.01 * tracks.amplitudeA);
    EXPECT_NEAR(p.offsetB, tracks.offsetB, 0.01 * tracks.amplitudeB);
}

} // namespace

TEST(EllipseFit, RecoversInjectedImperfectionsAndCountsPeriods) {
    const HeydemannParameters tracks = imperfectTracks();
    const EllipseFit f = fit(SinCosTracks(tracks, 3.25, 20000, 0.002));
    expectRecovered(tracks, f);
    EXPECT_NEAR(f.periods, 3.25, 0.01);
    EXPECT_EQ(f.samples, 20000u);
    EXPECT_LT(f.scatter, 0.01);
}

// Tracks of 20 and 10 mV on offsets of 0.5 V: the offsets are 25 and 60 times the amplitudes.
// B leads by 10 degrees too much.
TEST(EllipseFit, RecoversSmallTracksOnLargeOffsets) {
    HeydemannParameters tracks = imperfectTracks();
    tracks.offsetA = 0.5;
    tracks.offsetB = -0.6;
    tracks.amplitudeA = 0.02;
    tracks.amplitudeB = 0.01;
    tracks.phaseError = -10.0 * M_PI / 180.0;
    expectRecovered(tracks, fit(SinCosTracks(tracks, 1.5, 20000, 0.00002)));
}

// Over half a period with the noise of the first test, below the margin of the refusal.
TEST(EllipseFit, RecoversFromHalfAPeriod) {
    const HeydemannParameters tracks = imperfectTracks();
    const EllipseFit f = fit(SinCosTracks(tracks, 0.55, 5000, 0.002));
    expectRecovered(tracks, f);
    EXPECT_NEAR(f.periods, 0.55, 0.01);
}

TEST(EllipseFit, LeavesOutPairsWithoutValue) {
    const HeydemannParameters tracks = imperfectTracks();
    SinCosTracks withGaps(tracks, 2.0, 4000, 0.002);
    for (int i = 1000; i < 1600; ++i)
        withGaps.b[i] = std::numeric_limits<double>::quiet_NaN();
    withGaps.a[3999] = std::numeric_limits<double>::quiet_NaN();
    const EllipseFit f = fit(withGaps);
    EXPECT_EQ(f.samples, 4000u - 601u);
    expectRecovered(tracks, f);
}

TEST(EllipseFit, RefusesTooFewSamples) {
    const EllipseFit f = fit(SinCosTracks(imperfectTracks(), 1.0, 7));
    EXPECT_EQ(f.refusal, EllipseFitRefusal::TooFewSamples);
}

TEST(EllipseFit, RefusesTracksOnALine) {
    SinCosTracks tracks(imperfectTracks(), 2.0, 1000);
    tracks.b = tracks.a;
    EXPECT_EQ(fit(tracks).refusal, EllipseFitRefusal::NotAnEllipse);
}

TEST(EllipseFit, RefusesTheNoiseOfAStandingShaft) {
    HeydemannParameters standing = imperfectTracks();
    standing.amplitudeA = standing.amplitudeB = 1e-9;
    const EllipseFit f = fit(SinCosTracks(standing, 0.0, 5000, 0.002));
    EXPECT_EQ(f.refusal, EllipseFitRefusal::TooScattered);
}

TEST(EllipseFit, RefusesTooLittleOfAPeriod) {
    const EllipseFit f = fit(SinCosTracks(imperfectTracks(), 0.3, 5000, 0.002));
    EXPECT_EQ(f.refusal, EllipseFitRefusal::TooLittleOfAPeriod);
    EXPECT_EQ(ellipseFitRefusalText(f.refusal), "too little of a period");
}
