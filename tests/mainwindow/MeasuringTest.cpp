// Measuring on the window's graphs: a single sweep that waited for the shaft's reference pulse,
// read with the cursors and the statistics table.

#include "SimulatedBox.h"
#include "WindowFixture.h"
#include "app/Ids.h"
#include "app/TriggerDialog.h"
#include "signal/Units.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

using namespace std::chrono_literals;

using MeasuringTest = WindowFixture;

TEST_F(MeasuringTest, ATriggeredSweepReadWithCursorsAndStatistics) {
    Config config;
    config.inputSettings.rate = 10000;
    config.inputSettings.displayTime = 0.2f;
    GraphData& tracks = addGraph(config);
    tracks.caption = "Tracks";
    tracks.statistics = true;
    for (const int signal : {2, 3, 4}) { // Analog A, Analog B, R
        ChannelData& channel = addChannel(tracks);
        channel.caption = signal == 4 ? "R" : signal == 2 ? "A" : "B";
        channel.channel = signal;
        channel.unit = unitIndex(signal == 4 ? "1" : "V");
        channel.color = signal == 2 ? 0x0000FF : signal == 3 ? 0xFF0000 : 0x008000;
    }
    config.trigger.enabled = true;
    config.trigger.source = TriggerSettings::ReferencePulse;
    config.trigger.preTrigger = "50";
    writeConfiguration(config);
    boxsim::BoxConfig box = boxWithInputs("sin1");
    box.speed.shape = boxsim::SpeedProfile::Shape::Constant;
    // 16 signal periods per turn at 2 turns per second: six periods a sweep, and a reference
    // pulse every half second.
    box.periods = {16.0};
    box.speed.a = 2.0;
    SimulatedBox simulated(box);
    openWindow();

    // The dialog shows the trigger in force and takes it back as it is.
    bool accepted = false;
    wxTEST_DIALOG(click(frame_, ID_TRIGGER, wxEVT_MENU),
                  DialogAnswer<TriggerDialog>([&](TriggerDialog& dialog) {
                      accepted = dialog.TransferDataFromWindow();
                      return wxID_OK;
                  }));
    EXPECT_TRUE(accepted);

    click(frame_, ID_SINGLE);
    EXPECT_EQ(status(), "Waiting for trigger...");
    ASSERT_TRUE(pumpUntil([&] { return status() == "Ready"; }, 10s));

    click(frame_, ID_AUTO_ZOOM, wxEVT_TOOL);
    pump(1100ms);
    click(frame_, ID_AUTO_ZOOM, wxEVT_TOOL);
    click(frame_, ID_VIEW_ALL, wxEVT_TOOL);
    click(frame_, ID_CURSORS, wxEVT_TOOL);
    const GraphData& shown = frame_->controller().config().graphList.front();
    const auto at = [&](double fx) {
        return wxPoint(static_cast<int>(shown.graphP1.x + fx * (shown.graphP2.x - shown.graphP1.x)),
                       static_cast<int>((shown.graphP1.y + shown.graphP2.y) / 2));
    };
    drag(panel(), at(0.3), at(0.3));
    drag(panel(), at(0.7), at(0.7));
    pump(200ms);
    ASSERT_TRUE(shown.cursors.both());
    EXPECT_LT(*shown.cursors.first, 0.1);
    EXPECT_GT(*shown.cursors.second, 0.1);
    if (const char* directory = std::getenv("ORVA_SCREENSHOT_DIR"))
        screenshot(std::string(directory) + "/measuring.png");
}

} // namespace
