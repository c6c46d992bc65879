#include "fft/SpectrumAnalyser.h"

#include "config/Config.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

const char* const windows[] = {"None",     "Hanning",         "Hamming",
                               "Triangle", "Blackman-Harris", "Flat Top"};

FftSettings settings(const char* window, int averages, bool logScale) {
    FftSettings s;
    s.window = window;
    s.averages = averages;
    s.logScale = logScale;
    return s;
}

// A sine of the given amplitude completing cycles periods over each of segments consecutive
// blocks of length samples.
std::vector<double> sine(int length, int cycles, std::vector<double> amplitudes) {
    std::vector<double> x;
    for (double amplitude : amplitudes)
        for (int k = 0; k < length; ++k)
            x.push_back(amplitude * std::sin(6.283185307179586 * cycles * k / length));
    return x;
}

std::vector<double> spectrum(const FftSettings& s, const std::vector<double>& x, int length,
                             std::size_t count) {
    AnalysisRange range;
    range.windowLength = length;
    range.averages = s.averages;
    SpectrumAnalyser analyser;
    analyser.setup(range, s);
    std::vector<double> result;
    analyser.compute(x.data(), count, result);
    return result;
}

} // namespace

TEST(FftSettings, ReadsLeadingNumbers) {
    GraphData graph;
    graph.fftWindow = "Flat Top";
    graph.fftNumAverages = "0";
    graph.fftSize = "";
    graph.fftLogScale = false;
    FftSettings s = FftSettings::fromGraphData(graph);
    EXPECT_EQ(s.window, "Flat Top");
    EXPECT_EQ(s.averages, 1);
    EXPECT_EQ(s.sizeCap, 0);
    EXPECT_FALSE(s.logScale);
    graph.fftNumAverages = "4 segments";
    graph.fftSize = "-5";
    s = FftSettings::fromGraphData(graph);
    EXPECT_EQ(s.averages, 4);
    EXPECT_EQ(s.sizeCap, 0);
}

TEST(AnalysisRange, LengthsFromVisibleSamplesAveragesAndCap) {
    FftSettings capped = settings("None", 4, false);
    capped.sizeCap = 8192;
    AnalysisRange r = analysisRange(20000, 100, 10000, capped);
    EXPECT_EQ(r.windowLength, 2500);
    EXPECT_EQ(r.transformLength, 4096);
    EXPECT_EQ(r.averages, 4);
    EXPECT_EQ(r.startIndex, 100);
    capped.sizeCap = 1000;
    r = analysisRange(20000, 100, 10000, capped);
    EXPECT_EQ(r.windowLength, 1000);
    EXPECT_EQ(r.transformLength, 1024);
    r = analysisRange(20000, 0, 10001, settings("None", 4, false)); // no cap: ceil(10001 / 4)
    EXPECT_EQ(r.windowLength, 2501);
    r = analysisRange(5000, 0, 10000, settings("None", 4, false)); // only 5000 held
    EXPECT_EQ(r.windowLength, 1250);
}

TEST(AnalysisRange, SegmentsStayInsideTheBuffer) {
    EXPECT_EQ(analysisRange(20000, -50, 10000, settings("None", 4, false)).startIndex, 0);
    EXPECT_EQ(analysisRange(20000, 19000, 10000, settings("None", 4, false)).startIndex, 10000);
    // 10 samples in 4 segments: L = 3, 12 samples would reach past the end.
    const AnalysisRange r = analysisRange(10, 5, 10, settings("None", 4, false));
    EXPECT_EQ(r.windowLength, 3);
    EXPECT_EQ(r.startIndex, 0);
    EXPECT_EQ(analysisRange(0, 0, 10000, settings("None", 4, false)).windowLength, 0);
}

TEST(SpectrumAnalyser, SineAtBinFrequencyHasItsAmplitudeWithEveryWindow) {
    const std::vector<double> x = sine(1024, 64, {1.0});
    for (const char* window : windows) {
        const std::vector<double> linear = spectrum(settings(window, 1, false), x, 1024, x.size());
        ASSERT_EQ(linear.size(), 513u);
        EXPECT_NEAR(linear[64], 1.0, 1e-9) << window;
        EXPECT_NEAR(linear[0], 0.0, 1e-9) << window;
        EXPECT_NEAR(linear[300], 0.0, 1e-9) << window;
        const std::vector<double> log = spectrum(settings(window, 1, true), x, 1024, x.size());
        EXPECT_NEAR(log[64], 0.0, 1e-8) << window;
    }
}

TEST(SpectrumAnalyser, AveragesSegments) {
    // Amplitudes 1 and 3: linear mean 2, dB mean (0 + 20 log10 3) / 2.
    const std::vector<double> x = sine(256, 16, {1.0, 3.0});
    EXPECT_NEAR(spectrum(settings("Hanning", 2, false), x, 256, x.size())[16], 2.0, 1e-9);
    EXPECT_NEAR(spectrum(settings("Hanning", 2, true), x, 256, x.size())[16],
                10.0 * std::log10(3.0), 1e-9);
}

TEST(SpectrumAnalyser, ConstantAppearsAsDcValue) {
    const std::vector<double> x(512, -3.5);
    for (const char* window : windows) {
        const std::vector<double> linear = spectrum(settings(window, 2, false), x, 256, x.size());
        EXPECT_NEAR(linear[0], 3.5, 1e-12) << window;
        EXPECT_EQ(linear[1], 0.0) << window;
        const std::vector<double> log = spectrum(settings(window, 2, true), x, 256, x.size());
        EXPECT_NEAR(log[0], 20.0 * std::log10(3.5), 1e-12) << window;
        EXPECT_EQ(log[7], -INFINITY) << window; // exactly zero magnitude
    }
    // One sample: transform length 2, the sample is the DC value.
    EXPECT_EQ(spectrum(settings("Triangle", 1, false), {5.0}, 1, 1),
              (std::vector<double>{5.0, 0.0}));
}

TEST(SpectrumAnalyser, MissingSamplesReadAsZeroAndNyquistBin) {
    // Segment 2, 2, 0, 0: mean 1, input 1, 1, -1, -1; X1 = 2 - 2i, X2 = 0, each / (F / 2 = 2).
    const std::vector<double> missing =
        spectrum(settings("None", 1, false), {2.0, 2.0, 99.0, 99.0}, 4, 2);
    ASSERT_EQ(missing.size(), 3u);
    EXPECT_DOUBLE_EQ(missing[0], 1.0);
    EXPECT_DOUBLE_EQ(missing[1], std::sqrt(2.0));
    EXPECT_DOUBLE_EQ(missing[2], 0.0);
    // 1, -1, 1, -1: X2 = 4, shown as 4 / 2.
    EXPECT_EQ(spectrum(settings("None", 1, false), {1.0, -1.0, 1.0, -1.0}, 4, 4),
              (std::vector<double>{0.0, 0.0, 2.0}));
    EXPECT_EQ(spectrum(settings("None", 1, false), {}, 0, 0), (std::vector<double>{0.0, 0.0}));
}

TEST(SpectrumAnalyser, RebuildsWindowWhenLengthOrNameChanges) {
    // Hanning spreads a bin-frequency sine to its neighbours at half amplitude.
    const std::vector<double> x = sine(128, 8, {1.0});
    SpectrumAnalyser analyser;
    AnalysisRange range;
    range.windowLength = 128;
    std::vector<double> result;
    analyser.setup(range, settings("None", 1, false));
    analyser.compute(x.data(), x.size(), result);
    EXPECT_NEAR(result[7], 0.0, 1e-9);
    analyser.setup(range, settings("Hanning", 1, false));
    analyser.compute(x.data(), x.size(), result);
    EXPECT_NEAR(result[7], 0.5, 1e-9);
}
