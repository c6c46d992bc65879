// Measuring on the window's graphs: a single sweep that waited for the shaft's reference pulse,
// read with the cursors and the statistics table.

#include "SimulatedBox.h"
#include "WindowFixture.h"
#include "app/Ids.h"
#include "app/TriggerDialog.h"
#include "signal/Units.h"

#include <gtest/gtest.h>

#include <wx/checkbox.h>

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

TEST_F(MeasuringTest, ALevelTheTrackNeverReachesKeepsSingleWaitingPastItsTimeOut) {
    Config config;
    config.inputSettings.rate = 10000;
    GraphData& tracks = addGraph(config);
    tracks.caption = "Tracks";
    ChannelData& a = addChannel(tracks);
    a.caption = "A";
    a.channel = 2; // Analog A, 0.5 V peak
    a.unit = unitIndex("V");
    writeConfiguration(config);
    SimulatedBox simulated(boxWithInputs("sin1"));
    openWindow();

    whenDialogShows([](wxDialog& dialog) {
        EXPECT_FALSE(dialog.FindWindow(TriggerDialog::inputField)->IsEnabled());
        dynamic_cast<wxCheckBox*>(dialog.FindWindow(TriggerDialog::enabledField))->SetValue(true);
        pickChoice(dialog, TriggerDialog::sourceField, 1);
        EXPECT_FALSE(dialog.FindWindow(TriggerDialog::levelField)->IsEnabled());
        pickChoice(dialog, TriggerDialog::sourceField, 0);
        EXPECT_TRUE(dialog.FindWindow(TriggerDialog::levelField)->IsEnabled());
        pickChoice(dialog, TriggerDialog::channelField, 0);
        setText(dialog, TriggerDialog::levelField, "0.6");
        pickChoice(dialog, TriggerDialog::slopeField, 2);
        setText(dialog, TriggerDialog::preTriggerField, "25");
        setText(dialog, TriggerDialog::timeoutField, "1");
        if (const char* directory = std::getenv("ORVA_SCREENSHOT_DIR")) {
            pump(300ms);
            screenshot(std::string(directory) + "/trigger-dialog.png");
        }
        pressButton(dialog, wxID_OK);
    });
    click(frame_, ID_TRIGGER, wxEVT_MENU);
    const TriggerSettings& trigger = frame_->controller().config().trigger;
    EXPECT_TRUE(trigger.enabled);
    EXPECT_EQ(trigger.source, TriggerSettings::ChannelLevel);
    EXPECT_EQ(trigger.level, "0.6");
    EXPECT_EQ(trigger.slope, TriggerSettings::Either);
    EXPECT_EQ(trigger.preTrigger, "25");

    click(frame_, ID_SINGLE);
    EXPECT_EQ(status(), "Waiting for trigger...");
    EXPECT_TRUE(pumpUntil([&] { return status() == "Still waiting for trigger after 1 s"; }, 5s))
        << status();
    click(frame_, ID_STOP);
    EXPECT_NE(status().rfind("Still waiting", 0), 0u) << status();
}

} // namespace
