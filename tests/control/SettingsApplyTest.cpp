#include "ControllerTestSupport.h"
#include "SimulatedBox.h"
#include "config/ConfigFile.h"
#include "device/ConfigurationCommands.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

using namespace std::chrono_literals;
using Texts = std::vector<std::string>;

const Texts appliedStatuses = {
    "Checking configuration...", "Stopping transfer...",           "Ready", "Configuring device...",
    "Updating bindings...",      "Redrawing with new settings...", "Ready"};

class SettingsApplyTest : public ::testing::Test {
protected:
    SettingsApplyTest() {
        char pattern[] = "/tmp/orva-settings-XXXXXX";
        home_ = mkdtemp(pattern);
    }
    ~SettingsApplyTest() override { std::filesystem::remove_all(home_); }

    std::unique_ptr<MainController> startController() {
        auto controller = std::make_unique<MainController>(ui, board, home_ + "/orva.cfg");
        controller->link().setCommandPause(0ms);
        EXPECT_TRUE(controller->startUp());
        ui.statuses.clear();
        return controller;
    }
    // Without a box: the enumeration looks into an empty directory.
    std::unique_ptr<MainController> startControllerWithoutBox() {
        const std::string runtime = home_ + "/runtime";
        std::filesystem::create_directory(runtime);
        setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
        auto controller = startController();
        unsetenv("XDG_RUNTIME_DIR");
        return controller;
    }

    // What the box received after the connect sequence, which ends with "*IDN?".
    static Texts afterConnect(const Texts& transcript) {
        const auto idn = std::find(transcript.rbegin(), transcript.rend(), "*IDN?");
        return Texts(idn.base(), transcript.end());
    }

    static int ratePosition(const std::string& rate) {
        const Texts& rates = SettingsValues::rateChoices();
        return static_cast<int>(std::find(rates.begin(), rates.end(), rate) - rates.begin());
    }

    std::string home_;
    FakeUI ui;
    FakeBoard board;
};

TEST_F(SettingsApplyTest, AChangeIsAnnouncedStepByStepAndSentToTheBox) {
    SimulatedBox box(boxWithInputs("sin1"));
    auto controller = startController();
    SettingsValues& values = controller->settingsValues();
    values.rate = ratePosition("20000");
    values.lineWidth = 2;
    const int rebuilds = board.rebuilds;
    controller->applySettings();

    EXPECT_EQ(ui.statuses, appliedStatuses);
    EXPECT_FALSE(ui.busy);
    const InputSettings inputs = controller->config().inputSettings;
    EXPECT_EQ(inputs.rate, 20000);
    EXPECT_EQ(board.lineWidth, 3);
    EXPECT_GT(board.rebuilds, rebuilds);

    controller.reset();
    box.stop();
    Texts expected = {"TRIGGER:RUN 0"}; // the stop
    for (const ValueCommand& command : configurationCommands(inputs))
        expected.push_back(command.name + " " + std::to_string(command.value));
    expected.push_back("IN:1:SELECT 1");
    EXPECT_EQ(afterConnect(box.model().transcript()), expected);
}

TEST_F(SettingsApplyTest, ConfirmingWithoutAChangeOnlyShowsReady) {
    SimulatedBox box(boxWithInputs("sin1ssi1"));
    auto controller = startController();
    controller->settingsValues().applyPendingWordRules(); // as the first showing does
    controller->applySettings();
    EXPECT_EQ(ui.statuses, Texts{"Ready"});
    EXPECT_FALSE(ui.busy);
    controller.reset();
    box.stop();
    EXPECT_TRUE(afterConnect(box.model().transcript()).empty());
}

TEST_F(SettingsApplyTest, WithoutABoxTheSequenceStillRunsAndChecksTheValues) {
    auto controller = startControllerWithoutBox();
    SettingsValues& values = controller->settingsValues();
    values.displayTime = "5000";
    controller->applySettings();
    EXPECT_EQ(ui.statuses, appliedStatuses);
    EXPECT_EQ(controller->config().inputSettings.displayTime, 1000.0f);
}

TEST_F(SettingsApplyTest, TheValuesFollowTheInputsOfALaterBox) {
    auto controller = startControllerWithoutBox();
    EXPECT_TRUE(controller->settingsValues().sine.empty());
    SimulatedBox box(boxWithInputs("sin2sq1"));
    ASSERT_TRUE(controller->connectBox());
    SettingsValues& values = controller->settingsValues();
    EXPECT_EQ(values.sine.size(), 2u);
    EXPECT_EQ(values.square.size(), 1u);
    values.sine[1].periods = "2048";
    controller->applySettings();
    EXPECT_EQ(controller->config().inputSettings.sineInputs[1].periods, 2048.0);
}

TEST_F(SettingsApplyTest, ADisplayTimeChangedDuringALogRecordingOutlastsItsEnd) {
    SimulatedBox box(boxWithInputs("sin1"));
    auto controller = startController();
    controller->config().inputSettings.logTime = 10.0f;
    controller->startRecording(Log);
    SettingsValues& values = controller->settingsValues();
    EXPECT_EQ(values.displayTime, "1.000000000000"); // not the log time the graphs show

    values.displayTime = "2";
    controller->applySettings();
    EXPECT_EQ(controller->recordingMode(), Idle);
    EXPECT_EQ(controller->config().inputSettings.displayTime, 2.0f);
    EXPECT_EQ(controller->config().inputSettings.logTime, 10.0f);
}

TEST_F(SettingsApplyTest, ALoadedConfigurationIsCheckedAndShownInTheValues) {
    auto controller = startControllerWithoutBox();
    SettingsValues& values = controller->settingsValues();
    Config stored;
    stored.inputSettings.rate = 50;
    resizeInputs(stored.inputSettings, 0, 0, 2, 0);
    const std::string path = home_ + "/other.cfg";
    ASSERT_TRUE(saveConfig(stored, path));

    ASSERT_TRUE(controller->loadConfigFile(path));
    EXPECT_EQ(controller->config().inputSettings.rate, 100);
    EXPECT_EQ(values.rate, ratePosition("100"));
    EXPECT_EQ(values.ssi.size(), 2u);
}

} // namespace

// 200 s at 500 kS/s is 10^8 samples, 890 MB for the one channel; 256 MB are available.
class MemoryGuardTest : public SettingsApplyTest {
protected:
    std::unique_ptr<MainController> startSmallController() {
        auto controller = startController();
        controller->setAvailableMemory([] { return std::uint64_t(256) << 20; });
        return controller;
    }
};

TEST_F(MemoryGuardTest, SettingsThatDoNotFitAreRefusedBeforeAnythingIsStopped) {
    SimulatedBox box(boxWithInputs("sin1"));
    auto controller = startSmallController();
    controller->startRecording(Continuous);
    SettingsValues& values = controller->settingsValues();
    values.rate = ratePosition("500000");
    values.displayTime = "200";
    const InputSettings before = controller->config().inputSettings;
    const int rebuilds = board.rebuilds;
    controller->applySettings();

    EXPECT_EQ(ui.statuses.back(),
              "Not enough memory for the graphs: 890 MB needed, 256 MB available.");
    EXPECT_EQ(controller->recordingMode(), Continuous);
    EXPECT_EQ(controller->config().inputSettings.rate, before.rate);
    EXPECT_EQ(controller->config().inputSettings.displayTime, before.displayTime);
    EXPECT_EQ(board.rebuilds, rebuilds);
    EXPECT_FALSE(ui.busy);
    // The dialog shows the settings in force again.
    EXPECT_EQ(controller->settingsValues().displayTime,
              SettingsValues(controller->config().inputSettings).displayTime);
}

TEST_F(MemoryGuardTest, ALogTooLongForMemoryDoesNotStart) {
    SimulatedBox box(boxWithInputs("sin1"));
    auto controller = startSmallController();
    controller->config().inputSettings.rate = 500000;
    controller->config().inputSettings.logTime = 200.0f;
    // Declining to log into a file instead leaves the refusal.
    ui.answerYes = false;
    controller->startRecording(Log);
    ASSERT_EQ(ui.questions.size(), 1u);
    EXPECT_EQ(ui.questions[0].rfind("Not enough memory for the graphs: 890 MB needed", 0), 0u);
    EXPECT_EQ(controller->recordingMode(), Idle);
    EXPECT_EQ(ui.statuses.back().rfind("Not enough memory for the graphs", 0), 0u);
    // So does cancelling the choice of the file.
    ui.answerYes = true;
    controller->startRecording(Log);
    EXPECT_EQ(controller->recordingMode(), Idle);
    EXPECT_EQ(ui.statuses.back().rfind("Not enough memory for the graphs", 0), 0u);
    // A log longer than a graph's window would be cut short in memory, however much there is.
    controller->setAvailableMemory([] { return std::uint64_t(1) << 40; });
    controller->config().inputSettings.logTime = 300.0f;
    controller->startRecording(Log);
    EXPECT_EQ(controller->recordingMode(), Idle);
    EXPECT_EQ(ui.statuses.back(), "The log is too long for the graphs: 150000000 samples per "
                                  "channel, a graph holds 100000000.");
    // A log that fits starts.
    controller->config().inputSettings.logTime = 10.0f;
    controller->startRecording(Log);
    EXPECT_EQ(controller->recordingMode(), Log);
    controller->stopRecording();
}
