#include "SimulatedBox.h"
#include "WindowFixture.h"
#include "app/Ids.h"
#include "graph/FFTGraph.h"
#include "graph/WXInstrumentPanel.h"
#include "graph/WXInstrumentServer.h"
#include "signal/Units.h"

#include <gtest/gtest.h>
#include <wx/statusbr.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>

namespace {

using namespace std::chrono_literals;

using FftViewTest = WindowFixture;

TEST_F(FftViewTest, SpeedGraphWithAnFftViewBelowIt) {
    Config config;
    config.inputSettings.rate = 10000;
    GraphData& position = addGraph(config);
    position.caption = "Position";
    addChannel(position).caption = "x";
    GraphData& speed = addGraph(config);
    speed.caption = "Speed";
    speed.fft = true;
    // Four segments of 1024 samples: the rest of the one-second window is shaded.
    speed.fftNumAverages = "4";
    speed.fftSize = "1024";
    // The speed's mean of about 400 1/min (52 dB) exceeds 20 dB at 0 Hz (red); 2500 ... 3500 Hz
    // stays below 0 dB (green).
    speed.fftRegionList.push_back(FFTRegion{0.0, 200.0, 20.0});
    speed.fftRegionList.push_back(FFTRegion{3000.0, 1000.0, 0.0});
    ChannelData& v = addChannel(speed);
    v.caption = "v";
    v.channel = 1;
    v.unit = 13; // 1/min
    v.color = 0xC00000;
    writeConfiguration(config);
    SimulatedBox box(boxWithInputs("sin2sq1ssi1ana1"));
    openWindow();
    // Position, speed and the speed's FFT view, in that order top to bottom.
    click(frame_, ID_AUTO_ZOOM, wxEVT_TOOL);
    click(frame_, ID_START);
    pump(3500ms);
    // Starting recreates the instruments, so they are looked up only now.
    const auto& instruments = panel().server().instruments();
    ASSERT_EQ(instruments.size(), 3u);
    auto* view = dynamic_cast<FFTGraph*>(instruments[2].get());
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->source(), instruments[1].get());
    EXPECT_EQ(status(), "Recording...");
    // Three seconds of one-second windows: the spectra were computed.
    ASSERT_EQ(view->spectra().size(), 1u);
    EXPECT_EQ(view->regionPass(), (std::vector<int>{0, 1}));
    if (const char* directory = std::getenv("ORVA_SCREENSHOT_DIR"))
        screenshot(std::string(directory) + "/fft-view.png");
    click(frame_, ID_STOP);
}

// A 0.5 V sine at bin 100 of a 1024-point transform at 10 kS/s on the analog input, its
// spectrum in dB or linear, with a band around the sine that passes and a band of noise that
// fails its limit.
class AnalogSpectrumTest : public WindowFixture {
protected:
    static constexpr double sineHz = 100 * 10000.0 / 1024;

    const FFTGraph& recordSpectrum(bool logScale) {
        Config config;
        config.inputSettings.rate = 10000;
        GraphData& graph = addGraph(config);
        graph.caption = "Analog";
        graph.fft = true;
        graph.fftLogScale = logScale;
        graph.fftNumAverages = "4";
        graph.fftSize = "1024";
        const double peakLimit = logScale ? 0.0 : 0.55;
        const double noiseLimit = logScale ? -200.0 : 1e-12;
        graph.fftRegionList.push_back(FFTRegion{sineHz, 200.0, peakLimit});
        graph.fftRegionList.push_back(FFTRegion{3000.0, 1000.0, noiseLimit});
        ChannelData& channel = addChannel(graph);
        channel.caption = "u";
        channel.input = 4;
        channel.unit = unitIndex("V");
        writeConfiguration(config);
        boxsim::BoxConfig boxConfig = boxWithInputs("sin2sq1ssi1ana1");
        boxConfig.analog = boxsim::AnalogWave{boxsim::AnalogWave::Shape::Sine, 0.5, sineHz};
        box_ = std::make_unique<SimulatedBox>(boxConfig);
        openWindow();
        click(frame_, ID_AUTO_ZOOM, wxEVT_TOOL);
        click(frame_, ID_START);
        pump(2500ms);
        // Auto Zoom puts the peak at the top; the wheel on the Y-axis band then shows twice
        // the range, so that the passing band's limit comes into view.
        click(frame_, ID_AUTO_ZOOM, wxEVT_TOOL);
        const GraphData& graphRecord = frame_->controller().config().graphList.front();
        wxMouseEvent wheel(wxEVT_MOUSEWHEEL);
        wheel.SetPosition(wxPoint(static_cast<int>(graphRecord.fftGraphP1.x) - 10,
                                  static_cast<int>(graphRecord.fftGraphP2.y) - 20));
        wheel.m_wheelRotation = -120;
        panel().GetEventHandler()->ProcessEvent(wheel);
        pump(300ms);
        const auto& instruments = panel().server().instruments();
        EXPECT_EQ(instruments.size(), 2u);
        return dynamic_cast<const FFTGraph&>(*instruments.back());
    }
    void finish(const std::string& screenshotName) {
        if (const char* directory = std::getenv("ORVA_SCREENSHOT_DIR"))
            screenshot(std::string(directory) + "/" + screenshotName);
        click(frame_, ID_STOP);
    }
    // The strongest bin above DC.
    static std::size_t peakBin(const std::vector<double>& spectrum) {
        return static_cast<std::size_t>(std::max_element(spectrum.begin() + 1, spectrum.end()) -
                                        spectrum.begin());
    }

    std::unique_ptr<SimulatedBox> box_;
};

TEST_F(AnalogSpectrumTest, LinearPeakIsTheSineAmplitude) {
    const FFTGraph& view = recordSpectrum(false);
    ASSERT_EQ(view.spectra().size(), 1u);
    const std::vector<double>& spectrum = view.spectra()[0];
    ASSERT_EQ(spectrum.size(), 513u);
    EXPECT_EQ(peakBin(spectrum), 100u);
    EXPECT_NEAR(spectrum[100], 0.5, 0.01);
    EXPECT_EQ(view.regionPass(), (std::vector<int>{1, 0}));
    // The cursors of the view, placed with the mouse in frequency.
    click(frame_, ID_CURSORS, wxEVT_TOOL);
    const GraphData& graph = frame_->controller().config().graphList.front();
    const auto at = [&](double fx) {
        return wxPoint(
            static_cast<int>(graph.fftGraphP1.x + fx * (graph.fftGraphP2.x - graph.fftGraphP1.x)),
            static_cast<int>((graph.fftGraphP1.y + graph.fftGraphP2.y) / 2));
    };
    drag(panel(), at(0.2), at(0.2));
    drag(panel(), at(0.6), at(0.6));
    ASSERT_TRUE(graph.fftCursors.both());
    EXPECT_GT(*graph.fftCursors.first, 0.0);
    EXPECT_LT(*graph.fftCursors.first, *graph.fftCursors.second);
    EXPECT_FALSE(graph.cursors.first) << "a time cursor was placed from the FFT view";
    pump(300ms);
    finish("fft-linear.png");
}

TEST_F(AnalogSpectrumTest, DecibelPeakIsTheSineAmplitude) {
    const FFTGraph& view = recordSpectrum(true);
    ASSERT_EQ(view.spectra().size(), 1u);
    const std::vector<double>& spectrum = view.spectra()[0];
    EXPECT_EQ(peakBin(spectrum), 100u);
    EXPECT_NEAR(spectrum[100], 20.0 * std::log10(0.5), 0.2);
    EXPECT_EQ(view.regionPass(), (std::vector<int>{1, 0}));
    finish("fft-decibel.png");
}

} // namespace
