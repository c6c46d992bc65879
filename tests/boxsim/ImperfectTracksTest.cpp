#include "BoxTestSupport.h"

#include "boxsim/BoxModel.h"
#include "boxsim/SignalSource.h"
#include "boxsim/TrackImperfections.h"
#include "diagnostics/EllipseFit.h"
#include "diagnostics/PulseTiming.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

using namespace boxsim;
using namespace boxtest;

namespace {

// 0.01 turns/s with 1024 periods per turn: about 95 frames per signal period.
constexpr double kSlowTurnsPerSecond = 0.01;

BoxModel streamingBox(const BoxConfig& config, const std::string& selection) {
    BoxModel box(config);
    send(box,
         "OUT:USB:FREQ " + std::to_string(kExactRateValue) + "\n" + selection + "TRIGGER:RUN 1\n");
    return box;
}

struct TrackValues {
    std::vector<double> a;
    std::vector<double> b;
};

// Analog A and B in volts, as the program decodes them, from the slots at `offset` and
// `offset + 2` of every frame.
TrackValues analogTracks(const std::vector<std::string>& frames, size_t offset) {
    TrackValues values;
    for (const std::string& frame : frames) {
        values.a.push_back(readI16(frame, offset) * signals::kVoltsPerCount);
        values.b.push_back(readI16(frame, offset + 2) * signals::kVoltsPerCount);
    }
    return values;
}

// The A and B bits of the level byte at `offset` of every frame as 0 and 1.
TrackValues levelTracks(const std::vector<std::string>& frames, size_t offset) {
    TrackValues values;
    for (const std::string& frame : frames) {
        values.a.push_back(frame[offset] & signals::kBitA ? 1.0 : 0.0);
        values.b.push_back(frame[offset] & signals::kBitB ? 1.0 : 0.0);
    }
    return values;
}

// Whether the position counters at the two offsets agree in every frame.
bool countersAgree(const std::vector<std::string>& frames, size_t first, size_t second) {
    return std::all_of(frames.begin(), frames.end(), [&](const std::string& frame) {
        return readI32(frame, first) == readI32(frame, second);
    });
}

} // namespace

TEST(ImperfectTracksTest, EllipseFitFindsTheImperfectionsOfTheSinCosTracks) {
    for (const SinCosImperfection& given :
         {SinCosImperfection{0.42, 0.47, 0.03, -0.02, 4.5, 0.0},
          SinCosImperfection{0.55, 0.38, -0.05, 0.01, -7.0, 0.0}}) {
        BoxConfig config = steadyBox(kSlowTurnsPerSecond);
        config.sinCosImperfections[2] = given;
        // Position, A and B of the ideal input 1 and the imperfect input 2.
        BoxModel box = streamingBox(config, "IN:1:SELECT 13\nIN:2:SELECT 13\n");
        const std::vector<std::string> frames = framesUntil(box, 2.0);
        EXPECT_TRUE(countersAgree(frames, 3, 11)); // the counter follows the shaft
        const TrackValues tracks = analogTracks(frames, 15);
        const EllipseFit fit = fitEllipse(tracks.a.data(), tracks.b.data(), tracks.a.size());
        ASSERT_TRUE(fit.succeeded()) << ellipseFitRefusalText(fit.refusal);
        const HeydemannParameters& found = fit.parameters;
        EXPECT_NEAR(found.amplitudeA / given.peakA, 1.0, 0.005);
        EXPECT_NEAR(found.amplitudeRatio() / (given.peakB / given.peakA), 1.0, 0.005);
        EXPECT_NEAR(found.phaseErrorDegrees(), given.phaseErrorDegrees, 0.2);
        EXPECT_NEAR(found.offsetA, given.offsetA, 0.01 * given.peakA);
        EXPECT_NEAR(found.offsetB, given.offsetB, 0.01 * given.peakB);
    }
}

TEST(ImperfectTracksTest, NoiseHasItsRmsAndRepeatsInEveryReplayedRun) {
    BoxConfig config = steadyBox(kSlowTurnsPerSecond);
    config.replayEachRun = true;
    const double noiseRms = 0.005; // V, 1 % of the amplitude
    config.sinCosImperfections[1] = SinCosImperfection{0.5, 0.5, 0.0, 0.0, 0.0, noiseRms};
    BoxModel box = streamingBox(config, "IN:1:SELECT 12\n");
    const std::vector<std::string> first = framesUntil(box, 2.0);
    send(box, "TRIGGER:RUN 0\n", 2.0);
    send(box, "TRIGGER:RUN 1\n", 5.0);
    const std::vector<std::string> second = framesUntil(box, 7.0);

    ASSERT_EQ(second.size(), first.size());
    for (size_t i = 0; i < first.size(); ++i) {
        ASSERT_EQ(second[i].substr(3), first[i].substr(3)) << "frame " << i;
    }
    // The radius of a pair scatters by the noise of one track over the amplitude; 1950 pairs
    // give the RMS to about 2 %.
    const TrackValues tracks = analogTracks(first, 3);
    const EllipseFit fit = fitEllipse(tracks.a.data(), tracks.b.data(), tracks.a.size());
    ASSERT_TRUE(fit.succeeded()) << ellipseFitRefusalText(fit.refusal);
    EXPECT_NEAR(fit.scatter / (noiseRms / 0.5), 1.0, 0.1);
}

TEST(ImperfectTracksTest, PulseTimingFindsTheDutyCyclesAndPhaseOfTheHtlTracks) {
    for (const HtlImperfection& given :
         {HtlImperfection{35.0, 62.0, 15.0}, HtlImperfection{58.0, 45.0, -20.0}}) {
        BoxConfig config = steadyBox(kSlowTurnsPerSecond, "sin1sq2");
        config.htlImperfections[2] = given;
        // Position and levels of the imperfect input 2, position of the ideal input 3.
        BoxModel box = streamingBox(config, "IN:2:SELECT 5\nIN:3:SELECT 1\n");
        const std::vector<std::string> frames = framesUntil(box, 2.0);
        EXPECT_TRUE(countersAgree(frames, 3, 8)); // the counter follows the shaft
        const TrackValues levels = levelTracks(frames, 7);
        const PulseTiming timing =
            measurePulseTiming(levels.a.data(), levels.b.data(), levels.a.size(), kExactRate);
        ASSERT_TRUE(timing.succeeded());
        EXPECT_NEAR(timing.dutyA, given.dutyA, timing.dutyResolution);
        EXPECT_NEAR(timing.dutyB, given.dutyB, timing.dutyResolution);
        EXPECT_NEAR(timing.phase, 90.0 + given.phaseErrorDegrees, timing.phaseResolution);
    }
}

TEST(ImperfectTracksTest, ImperfectionTextsAreChecked) {
    const auto sinCos = parseSinCosImperfection("2:0.4,0.45,0.01,-0.02,3,0.001");
    ASSERT_TRUE(sinCos);
    EXPECT_EQ(sinCos->first, 2);
    EXPECT_EQ(sinCos->second.peakB, 0.45);
    EXPECT_EQ(sinCos->second.offsetB, -0.02);
    EXPECT_EQ(sinCos->second.noiseRms, 0.001);
    for (const char* bad :
         {"", "2", "0.4,0.45,0.01,-0.02,3,0", "0:0.4,0.45,0.01,-0.02,3,0",
          "2:0.4,0.45,0.01,-0.02,3", "2:0.4,0.45,0.01,-0.02,3,0,0", "2:-0.1,0.45,0.01,-0.02,3,0",
          "2:0.4,0.45,11,-0.02,3,0", "2:0.4,0.45,0.01,-0.02,90,0", "2:0.4,0.45,0.01,-0.02,-90,0",
          "2:0.4,0.45,0.01,-0.02,3,-0.001", "2:0.4,x,0.01,-0.02,3,0"}) {
        EXPECT_FALSE(parseSinCosImperfection(bad)) << bad;
    }
    const auto htl = parseHtlImperfection("3:40,60,-10");
    ASSERT_TRUE(htl);
    EXPECT_EQ(htl->first, 3);
    EXPECT_EQ(htl->second.dutyB, 60.0);
    EXPECT_EQ(htl->second.phaseErrorDegrees, -10.0);
    for (const char* bad :
         {"3:0,50,0", "3:50,100,0", "3:50,50,90", "3:50,50", "3:50,50,0,0", "3:"}) {
        EXPECT_FALSE(parseHtlImperfection(bad)) << bad;
    }

    BoxConfig config; // sin2sq1ssi1ana1
    config.htlImperfections[3] = HtlImperfection();
    config.sinCosImperfections[2] = SinCosImperfection();
    EXPECT_EQ(config.misplacedImperfection(), "");
    config.sinCosImperfections[3] = SinCosImperfection();
    EXPECT_EQ(config.misplacedImperfection(), "input 3 is not a SinCos input");
    config.sinCosImperfections.erase(3);
    config.htlImperfections[4] = HtlImperfection();
    EXPECT_EQ(config.misplacedImperfection(), "input 4 is not an HTL/TTL input");
}
