#include "graph/FFTGraph.h"
#include "GraphTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

// 256 samples per second over one second, the whole window visible in the time graph (480
// pixels for 256 samples); one segment of every visible sample (L = F = 256), so bin j is j Hz.
// The FFT view's plot area is (120, 345) to (600, 645): 3.75 pixels per Hz from 0 Hz at x = 120.
struct FftFixture : GraphFixture {
    FftFixture() : GraphFixture(256, 1.0f) {
        record.fftLogScale = false;
        record.fftWindow = "Hanning";
        record.fftNumAverages = "1";
        record.fftSize = "0";
        view = server->createFFTGraph(graph, record);
        view->setViewport(0.0, 331.0, 612.0, 662.0);
        linearAxis();
    }
    // 0 at the bottom (y = 645), 1 at the top (y = 345).
    void linearAxis() {
        record.fftScale = Point{3.75, -300.0};
        record.fftOffset = Point{120.0, 645.0};
    }
    // Channel A: a sine of amplitude 1 at the frequency (Hz); channel B: the constant 0.5.
    void feed(double frequency, int count) {
        std::vector<double> sine(static_cast<size_t>(count));
        const int from = graph->writeIndex();
        for (int k = 0; k < count; ++k)
            sine[static_cast<size_t>(k)] = std::sin(2.0 * M_PI * frequency * (from + k) / 256.0);
        const std::vector<double> constant(static_cast<size_t>(count), 0.5);
        graph->appendSamples(0, sine.data(), count);
        graph->appendSamples(1, constant.data(), count);
    }
    static std::vector<Drawn> draw(Instrument& instrument) {
        std::vector<Drawn> log;
        RecordingPainter painter(log);
        instrument.draw(painter);
        return log;
    }
    KLib::Ref<FFTGraph> view;
};

// Filled rectangles of the colour in the plot areas (x from 120), not in the legend.
std::vector<Drawn> withBrush(const std::vector<Drawn>& log, int colour) {
    std::vector<Drawn> found;
    for (const Drawn& d : ofKind(log, "rect"))
        if (d.brush.visible && d.brush.colour == colour && d.x1 >= 120)
            found.push_back(d);
    return found;
}

// The highest pixel row channel A's curve reaches, and the columns where it reaches it.
struct Peak {
    int y = 1 << 30;
    int left = 1 << 30;
    int right = -1;
};

Peak bluePeak(const std::vector<Drawn>& log) {
    Peak peak;
    for (const Drawn& d : ofKind(log, "line")) {
        if (d.pen.colour != 0x0000FF)
            continue;
        peak.y = std::min({peak.y, d.y1, d.y2});
    }
    for (const Drawn& d : ofKind(log, "line")) {
        if (d.pen.colour == 0x0000FF && std::min(d.y1, d.y2) == peak.y) {
            peak.left = std::min({peak.left, d.x1, d.x2});
            peak.right = std::max({peak.right, d.x1, d.x2});
        }
    }
    return peak;
}

bool hasText(const std::vector<Drawn>& log, const std::string& text) {
    const std::vector<Drawn> texts = ofKind(log, "text");
    return std::any_of(texts.begin(), texts.end(),
                       [&](const Drawn& d) { return d.text.find(text) != std::string::npos; });
}

} // namespace

TEST(FFTGraphTest, SineIsDrawnAtItsFrequencyWithItsAmplitude) {
    FftFixture f;
    f.feed(32.0, 256);
    ASSERT_TRUE(f.graph->advance(256));
    f.view->finishSpectra();
    ASSERT_EQ(f.view->spectra().size(), 2u);
    const std::vector<double>& a = f.view->spectra()[0];
    ASSERT_EQ(a.size(), 129u);
    // Hanning: the bin of the sine holds its amplitude, each neighbour half of it.
    EXPECT_NEAR(a[32], 1.0, 1e-9);
    EXPECT_NEAR(a[31], 0.5, 1e-9);
    EXPECT_NEAR(a[40], 0.0, 1e-9);
    // The constant reappears as bin 0.
    EXPECT_NEAR(f.view->spectra()[1][0], 0.5, 1e-9);
    EXPECT_NEAR(f.view->spectra()[1][5], 0.0, 1e-9);

    const std::vector<Drawn> log = FftFixture::draw(*f.view);
    // 32 Hz lies at x = 120 + 32 * 3.75 = 240, the bin runs to x = 243.75; 1.0 at y = 345.
    const Peak peak = bluePeak(log);
    EXPECT_EQ(peak.y, 345);
    EXPECT_GE(peak.left, 239);
    EXPECT_LE(peak.right, 244);
    EXPECT_TRUE(hasText(log, "FFT of "));
    EXPECT_FALSE(hasText(log, "dB"));
}

TEST(FFTGraphTest, LogScaleShowsTheSineAtZeroDecibels) {
    FftFixture f;
    f.record.fftLogScale = true;
    f.graph->rebuild();
    // 0 dB at the top (y = 345), -100 dB at the bottom.
    f.record.fftScale = Point{3.75, -3.0};
    f.record.fftOffset = Point{120.0, 345.0};
    f.feed(32.0, 256);
    ASSERT_TRUE(f.graph->advance(256));
    f.view->finishSpectra();
    const std::vector<double>& a = f.view->spectra()[0];
    EXPECT_NEAR(a[32], 0.0, 1e-9);
    EXPECT_NEAR(a[31], 20.0 * std::log10(0.5), 1e-9);

    const std::vector<Drawn> log = FftFixture::draw(*f.view);
    const Peak peak = bluePeak(log);
    EXPECT_EQ(peak.y, 345);
    EXPECT_GE(peak.left, 239);
    EXPECT_LE(peak.right, 244);
    EXPECT_TRUE(hasText(log, "A [dB "));
}

TEST(FFTGraphTest, LongLegendTextsEndInsideTheLegendColumn) {
    FftFixture f;
    f.record.fftLogScale = true;
    f.record.channelList[0].caption = "SSI vel";
    f.record.channelList[0].unit = 13; // 1/min
    // From x = 15 to the column's end at 93: 13 characters of 6 pixels.
    const auto legend = [](const std::vector<Drawn>& log) {
        std::vector<std::string> texts;
        for (const Drawn& d : ofKind(log, "text"))
            if (d.x1 == 15)
                texts.push_back(d.text);
        return texts;
    };
    EXPECT_EQ(legend(FftFixture::draw(*f.graph)),
              (std::vector<std::string>{"SSI vel [1...", "0.00000", "B [\xB0]"}));
    EXPECT_EQ(legend(FftFixture::draw(*f.view)),
              (std::vector<std::string>{"SSI vel [d...", "B [dB \xB0]"}));
}

TEST(FFTGraphTest, RegionsAreGreenWhenPassedAndRedWhenExceeded) {
    FftFixture f;
    // 30 ... 34 Hz holds the sine's peak above 0.9; 60 ... 68 Hz stays below 0.1.
    f.record.fftRegionList.push_back(FFTRegion{32.0, 4.0, 0.9});
    f.record.fftRegionList.push_back(FFTRegion{64.0, 8.0, 0.1});
    f.feed(32.0, 256);
    f.graph->advance(256);
    f.view->finishSpectra();
    EXPECT_EQ(f.view->regionPass(), (std::vector<int>{0, 1}));

    const std::vector<Drawn> log = FftFixture::draw(*f.view);
    // From the top of the plot down to the limit: x(30) = 232.5 ... x(34) = 247.5, y(0.9) =
    // 375; x(60) = 345 ... x(68) = 375, y(0.1) = 615.
    const std::vector<Drawn> red = withBrush(log, 0xFF0000);
    ASSERT_EQ(red.size(), 1u);
    EXPECT_EQ(red[0].coordinates(), (std::vector<int>{233, 345, 15, 30}));
    EXPECT_FALSE(red[0].pen.visible);
    const std::vector<Drawn> green = withBrush(log, 0x00FF00);
    ASSERT_EQ(green.size(), 1u);
    EXPECT_EQ(green[0].coordinates(), (std::vector<int>{345, 345, 30, 270}));
}

TEST(FFTGraphTest, TimeGraphShadesTheVisibleSamplesNoSpectrumCovers) {
    FftFixture f;
    // All 256 visible samples are analysed: no shading.
    EXPECT_TRUE(withBrush(FftFixture::draw(*f.graph), 0x969696).empty());

    // Segments capped at 100 samples: samples 100 ... 255 are shaded, from x = 120 + 100 *
    // 480 / 256 = 307.5 to the plot's right edge, over the plot's height (14 ... 314).
    f.record.fftSize = "100";
    f.graph->rebuild();
    EXPECT_EQ(f.view->range().windowLength, 100);
    const std::vector<Drawn> shading = withBrush(FftFixture::draw(*f.graph), 0x969696);
    ASSERT_EQ(shading.size(), 1u);
    EXPECT_EQ(shading[0].coordinates(), (std::vector<int>{308, 14, 292, 300}));
}

TEST(FFTGraphTest, SpectraFollowTheFullWindowAndTheVisibleRange) {
    FftFixture f;
    f.feed(32.0, 200);
    EXPECT_FALSE(f.graph->advance(200));
    EXPECT_TRUE(f.view->spectra().empty());
    f.feed(32.0, 56);
    EXPECT_TRUE(f.graph->advance(56));
    f.view->finishSpectra();
    ASSERT_EQ(f.view->spectra().size(), 2u);
    EXPECT_NEAR(f.view->spectra()[0][32], 1.0, 1e-9);

    // The next sweep keeps the spectra until its window is full.
    f.graph->restart();
    f.feed(16.0, 256);
    EXPECT_NEAR(f.view->spectra()[0][32], 1.0, 1e-9);
    EXPECT_TRUE(f.graph->advance(256));
    f.view->finishSpectra();
    EXPECT_NEAR(f.view->spectra()[0][16], 1.0, 1e-9);
    EXPECT_NEAR(f.view->spectra()[0][32], 0.0, 1e-9);

    // Zoomed to the left half: 128 samples, F = 128, 16 Hz is bin 8.
    f.graph->zoomIn(120.0, 14.0, 360.0, 314.0);
    f.view->finishSpectra();
    EXPECT_EQ(f.view->range().windowLength, 128);
    ASSERT_EQ(f.view->spectra()[0].size(), 65u);
    EXPECT_NEAR(f.view->spectra()[0][8], 1.0, 1e-9);

    // Moved right by 32 samples (120 pixels at 3.75 pixels per sample): the range starts there.
    f.graph->move(-120.0, 0.0);
    EXPECT_EQ(f.view->range().startIndex, 32);
}

// Two channels of 2^19 samples are copied in slices after the window fills; the next sweep
// overwrites the window before the copy is complete, and the spectrum is still of the full
// window as it was.
TEST(FFTGraphTest, TheNextSweepDoesNotReachASpectrumWhoseSamplesAreStillBeingCopied) {
    constexpr int samples = 1 << 19;
    GraphFixture g(samples, 1.0f);
    g.record.fftLogScale = false;
    g.record.fftNumAverages = "1";
    g.record.fftSize = "0";
    const KLib::Ref<FFTGraph> view = g.server->createFFTGraph(g.graph, g.record);
    view->setViewport(0.0, 331.0, 612.0, 662.0);
    g.graph->fitX();
    std::vector<double> sine(samples);
    for (int k = 0; k < samples; ++k)
        sine[static_cast<size_t>(k)] = std::sin(2.0 * M_PI * 4096.0 * k / samples);
    for (int c = 0; c < 2; ++c)
        g.graph->appendSamples(c, sine.data(), samples);
    ASSERT_TRUE(g.graph->advance(samples));
    ASSERT_TRUE(view->copying());

    g.graph->restart();
    const std::vector<double> zeros(samples, 0.0);
    for (int c = 0; c < 2; ++c)
        g.graph->appendSamples(c, zeros.data(), samples);
    view->finishSpectra();
    ASSERT_EQ(view->spectra().size(), 2u);
    EXPECT_NEAR(view->spectra()[0][4096], 1.0, 1e-9);
    EXPECT_NEAR(view->spectra()[1][4096], 1.0, 1e-9);
}

TEST(FFTGraphTest, ViewUnlinksItsGraphWhenItGoes) {
    FftFixture f;
    EXPECT_EQ(f.graph->fftView(), f.view.get());
    EXPECT_EQ(f.view->source(), f.graph.get());
    f.server->clear();
    f.view.reset();
    EXPECT_EQ(f.graph->fftView(), nullptr);
    // Without a view the full window and the drawing go on as before.
    f.feed(32.0, 256);
    EXPECT_TRUE(f.graph->advance(256));
    EXPECT_TRUE(withBrush(FftFixture::draw(*f.graph), 0x969696).empty());
}

TEST(FFTGraphTest, FirstLayoutShowsZeroHertzToNyquistAndLaterLayoutsKeepTheAxis) {
    FftFixture f;
    GraphData fresh = f.record;
    fresh.fftScale = GraphData{}.fftScale;
    fresh.fftOffset = GraphData{}.fftOffset;
    fresh.fftGraphP1 = GraphData{}.fftGraphP1;
    fresh.fftGraphP2 = GraphData{}.fftGraphP2;
    KLib::Ref<FFTGraph> other = f.server->createFFTGraph(f.graph, fresh);
    other->setViewport(0.0, 331.0, 612.0, 662.0);
    // 0 Hz at the left edge (x = 120), 0.999 of 128 Hz at the right one (x = 600).
    EXPECT_DOUBLE_EQ(other->frame().xValue(120.0), 0.0);
    EXPECT_DOUBLE_EQ(other->frame().xValue(600.0), 128.0 * 0.999);
    fresh.fftScale.x = 10.0;
    other->setViewport(0.0, 331.0, 612.0, 662.0);
    EXPECT_DOUBLE_EQ(fresh.fftScale.x, 10.0);
}

TEST(FFTGraphTest, AxisBandsAnswerLikeTheTimeGraphs) {
    FftFixture f;
    // Plot (120, 345) ... (600, 645) inside the viewport from y = 331 to 662.
    EXPECT_EQ(f.view->hitTest(300, 400).code, plotHit);
    EXPECT_EQ(f.view->hitTest(300, 650).code, xAxisHit);
    EXPECT_EQ(f.view->hitTest(100, 340).code, yAxisHit);
    EXPECT_EQ(f.view->hitTest(10, 600).code, viewportHit);
    EXPECT_EQ(f.view->hitTest(10, 700).code, noHit);
}

TEST(FFTGraphTest, ChannelEditsMoveTheSpectraAndAGrownTransformDropsTheOldBins) {
    FftFixture f;
    f.feed(32.0, 256);
    ASSERT_TRUE(f.graph->advance(256));
    f.view->finishSpectra();
    f.record.channelList.insert(f.record.channelList.begin(), ChannelData{});
    f.graph->insertChannel(0);
    ASSERT_EQ(f.view->spectra().size(), 3u);
    EXPECT_TRUE(f.view->spectra()[0].empty());
    EXPECT_NEAR(f.view->spectra()[1][32], 1.0, 1e-9);
    f.record.channelList.erase(f.record.channelList.begin());
    f.graph->removeChannel(0);
    EXPECT_NEAR(f.view->spectra()[0][32], 1.0, 1e-9);
    // Twice the rate: 512 samples in the window, F = 512. The bins of F = 256 are gone rather
    // than drawn as half a spectrum of unknown frequencies.
    f.inputs.rate = 512;
    f.graph->rebuild();
    EXPECT_EQ(f.view->range().transformLength, 512);
    for (const std::vector<double>& spectrum : f.view->spectra())
        EXPECT_TRUE(spectrum.empty());
    FftFixture::draw(*f.view);
    // A channel added while the spectra are computed: they belong to the old channels and are
    // dropped, not shown against the wrong ones.
    f.feed(32.0, 512);
    ASSERT_TRUE(f.graph->advance(512));
    f.record.channelList.insert(f.record.channelList.begin(), ChannelData{});
    f.graph->insertChannel(0);
    f.view->finishSpectra();
    ASSERT_EQ(f.view->spectra().size(), 3u);
    for (const std::vector<double>& spectrum : f.view->spectra())
        EXPECT_TRUE(spectrum.empty());
}

TEST(FFTGraphTest, LegendRowsAnswerAsChannelsAndAViewWithoutChannelsOffersClickHere) {
    FftFixture f;
    // Rows of 12 pixels from y = 336, over x = 3 ... 93.
    EXPECT_EQ(f.view->hitTest(10, 337).code, legendRowHit);
    EXPECT_EQ(f.view->hitTest(10, 349).code, legendRowHit + 1);
    f.record.channelList.clear();
    f.graph->rebuild();
    EXPECT_EQ(f.view->hitTest(10, 337).code, clickHereHit);
    const std::vector<Drawn> texts = ofKind(FftFixture::draw(*f.view), "text");
    EXPECT_TRUE(std::any_of(texts.begin(), texts.end(),
                            [](const Drawn& d) { return d.text == "click here"; }));
    // Nothing to scale to: -1 ... 1 with 1 % free above and below, no further margin.
    f.view->autoScaleY();
    EXPECT_NEAR(f.view->frame().yValue(345.0), 1.02, 1e-12);
}

TEST(FFTGraphTest, CursorsReadEachChannelsLevelBetweenBins) {
    FftFixture f;
    f.feed(32.0, 256);
    ASSERT_TRUE(f.graph->advance(256));
    f.view->finishSpectra();
    // On bin 32 and halfway between bins 31 and 32 (0.5 and 1.0).
    f.record.fftCursors = CursorPair{32.0, 31.5};
    const std::vector<Drawn> log = FftFixture::draw(*f.view);
    EXPECT_TRUE(hasText(log, "f1 32.0000 Hz"));
    EXPECT_TRUE(hasText(log, "f2-f1 -0.50000 Hz"));
    EXPECT_FALSE(hasText(log, "1/(f2-f1)"));
    EXPECT_TRUE(hasText(log, "1.00000  0.75000  diff -0.25000"));
}
