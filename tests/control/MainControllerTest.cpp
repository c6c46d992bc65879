#include "ControllerTestSupport.h"
#include "SimulatedBox.h"
#include "config/ConfigFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

namespace {

using namespace std::chrono_literals;

class MainControllerTest : public ::testing::Test {
protected:
    MainControllerTest() {
        char pattern[] = "/tmp/orva-controller-XXXXXX";
        home_ = mkdtemp(pattern);
        configPath_ = home_ + "/config/orva2usb/orva.cfg";
    }
    ~MainControllerTest() override { std::filesystem::remove_all(home_); }

    // The controller, started up against whatever box is there.
    std::unique_ptr<MainController> startController() {
        auto controller = std::make_unique<MainController>(ui, board, configPath_);
        controller->link().setCommandPause(0ms);
        EXPECT_TRUE(controller->startUp());
        return controller;
    }

    // Saves the configuration to `path` broken off right after the first `marker`; returns the
    // text left in the file.
    static std::string saveBrokenOff(Config& config, const std::string& path,
                                     const std::string& marker) {
        EXPECT_TRUE(saveConfig(config, path));
        std::string text;
        {
            std::ifstream in(path);
            text.assign(std::istreambuf_iterator<char>(in), {});
        }
        text.resize(text.find(marker) + marker.size());
        std::ofstream(path) << text;
        return text;
    }

    // The controller, started up where no box can be found.
    std::unique_ptr<MainController> startWithoutBox() {
        char pattern[] = "/tmp/orva-nobox-XXXXXX";
        setenv("XDG_RUNTIME_DIR", mkdtemp(pattern), 1);
        auto controller = startController();
        unsetenv("XDG_RUNTIME_DIR");
        return controller;
    }

    // The commands the box received after the connect sequence, which ends with "*IDN?".
    static std::vector<std::string> afterConnect(const std::vector<std::string>& transcript) {
        std::size_t idn = 0;
        for (std::size_t i = 1; i < transcript.size(); ++i)
            if (transcript[i] == "*IDN?")
                idn = i;
        return std::vector<std::string>(transcript.begin() + idn + 1, transcript.end());
    }

    std::string home_;
    std::string configPath_;
    FakeUI ui;
    FakeBoard board;
};

TEST_F(MainControllerTest, StartUpWithoutFileOrBoxKeepsTheDefaultConfiguration) {
    auto controller = startWithoutBox();
    ASSERT_EQ(controller->config().graphList.size(), 1u);
    EXPECT_EQ(controller->config().graphList.front().caption, "Position");
    EXPECT_EQ(controller->config().graphList.front().channelList.at(0).caption, "Encoder1");
    EXPECT_EQ(ui.statuses.back(), "Default configuration loaded.");
    EXPECT_EQ(ui.messages, std::vector<std::string>{"Can't connect to ORVA Box!"});
    EXPECT_EQ(ui.title, "ORVA 2 USB V1.3.5 by Torven Kellmar GmbH");

    // Without a box, starting changes nothing but the status text.
    ui.statuses.clear();
    controller->startRecording(Continuous);
    EXPECT_EQ(ui.statuses, std::vector<std::string>{"Not connected to ORVA Box!"});
    EXPECT_EQ(controller->recordingMode(), Idle);
    EXPECT_FALSE(ui.dataTimer);
    controller->manualZero(5);
    EXPECT_EQ(ui.statuses.back(), "Not connected to ORVA Box!");
}

TEST_F(MainControllerTest, StartUpWithABoxEndsConnected) {
    SimulatedBox box(boxWithInputs("sin2sq1ssi1ana1"));
    auto controller = startController();
    EXPECT_TRUE(controller->isConnected());
    EXPECT_EQ(ui.statuses.back(), "Connected to: TorvenKellmar,ORVA 2 USB,SIM-sim1,V2.0");
    EXPECT_EQ(controller->config().inputSettings.sineInputs.size(), 2u);
}

TEST_F(MainControllerTest, StartingWhileASingleRecordingRunsStopsItFirst) {
    SimulatedBox box(boxWithInputs("sin1"));
    auto controller = startController();
    controller->startRecording(Single);
    EXPECT_EQ(ui.statuses.back(), "Recording (single)...");
    ui.statuses.clear();
    controller->startRecording(Continuous);
    EXPECT_EQ(ui.statuses, (std::vector<std::string>{"Ready", "Recording..."}));
    EXPECT_EQ(controller->recordingMode(), Continuous);
    EXPECT_TRUE(ui.dataTimer);
    EXPECT_TRUE(ui.valueTimer);
    controller->stopRecording();
    controller.reset();
    box.stop();
    const std::vector<std::string> expected = {
        "IN:1:SELECT 1", "TRIGGER:RUN 1", "TRIGGER:RUN 0", "TRIGGER:RUN 1", // Single
        "TRIGGER:RUN 0",                                                    // its stop
        "IN:1:SELECT 1", "TRIGGER:RUN 1", "TRIGGER:RUN 0", "TRIGGER:RUN 1", // Start
        "TRIGGER:RUN 0"};                                                   // Stop
    EXPECT_EQ(afterConnect(box.model().transcript()), expected);
}

TEST_F(MainControllerTest, SingleEndsAfterOneSweepAndContinuousRestarts) {
    SimulatedBox box(boxWithInputs("sin1"));
    auto controller = startController();
    controller->config().inputSettings.rate = 10000;
    controller->startRecording(Continuous);
    // 1000-sample sweeps at 10 kS/s: one every 100 ms.
    for (int i = 0; i < 100 && board.restarts < 2; ++i) {
        std::this_thread::sleep_for(20ms);
        ui.tick(*controller);
    }
    EXPECT_GE(board.restarts, 2);
    EXPECT_EQ(controller->recordingMode(), Continuous);

    controller->startRecording(Single);
    while (controller->recordingMode() == Single)
        ui.tick(*controller);
    EXPECT_EQ(ui.statuses.back(), "Ready");
    EXPECT_FALSE(ui.dataTimer);
    EXPECT_EQ(board.graphs.at(0).written, 1000); // the sweep stays
    EXPECT_EQ(controller->frameCounts().lost, 0);
}

TEST_F(MainControllerTest, ALossStaysOnTheStatusBarForTwoSecondsOfTicks) {
    boxsim::BoxConfig simulated = boxWithInputs("sin1");
    simulated.faults.stallAfterSeconds = 0.1;
    simulated.faults.stallMilliseconds = 30.0; // its frames are lost
    SimulatedBox box(simulated);
    auto controller = startController();
    controller->config().inputSettings.rate = 10000;
    controller->startRecording(Continuous);
    ui.statuses.clear();
    for (int i = 0; i < 200 && controller->frameCounts().lost == 0; ++i) {
        std::this_thread::sleep_for(20ms);
        ui.tick(*controller);
    }
    ASSERT_GT(controller->frameCounts().lost, 0);
    ASSERT_EQ(ui.statuses.back(), "sample error");
    const std::size_t shown = ui.statuses.size();
    auto ticks = [&](int count) {
        for (int i = 0; i < count; ++i) {
            std::this_thread::sleep_for(20ms);
            ui.tick(*controller);
        }
    };
    ticks(15);
    // The clean deliveries after the loss leave it in place, then "Recording..." comes back.
    EXPECT_EQ(ui.statuses.size(), shown);
    ticks(10);
    EXPECT_EQ(ui.statuses.back(), "Recording...");
    controller->stopRecording();
}

TEST_F(MainControllerTest, ContinuousStopsWhenAGraphLeavesItsRange) {
    SimulatedBox box(boxWithInputs("sin1"));
    auto controller = startController();
    board.outOfRange = true;
    controller->startRecording(Continuous);
    while (controller->recordingMode() == Continuous)
        ui.tick(*controller);
    EXPECT_EQ(board.restarts, 0);
    EXPECT_EQ(ui.statuses.back(), "Ready");
}

TEST_F(MainControllerTest, LogRecordingSizesGraphsFromTheLogTimeAndRestoresTheDisplayTime) {
    SimulatedBox box(boxWithInputs("sin1"));
    auto controller = startController();
    controller->config().inputSettings.displayTime = 1.0f;
    controller->config().inputSettings.logTime = 10.0f;
    controller->startRecording(Log);
    EXPECT_EQ(ui.statuses.back(), "Recording (log)...");
    EXPECT_EQ(controller->config().inputSettings.displayTime, 10.0f);
    while (controller->recordingMode() == Log)
        ui.tick(*controller);
    EXPECT_EQ(ui.saveOffers, 1);
    EXPECT_EQ(controller->config().inputSettings.displayTime, 1.0f);
    EXPECT_EQ(board.fits, 1);
}

// The disk of a log into a file is full: the log stops and the file's own message is shown.
TEST_F(MainControllerTest, AFullDiskStopsALogIntoAFileWithTheFilesMessage) {
    SimulatedBox box(boxWithInputs("sin1"));
    auto controller = startController();
    controller->setAvailableMemory([] { return std::uint64_t(0); });
    controller->config().inputSettings.logTime = 10.0f;
    ui.logFile = home_ + "/full.csv";
    std::filesystem::create_symlink("/dev/full", ui.logFile);
    controller->startRecording(Log);
    ASSERT_EQ(controller->recordingMode(), Log);
    for (int i = 0; i < 100 && controller->recordingMode() == Log; ++i) {
        std::this_thread::sleep_for(20ms);
        ui.tick(*controller);
    }
    EXPECT_EQ(controller->recordingMode(), Idle);
    EXPECT_FALSE(ui.dataTimer);
    EXPECT_EQ(ui.messages, std::vector<std::string>{"Can't write file " + ui.logFile +
                                                    ": the disk is full or not writable"});
    EXPECT_EQ(ui.statuses.back(),
              "Log into " + ui.logFile + " stopped: the file could not be written.");
}

TEST_F(MainControllerTest, ZeroCommandsCarryTheSelectorMask) {
    SimulatedBox box(boxWithInputs("sin2sq1ssi1ana1"));
    auto controller = startController();
    controller->manualZero(5);
    EXPECT_EQ(ui.statuses.back(), "Manual zero performed");
    controller->manualZero(0);
    controller->referenceZero(2);
    controller->stopRecording(); // idle and connected: the stop is still sent
    EXPECT_EQ(ui.statuses.back(), "Ready");
    controller.reset();
    box.stop();
    const std::vector<std::string> expected = {"ACTION:MZERO 5", "ACTION:MZERO 0", "ACTION:RZERO 2",
                                               "TRIGGER:RUN 0"};
    EXPECT_EQ(afterConnect(box.model().transcript()), expected);
}

TEST_F(MainControllerTest, CloseWritesTheConfigurationWithTheZeroSelectors) {
    {
        auto controller = startController();
        controller->close(5);
    }
    Config saved;
    ASSERT_TRUE(loadConfig(saved, configPath_));
    EXPECT_EQ(saved.zero, 5);
    EXPECT_EQ(saved.graphList.size(), 1u);

    // The next start loads it.
    auto again = startController();
    EXPECT_EQ(again->config().zero, 5);
    EXPECT_NE(
        std::find(ui.statuses.begin(), ui.statuses.end(), "Configuration loaded successfully"),
        ui.statuses.end());
}

} // namespace

TEST_F(MainControllerTest, UnreadableConfigurationIsKeptAsBadAndTheDefaultsAreUsed) {
    Config stored;
    addDefaultGraph(stored);
    stored.graphList.front().caption = "Mine";
    stored.inputSettings.rate = 12345;
    std::filesystem::create_directories(home_ + "/config/orva2usb");
    // The file breaks off after the first graph's caption.
    const std::string text = saveBrokenOff(stored, configPath_, "Mine");

    auto controller = startWithoutBox();
    // Nothing of the broken file reached the configuration.
    ASSERT_EQ(controller->config().graphList.size(), 1u);
    EXPECT_EQ(controller->config().graphList.front().caption, "Position");
    EXPECT_EQ(controller->config().inputSettings.rate, Config{}.inputSettings.rate);
    EXPECT_EQ(ui.statuses.back(), "Default configuration loaded.");
    ASSERT_FALSE(ui.messages.empty());
    EXPECT_NE(ui.messages.front().find(configPath_ + ".bad"), std::string::npos);

    // Closing writes the defaults; the user's file survives beside them.
    controller->close(0);
    std::ifstream kept(configPath_ + ".bad");
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), text);
    Config saved;
    EXPECT_TRUE(loadConfig(saved, configPath_));
}

TEST_F(MainControllerTest, AConfigurationThatBreaksOffChangesNothing) {
    auto controller = startController();
    Config other;
    addDefaultGraph(other);
    addDefaultGraph(other);
    other.graphList.front().caption = "Other";
    other.inputSettings.rate = 20000;
    const std::string path = home_ + "/broken.cfg";
    saveBrokenOff(other, path, "Other");

    const Config before = controller->config();
    const int rebuilds = board.rebuilds;
    controller->loadConfiguration(path);
    EXPECT_EQ(ui.statuses.back(), "Failed to load configuration!");
    EXPECT_EQ(controller->config().inputSettings.rate, before.inputSettings.rate);
    ASSERT_EQ(controller->config().graphList.size(), before.graphList.size());
    EXPECT_EQ(controller->config().graphList.front().caption, before.graphList.front().caption);
    EXPECT_EQ(board.rebuilds, rebuilds);
}

TEST_F(MainControllerTest, AVanishedBoxEndsTheRecordingKeepsTheDataAndConnectsAgain) {
    boxsim::BoxConfig vanishing = boxWithInputs("sin1");
    vanishing.faults.vanishAfterSeconds = 0.5;
    auto box = std::make_unique<SimulatedBox>(vanishing);
    board = FakeBoard(1 << 30);
    auto controller = startController();
    controller->startRecording(Continuous);
    const auto started = std::chrono::steady_clock::now();
    while (controller->recordingMode() != Idle && std::chrono::steady_clock::now() - started < 5s) {
        ui.tick(*controller);
        std::this_thread::sleep_for(100ms);
    }
    // Noticed within a second of the box going away.
    EXPECT_LT(std::chrono::steady_clock::now() - started, 1500ms);
    EXPECT_EQ(ui.statuses.back(), "Connection to ORVA Box lost!");
    EXPECT_FALSE(controller->isConnected());
    EXPECT_FALSE(ui.dataTimer);
    // What arrived before stays in the graph: about half a second of frames.
    ASSERT_EQ(board.graphs.size(), 1u);
    EXPECT_GT(board.graphs[0].written, 0);

    box.reset();
    box = std::make_unique<SimulatedBox>(boxWithInputs("sin1"));
    EXPECT_TRUE(controller->connectBox());
    EXPECT_TRUE(controller->isConnected());
}

// A box that appears is pointed out only while none is connected. A box that goes away ends
// the idle connection when it is the connected one; during a recording the data tick reports
// the loss, so the report of the watcher says nothing.
TEST_F(MainControllerTest, BoxesArrivingAndLeavingAreShownOnlyWhenTheyConcernTheConnection) {
    auto controller = startWithoutBox();
    controller->boxArrived();
    EXPECT_EQ(ui.statuses.back(), "ORVA Box found. Use Options > Connect to connect to it.");

    SimulatedBox box(boxWithInputs("sin1"));
    ASSERT_TRUE(controller->connectBox());
    std::vector<std::string> shown = ui.statuses;
    controller->boxArrived();
    controller->boxLeft("sim:/elsewhere/other.sock");
    EXPECT_EQ(ui.statuses, shown);
    EXPECT_TRUE(controller->isConnected());

    controller->startRecording(Continuous);
    shown = ui.statuses;
    controller->boxLeft(box.path());
    EXPECT_EQ(ui.statuses, shown);
    EXPECT_EQ(controller->recordingMode(), Continuous);

    controller->stopRecording();
    controller->boxLeft(box.path());
    EXPECT_EQ(ui.statuses.back(), "Connection to ORVA Box lost!");
    EXPECT_FALSE(controller->isConnected());
}
