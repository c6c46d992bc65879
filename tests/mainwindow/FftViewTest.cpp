#include "GuiTestSupport.h"
#include "SimulatedBox.h"
#include "app/Ids.h"
#include "app/MainFrame.h"
#include "config/ConfigFile.h"
#include "graph/FFTGraph.h"
#include "graph/WXInstrumentPanel.h"
#include "graph/WXInstrumentServer.h"

#include <gtest/gtest.h>
#include <wx/statusbr.h>

#include <cstdlib>
#include <filesystem>

namespace {

using namespace std::chrono_literals;

// The graph panel somewhere inside the window; null when there is none.
WXInstrumentPanel* findPanel(wxWindow* window) {
    if (auto* panel = dynamic_cast<WXInstrumentPanel*>(window))
        return panel;
    for (wxWindow* child : window->GetChildren())
        if (WXInstrumentPanel* panel = findPanel(child))
            return panel;
    return nullptr;
}

// Every test gets its own user directory with the configuration written before the start.
class FftViewTest : public ::testing::Test {
protected:
    FftViewTest() {
        char pattern[] = "/tmp/orva-gui-fft-XXXXXX";
        home_ = mkdtemp(pattern);
        setenv("XDG_CONFIG_HOME", (home_ + "/config").c_str(), 1);
    }
    ~FftViewTest() override {
        if (frame_) {
            frame_->Close(true);
            pump(50ms);
        }
        unsetenv("XDG_CONFIG_HOME");
        std::filesystem::remove_all(home_);
    }

    void writeConfiguration(Config config) {
        std::filesystem::create_directories(home_ + "/config/orva2usb");
        ASSERT_TRUE(saveConfig(config, home_ + "/config/orva2usb/orva.cfg"));
    }
    void openWindow() {
        frame_ = new MainFrame;
        ASSERT_TRUE(frame_->startUp());
        frame_->Show();
        pump(100ms);
    }
    std::string status() const { return frame_->GetStatusBar()->GetStatusText(0).ToStdString(); }

    std::string home_;
    MainFrame* frame_ = nullptr;
};

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
    WXInstrumentPanel* panel = findPanel(frame_);
    ASSERT_NE(panel, nullptr);
    click(frame_, ID_AUTO_ZOOM, wxEVT_TOOL);
    click(frame_, ID_START);
    pump(3500ms);
    // Starting recreates the instruments, so they are looked up only now.
    const auto& instruments = panel->server().instruments();
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

} // namespace
