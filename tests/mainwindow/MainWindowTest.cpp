#include "KLib/Data/MatlabWriter.h"
#include "SimulatedBox.h"
#include "WindowFixture.h"
#include "app/Ids.h"
#include "device/DeviceDialog.h"
#include "graph/Graph.h"
#include "graph/WXInstrumentServer.h"
#include "graph/wxLogoPanel.h"

#include <gtest/gtest.h>
#include <wx/checkbox.h>
#include <wx/combobox.h>
#include <wx/eventfilter.h>
#include <wx/filedlg.h>
#include <wx/filename.h>
#include <wx/modalhook.h>
#include <wx/msgdlg.h>
#include <wx/progdlg.h>
#include <wx/statusbr.h>
#include <wx/testing.h>
#include <wx/timer.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

using namespace std::chrono_literals;

class MainWindowTest : public WindowFixture {
protected:
    void openWindowWithoutBox() {
        char pattern[] = "/tmp/orva-gui-nobox-XXXXXX";
        setenv("XDG_RUNTIME_DIR", mkdtemp(pattern), 1);
        frame_ = new MainFrame;
        bool usable = false;
        wxTEST_DIALOG(usable = frame_->startUp(), wxExpectModal<wxMessageDialog>(wxID_OK));
        EXPECT_TRUE(usable);
        frame_->Show();
        unsetenv("XDG_RUNTIME_DIR");
    }
};

TEST_F(MainWindowTest, StartWithoutFileOrBoxShowsTheDefaultGraph) {
    openWindowWithoutBox();
    EXPECT_EQ(status(), "Default configuration loaded.");
    const Config& config = frame_->controller().config();
    ASSERT_EQ(config.graphList.size(), 1u);
    EXPECT_EQ(config.graphList.front().caption, "Position");
    EXPECT_EQ(config.graphList.front().channelList.at(0).caption, "Encoder1");
    EXPECT_EQ(frame_->GetTitle(), "ORVA 2 USB V1.3.5 by Torven Kellmar GmbH");
    EXPECT_TRUE(frame_->zeroCheckBoxes().empty());
    click(frame_, ID_START);
    EXPECT_EQ(status(), "Not connected to ORVA Box!");
}

TEST_F(MainWindowTest, TheAboutBoxIsCaptionedWithTheProgramsName) {
    openWindowWithoutBox();
    std::string caption;
    wxTEST_DIALOG(click(frame_, ID_ABOUT, wxEVT_MENU),
                  DialogAnswer<wxMessageDialog>([&](wxMessageDialog& box) {
                      caption = box.GetCaption().ToStdString();
                      return wxID_OK;
                  }));
    EXPECT_EQ(caption, "ORVA 2 USB");
}

// Plays the user of the save dialogs: picks the filter, types the name and saves. Message boxes
// are answered with `answer` and their texts kept.
class SaveDialogUser : public wxModalDialogHook {
public:
    SaveDialogUser() {
        Register();
        // The file chooser of GTK tells the typed path only while it shows, and it changes to a
        // folder a while after it is asked to; the name is typed just before saving, ahead of
        // the chooser's completion of names.
        typing_.Bind(wxEVT_TIMER, [this](wxTimerEvent&) {
            if (!chooser_ || !chooser_->IsModal())
                return;
            if (++ticksShown_ == 5) {
                chooser_->SetFilterIndex(filter_);
                chooser_->SetDirectory(wxPathOnly(typed_));
            } else if (ticksShown_ == 20) {
                chooser_->SetFilename(wxFileNameFromPath(typed_));
                chooser_->EndModal(wxID_OK);
                chooser_ = nullptr;
            }
        });
        typing_.Start(20);
    }
    void willType(const std::string& path, int filter) {
        typed_ = path;
        filter_ = filter;
    }
    int answer = wxID_OK;
    std::vector<std::string> messages;

protected:
    int Enter(wxDialog* dialog) override {
        if (auto* box = dynamic_cast<wxMessageDialog*>(dialog)) {
            messages.push_back(box->GetMessage().ToStdString());
            return answer;
        }
        chooser_ = dynamic_cast<wxFileDialog*>(dialog);
        ticksShown_ = 0;
        return wxID_NONE;
    }

private:
    wxTimer typing_;
    wxFileDialog* chooser_ = nullptr;
    int ticksShown_ = 0;
    std::string typed_;
    int filter_ = 0;
};

TEST_F(MainWindowTest, NamesTypedWithoutExtensionTakeTheSelectedFiltersOne) {
    openWindowWithoutBox();
    SaveDialogUser user;
    user.willType(home_ + "/run", 1);
    click(frame_, ID_SAVE_DATA, wxEVT_MENU);
    EXPECT_TRUE(std::filesystem::exists(home_ + "/run.csv"));
    user.willType(home_ + "/setup", 0);
    click(frame_, ID_SAVE_CONFIGURATION, wxEVT_MENU);
    EXPECT_TRUE(std::filesystem::exists(home_ + "/setup.cfg"));
    EXPECT_TRUE(user.messages.empty());

    // The dialog asked only about "setup": replacing setup.cfg is asked, and "No" keeps it.
    std::ofstream(home_ + "/setup.cfg") << "the user's own";
    user.answer = wxID_NO;
    click(frame_, ID_SAVE_CONFIGURATION, wxEVT_MENU);
    EXPECT_EQ(user.messages, std::vector<std::string>{"File '" + home_ +
                                                      "/setup.cfg' already exists, do you really "
                                                      "want to overwrite it?"});
    std::ifstream kept(home_ + "/setup.cfg");
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), "the user's own");
}

TEST_F(MainWindowTest, AClosedMenuGivesBackTheNewestStatus) {
    openWindowWithoutBox();
    const auto menu = [this](wxEventType type, int id) {
        wxMenuEvent event(type, id);
        frame_->ProcessWindowEvent(event);
    };
    menu(wxEVT_MENU_OPEN, 0);
    menu(wxEVT_MENU_HIGHLIGHT, ID_CONNECT);
    EXPECT_EQ(status(), "Connect to ORVA box");
    // A status the program shows while the menu is open outlives the help texts.
    click(frame_, ID_START);
    menu(wxEVT_MENU_HIGHLIGHT, ID_SETTINGS);
    EXPECT_EQ(status(), "Settings for ORVA box");
    menu(wxEVT_MENU_CLOSE, 0);
    EXPECT_EQ(status(), "Not connected to ORVA Box!");
}

TEST_F(MainWindowTest, StartWithABoxConnectsAndOffersAZeroSelectorPerEncoderInput) {
    Config stored;
    addDefaultGraph(stored);
    stored.zero = 5;
    writeConfiguration(stored);
    SimulatedBox box(boxWithInputs("sin2sq1ssi1ana1"));
    openWindow();
    EXPECT_EQ(status(), "Connected to: TorvenKellmar,ORVA 2 USB,SIM-sim1,V2.0");
    const std::vector<wxCheckBox*>& boxes = frame_->zeroCheckBoxes();
    ASSERT_EQ(boxes.size(), 4u);
    EXPECT_EQ(boxes[0]->GetLabel(), "Input 1(SinCos)");
    EXPECT_EQ(boxes[1]->GetLabel(), "Input 2(SinCos)");
    EXPECT_EQ(boxes[2]->GetLabel(), "Input 3(HTL/TTL)");
    EXPECT_EQ(boxes[3]->GetLabel(), "Input 4(SSI)");
    EXPECT_TRUE(boxes[0]->GetValue());
    EXPECT_FALSE(boxes[1]->GetValue());
    EXPECT_TRUE(boxes[2]->GetValue());

    // Closing stores the selectors as they are now.
    boxes[1]->SetValue(true);
    closeWindow();
    Config saved;
    ASSERT_TRUE(loadConfig(saved, configFile_));
    EXPECT_EQ(saved.zero, 7);
}

// What the device dialog offered when it was answered.
struct OfferedDevices {
    wxString title;
    std::vector<std::string> entries;
    int selection = -1;
};

// Answers the device dialog with Ok after choosing the entry at index.
class ChooseDevice : public wxExpectModalBase<DeviceDialog, ChooseDevice> {
public:
    ChooseDevice(int index, OfferedDevices& offered) : index_(index), offered_(&offered) {}

protected:
    int OnInvoked(DeviceDialog* dialog) const override {
        offered_->title = dialog->GetTitle();
        for (const wxString& entry : dialog->comboBox()->GetStrings())
            offered_->entries.push_back(entry.ToStdString());
        offered_->selection = dialog->comboBox()->GetSelection();
        dialog->comboBox()->SetSelection(index_);
        return wxID_OK;
    }

private:
    int index_;
    OfferedDevices* offered_;
};

TEST_F(MainWindowTest, WithTwoBoxesTheOneChosenInTheDeviceDialogIsConnected) {
    SimulatedBox first(boxWithInputs("sin2sq1ssi1ana1"));
    boxsim::BoxConfig secondConfig = boxWithInputs("sin1");
    secondConfig.name = "sim2";
    SimulatedBox second(secondConfig, first);

    // Cancelling the choice leaves the program unconnected, without a message.
    frame_ = new MainFrame;
    bool usable = false;
    wxTEST_DIALOG(usable = frame_->startUp(), wxExpectDismissableModal<DeviceDialog>(wxID_CANCEL));
    EXPECT_TRUE(usable);
    EXPECT_FALSE(frame_->controller().link().isConnected());
    closeWindow();

    frame_ = new MainFrame;
    OfferedDevices offered;
    wxTEST_DIALOG(usable = frame_->startUp(), ChooseDevice(1, offered));
    EXPECT_TRUE(usable);
    frame_->Show();
    EXPECT_EQ(offered.title, "ORVA 2 USB");
    EXPECT_EQ(offered.entries,
              (std::vector<std::string>{"ORVA 2 USB,SIM-sim1", "ORVA 2 USB,SIM-sim2"}));
    EXPECT_EQ(offered.selection, 0);
    EXPECT_EQ(status(), "Connected to: TorvenKellmar,ORVA 2 USB,SIM-sim2,V2.0");
    EXPECT_EQ(frame_->zeroCheckBoxes().size(), 1u);
}

TEST_F(MainWindowTest, RecordingButtonsDriveTheBox) {
    SimulatedBox box(boxWithInputs("sin1"));
    openWindow();
    MainController& controller = frame_->controller();
    controller.link().setCommandPause(0ms);

    click(frame_, ID_START);
    EXPECT_EQ(status(), "Recording...");
    pump(500ms);
    EXPECT_EQ(status(), "Recording...");
    EXPECT_EQ(controller.frameCounts().lost, 0);
    click(frame_, ID_STOP);
    EXPECT_EQ(status(), "Ready");

    click(frame_, ID_SINGLE);
    EXPECT_EQ(status(), "Recording (single)...");
    // One sweep of the default one second, then the recording ends by itself.
    EXPECT_TRUE(pumpUntil([&] { return controller.recordingMode() == Idle; }, 5s));
    EXPECT_EQ(status(), "Ready");

    // Log: one sweep of the log time, then the Save Data command is offered and the recording
    // stops, with the display time restored.
    controller.config().inputSettings.logTime = 0.5f;
    click(frame_, ID_LOG);
    EXPECT_EQ(status(), "Recording (log)...");
    EXPECT_EQ(controller.config().inputSettings.displayTime, 0.5f);
    // The end of the log offers the Save Data dialog; cancelling it saves nothing.
    bool ended = false;
    wxTEST_DIALOG(ended = pumpUntil([&] { return controller.recordingMode() == Idle; }, 5s),
                  wxExpectModal<wxFileDialog>("", wxID_CANCEL));
    EXPECT_TRUE(ended);
    EXPECT_EQ(controller.config().inputSettings.displayTime, 1.0f);

    ASSERT_EQ(frame_->zeroCheckBoxes().size(), 1u);
    frame_->zeroCheckBoxes()[0]->SetValue(true);
    click(frame_, ID_MANUAL_ZERO);
    EXPECT_EQ(status(), "Manual zero performed");
    closeWindow();
    box.stop();

    std::vector<std::string> commands;
    for (const std::string& line : box.model().transcript())
        if (line.rfind("TRIGGER:RUN", 0) == 0 || line.rfind("ACTION", 0) == 0)
            commands.push_back(line);
    const std::vector<std::string> expectedTail = {
        "TRIGGER:RUN 1", "TRIGGER:RUN 0", "TRIGGER:RUN 1", "TRIGGER:RUN 0", // Start, Stop
        "TRIGGER:RUN 1", "TRIGGER:RUN 0", "TRIGGER:RUN 1", "TRIGGER:RUN 0", // Single
        "TRIGGER:RUN 1", "TRIGGER:RUN 0", "TRIGGER:RUN 1", "TRIGGER:RUN 0", // Log
        "ACTION:MZERO 1"};
    ASSERT_GE(commands.size(), expectedTail.size());
    EXPECT_EQ(std::vector<std::string>(commands.end() - expectedTail.size(), commands.end()),
              expectedTail);
}

TEST_F(MainWindowTest, AnIncompatibleBoxEndsTheStartUpAfterItsMessage) {
    boxsim::BoxConfig incompatible = boxWithInputs("sin1");
    incompatible.faults.identification = "TorvenKellmar,ORVA 2 USB,9,V1.0";
    SimulatedBox box(incompatible);
    MainFrame* frame = new MainFrame;
    bool usable = true;
    wxTEST_DIALOG(usable = frame->startUp(), wxExpectModal<wxMessageDialog>(wxID_OK));
    EXPECT_FALSE(usable);
    frame->Destroy();
    pump(50ms);
}

TEST_F(MainWindowTest, ARecordedSweepIsSavedAndLoadedBack) {
    SimulatedBox box(boxWithInputs("sin1"));
    openWindow();
    MainController& controller = frame_->controller();
    controller.config().inputSettings.rate = 1000;
    click(frame_, ID_SINGLE);
    ASSERT_TRUE(pumpUntil([&] { return controller.recordingMode() == Idle; }, 5s));

    const std::string data = home_ + "/run1.mat";
    controller.writeDataFile(data);
    EXPECT_EQ(status(), "Done writing MATLAB file");
    EXPECT_TRUE(std::filesystem::exists(home_ + "/run1.cfg"));

    // Without the side file the graphs are built from the data file alone.
    std::filesystem::remove(home_ + "/run1.cfg");
    controller.config().inputSettings.rate = 5000;
    controller.loadDataFile(data);
    EXPECT_EQ(status(), "Ready");
    EXPECT_EQ(controller.config().inputSettings.rate, 1000);
    ASSERT_EQ(controller.config().graphList.size(), 1u);
    EXPECT_EQ(controller.config().graphList.front().caption, "Position");
    EXPECT_EQ(frame_->GetTitle(), "ORVA 2 USB V1.3.5 by Torven Kellmar GmbH - run1.mat");

    // A file that is not a data file: the message, and the graphs come back.
    wxTEST_DIALOG(controller.loadDataFile(home_ + "/nothing.mat"),
                  wxExpectModal<wxMessageDialog>(wxID_OK));
    EXPECT_EQ(controller.config().graphList.size(), 0u);
    EXPECT_EQ(frame_->GetTitle(), "ORVA 2 USB V1.3.5 by Torven Kellmar GmbH");
}

// Notes whether a progress dialog handled any event: its showing, sizing or drawing.
class ProgressDialogWatch : public wxEventFilter {
public:
    ProgressDialogWatch() { wxEvtHandler::AddFilter(this); }
    ~ProgressDialogWatch() override { wxEvtHandler::RemoveFilter(this); }
    int FilterEvent(wxEvent& event) override {
        if (dynamic_cast<wxGenericProgressDialog*>(event.GetEventObject()))
            seen = true;
        return Event_Skip;
    }
    bool seen = false;
};

TEST_F(MainWindowTest, LargeLoadsAndSavesShowTheirProgress) {
    openWindowWithoutBox();
    // 42 s at 100 kS/s of one channel.
    const std::string large = home_ + "/large.mat";
    {
        std::vector<double> values(4200000), time(values.size());
        for (std::size_t k = 0; k < values.size(); ++k) {
            values[k] = std::sin(static_cast<double>(k) * 1e-3);
            time[k] = static_cast<double>(k) * 1e-5;
        }
        const double color[] = {0, 0, 1};
        KLib::MatlabWriter writer(large);
        ASSERT_TRUE(writer.writeHeader("large") && writer.beginStruct("Large", 2));
        ASSERT_TRUE(writer.writeString("fft", "false") && writer.beginStruct("c", 3));
        ASSERT_TRUE(writer.writeMatrix("data", values.data(), values.size(), 1));
        ASSERT_TRUE(writer.writeString("unit", "m") && writer.writeMatrix("color", color, 3, 1));
        ASSERT_TRUE(writer.endStruct() && writer.endStruct());
        ASSERT_TRUE(writer.writeMatrix("time", time.data(), time.size(), 1) && writer.close());
    }
    MainController& controller = frame_->controller();
    ProgressDialogWatch loading;
    controller.loadDataFile(large);
    EXPECT_EQ(status(), "Ready");
    EXPECT_TRUE(loading.seen);
    EXPECT_EQ(controller.config().inputSettings.rate, 100000);

    ProgressDialogWatch saving;
    controller.writeDataFile(home_ + "/again.csv");
    EXPECT_EQ(status(), "Done writing CSV file");
    EXPECT_TRUE(saving.seen);
    EXPECT_GT(std::filesystem::file_size(home_ + "/again.csv"), 4200000u * 10);
}

// Graphs of the position and the speed of the first SinCos input.
Config positionAndSpeed(int rate) {
    Config config;
    config.inputSettings.rate = rate;
    GraphData& position = addGraph(config);
    position.caption = "Position";
    addChannel(position).caption = "x";
    GraphData& speed = addGraph(config);
    speed.caption = "Speed";
    ChannelData& v = addChannel(speed);
    v.caption = "v";
    v.channel = 1;
    v.unit = 13; // 1/min
    v.color = 0xC00000;
    return config;
}

TEST_F(MainWindowTest, LiveGraphsDuringAContinuousRecording) {
    Config config = positionAndSpeed(10000);
    config.torvenLogo = true; // with the position and speed readout above the graphs
    writeConfiguration(config);
    SimulatedBox box(boxWithInputs("sin2sq1ssi1ana1"));
    openWindow();
    click(frame_, ID_AUTO_ZOOM, wxEVT_TOOL);
    click(frame_, ID_START);
    pump(3500ms);
    EXPECT_EQ(status(), "Recording...");
    if (const char* directory = std::getenv("ORVA_SCREENSHOT_DIR"))
        screenshot(std::string(directory) + "/continuous-recording.png");
    click(frame_, ID_STOP);
    EXPECT_EQ(frame_->controller().frameCounts().lost, 0);
    // The channels "x" and "v" feed the readout: turns with five decimals, speed in rpm.
    ASSERT_NE(frame_->readout(), nullptr);
    EXPECT_TRUE(frame_->readout()->positionText().Matches("*.?????"));
    EXPECT_TRUE(frame_->readout()->speedText().Matches("+*.???? rpm"));
}

// 100 kS/s with four channels: the window keeps up for the whole time without losing a frame.
TEST_F(MainWindowTest, KeepsUpWithAFastStream) {
    Config config = positionAndSpeed(100000);
    addChannel(config.graphList.front()).input = 1;
    ChannelData& analog = addChannel(config.graphList.back());
    analog.input = 4;
    analog.unit = 15;
    writeConfiguration(config);
    SimulatedBox box(boxWithInputs("sin2sq1ssi1ana1"));
    openWindow();
    const char* seconds = std::getenv("ORVA_KEEP_UP_SECONDS");
    const auto duration = std::chrono::seconds(seconds ? std::atoi(seconds) : 60);
    click(frame_, ID_START);
    std::vector<std::string> otherStatuses;
    pumpUntil(
        [&] {
            if (status() != "Recording...")
                otherStatuses.push_back(status());
            return false;
        },
        std::chrono::duration_cast<std::chrono::milliseconds>(duration));
    click(frame_, ID_STOP);
    EXPECT_TRUE(otherStatuses.empty()) << otherStatuses.front();
    EXPECT_EQ(frame_->controller().frameCounts().lost, 0);
}

} // namespace

namespace {

// Channel 0 of the first graph on screen, every sample it holds.
std::vector<double> firstTrace(WXInstrumentPanel& panel) {
    const auto* graph = dynamic_cast<const Graph*>(panel.server().instruments().at(0).get());
    std::vector<double> samples(static_cast<std::size_t>(graph->capacity()));
    samples.resize(static_cast<std::size_t>(
        graph->copySamples(0, 0, samples.data(), static_cast<int>(samples.size()))));
    return samples;
}

TEST_F(MainWindowTest, SaveDataAsCsvAndMatThenLoadTheSameCurvesBack) {
    SimulatedBox box(boxWithInputs("sin1"));
    openWindow();
    frame_->controller().config().inputSettings.rate = 1000;
    click(frame_, ID_SINGLE);
    ASSERT_TRUE(pumpUntil([&] { return frame_->controller().recordingMode() == Idle; }, 5s));
    const std::vector<double> recorded = firstTrace(panel());
    ASSERT_EQ(recorded.size(), 1000u);

    const std::string csv = home_ + "/run.csv";
    // The file chooser of GTK gives no path without a user, so the chosen path is handed over
    // as the menu command does.
    frame_->controller().writeDataFile(csv);
    EXPECT_EQ(status(), "Done writing CSV file");
    EXPECT_TRUE(std::filesystem::exists(csv));

    // A side file of that name is there already: "No" writes neither file.
    const std::string mat = home_ + "/run.mat";
    std::ofstream(home_ + "/run.cfg") << "the user's own";
    wxTEST_DIALOG(frame_->controller().writeDataFile(mat), wxExpectModal<wxMessageDialog>(wxID_NO));
    EXPECT_FALSE(std::filesystem::exists(mat));
    std::ifstream side(home_ + "/run.cfg");
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(side), {}), "the user's own");
    wxTEST_DIALOG(frame_->controller().writeDataFile(mat),
                  wxExpectModal<wxMessageDialog>(wxID_YES));
    EXPECT_EQ(status(), "Done writing MATLAB file");

    // A new start, as after quitting: the data file brings the same curve back.
    closeWindow();
    openWindow();
    frame_->controller().loadDataFile(mat);
    EXPECT_EQ(frame_->GetTitle(), "ORVA 2 USB V1.3.5 by Torven Kellmar GmbH - run.mat");
    EXPECT_EQ(firstTrace(panel()), recorded);

    // Built from the data file alone, on a machine without memory to spare: refused with the
    // reason, not built half.
    std::filesystem::remove(home_ + "/run.cfg");
    frame_->controller().setAvailableMemory([] { return std::uint64_t(0); });
    wxTEST_DIALOG(frame_->controller().loadDataFile(mat), wxExpectModal<wxMessageDialog>(wxID_OK));
    EXPECT_EQ(status().rfind("Not enough memory for the graphs", 0), 0u);
    EXPECT_TRUE(panel().server().instruments().empty());
}

} // namespace
