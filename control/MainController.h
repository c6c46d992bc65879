#pragma once

#include "KLib/IO/USB/BoxWatcher.h"
#include "acquisition/Acquisition.h"
#include "config/Config.h"
#include "control/AvailableMemory.h"
#include "control/GraphBoard.h"
#include "control/MainUI.h"
#include "control/SettingsValues.h"
#include "device/BoxLink.h"
#include "files/DataFileUI.h"
#include "signal/ChannelSelection.h"

#include <functional>
#include <memory>
#include <string>

class FileLog;
class TriggerGate;

enum RecordingMode { Idle = 0, Continuous = 1, Single = 2, Log = 3 };

// The main window's logic without the toolkit: start-up and close, the configuration file,
// the connection to the box, the recording modes with their command sequences, the hand-over of
// the sample stream into the graphs, and the zero commands. Runs on the user-interface thread;
// only the hand-over thread's "data arrived" goes through MainUI::postDataArrival.
class MainController : private BoxHost, private DataFileUI {
public:
    // The base of the window title.
    static constexpr const char* baseTitle = "ORVA 2 USB V1.3.5 by Torven Kellmar GmbH";

    MainController(MainUI& ui, GraphBoard& graphs, std::string configPath);
    ~MainController() override;

    // Loads the configuration file (or builds the default configuration), builds the graphs and
    // connects to the box. False when the connected box is not one this program can drive: the
    // user has been told, and the program must end with exit status 1.
    bool startUp();
    // Stores the zero selectors and writes the configuration file.
    void close(int zeroMask);

    // Reads the configuration file and puts it in force, graphs included; false when it cannot
    // be read, and nothing changed.
    bool loadConfigFile(const std::string& path);
    // The Load Configuration command: the file, then the box and the graphs follow it.
    void loadConfiguration(const std::string& path);
    bool saveConfigFile(const std::string& path) override;
    // The Save Data command: a MAT file with its side configuration file, or a CSV file.
    void writeDataFile(const std::string& path);
    // The Load Data command: the graphs of a MAT file, with the configuration saved beside it
    // when there is one. Tells the user when the file cannot be read.
    void loadDataFile(const std::string& path);
    // Recreates the graphs and sets the window title; fileName names a data file shown, if any.
    void rebuildGraphs(const std::string& fileName);
    // The Connect command. False as for startUp().
    bool connectBox();
    // A box appeared: while not connected, the status bar points to the Connect command.
    void boxArrived();
    // The box at `path` went away. When it is the connected box and no recording runs, the link
    // is closed and the loss shown; a recording reports the loss at its next data tick.
    void boxLeft(const std::string& path);

    // The values the settings dialog shows, made on first use and refitted when the inputs
    // changed since (another box, another configuration).
    SettingsValues& settingsValues();
    // The settings dialog was confirmed: its values go into the configuration and, when they
    // changed something, on to the box and the graphs.
    void applySettings();

    void startRecording(int mode);
    void stopRecording() override;
    // The data tick: lets the hand-over thread deliver what the box has sent.
    // The 100 ms tick of a recording: asks for the frames received meanwhile. A box that went
    // away ends the recording one tick after it was noticed, so that the frames it sent before
    // reach the graphs.
    void dataTick();
    void handleDataArrival();
    // "Manual Zero" and "Ref Zero" with the mask of the ticked zero selectors.
    void manualZero(int zeroMask);
    void referenceZero(int zeroMask);

    Config& config() { return config_; }
    int recordingMode() const { return mode_; }
    bool isConnected() const { return link_.isConnected(); }
    BoxLink& link() { return link_; }
    FrameCounts frameCounts() const { return acquisition_.decoding().counts(); }
    // Frames the ring dropped because the user-interface thread fell behind.
    std::int64_t ringDroppedFrames() const { return acquisition_.droppedFrames(); }
    // Bytes per frame of the channel selection sent last.
    int frameSize() const { return selection_.frameSize; }
    // Bytes of the graphs' data windows as the configuration has them now.
    std::uint64_t builtWindowBytes() const;
    // Whether data windows of `needed` bytes can replace those of `current` bytes; the status
    // bar says why not.
    bool windowsFit(std::uint64_t needed, std::uint64_t current);
    // Whether the data windows of the configuration `next` can replace those built now.
    bool windowsFit(const Config& next);
    // Replaces the system's figure of available memory (bytes), for tests.
    void setAvailableMemory(std::function<std::uint64_t()> bytes) {
        availableMemory_ = std::move(bytes);
    }

private:
    // BoxHost
    void showMessage(const std::string& text) override { ui_.showMessage(text); }
    int chooseDevice(const std::vector<std::string>& entries) override {
        return ui_.chooseDevice(entries);
    }
    void showStatus(const std::string& text) override { ui_.showStatus(text); }
    // DataFileUI
    void showMessage(const std::string& text, const std::string& caption) override {
        ui_.showMessage(text, caption);
    }
    bool askYesNo(const std::string& text, const std::string& caption) override {
        return ui_.askYesNo(text, caption);
    }
    void showProgress(const std::string& title, double fraction) override {
        ui_.showProgress(title, fraction);
    }
    void endProgress() override { ui_.endProgress(); }
    bool readDataFile(const std::string& path);
    // Reads a configuration file into `loaded` and checks it; false when it cannot be read.
    bool readConfigFile(const std::string& path, Config& loaded);
    // Puts `next` in force: a recording stops first, then the configuration is replaced and the
    // graph instruments are made again from its graph list.
    void replaceConfiguration(Config&& next, const std::string& fileName);
    void selectionSent(const ChannelSelection& selection) override;
    void dataPipeChanged(KLib::IODevice* pipe) override { acquisition_.setDataPipe(pipe); }
    // The status of the data path after a delivery: `worst` of its chunks. A loss stays shown
    // for a while, so that the clean deliveries after it do not replace it before it is read.
    void showDeliveryStatus(DecodeStatus worst);
    // Puts the trigger gate in front of the graphs; false, with the reason shown, when the
    // configuration's trigger cannot be used.
    bool armTrigger(bool check);

    InputSettings userInputSettings() const;
    void resetPositionUnwrap();
    // The box vanished: the recording stops, the link is closed, the graphs keep their data.
    void connectionLost();
    // At start-up, after the configuration file could not be read: keeps a copy of it beside
    // it with the suffix ".bad" and tells the user.
    void keepUnreadableConfiguration();
    void endSweep();

    // Why data windows of `needed` bytes cannot replace those of `current` bytes, as the status
    // bar says it; empty when they can.
    std::string memoryShortfall(std::uint64_t needed, std::uint64_t current) const;
    // Why the graphs cannot hold a log of the log time, as the status bar says it; empty when
    // they can.
    std::string logShortfall() const;
    // A log the graphs cannot hold (`shortfall` says why): the file the user chooses for it, or
    // empty when they decline.
    std::string askForLogFile(const std::string& shortfall);
    // Opens the file of a log; false, with a message, when it cannot be made.
    bool openFileLog(const std::string& path);
    // After a delivery: the rows go into the file, and the graphs start a new sweep when theirs
    // is full. A log that is `complete` or whose file failed stops.
    void continueFileLog(bool complete);
    // Completes the file of the log and tells where it is, or why it is incomplete.
    void finishFileLog();

    MainUI& ui_;
    GraphBoard& graphs_;
    std::string configPath_;
    Config config_;
    Acquisition acquisition_;
    BoxLink link_;
    ChannelSelection selection_;
    std::function<std::uint64_t()> availableMemory_ = availableMemoryBytes;
    int mode_ = Idle;
    bool pipeFailureSeen_ = false;     // at the previous data tick
    int lossShownFor_ = 0;             // data ticks for which a loss status stays on the status bar
    double savedDisplayTime_ = 0.0;    // s, while a log recording runs
    std::unique_ptr<FileLog> fileLog_; // while a log into a file runs
    std::unique_ptr<TriggerGate> trigger_; // while a single sweep waits for or follows its event
    int triggerPreTrigger_ = 0;            // samples of the sweep before the event
    std::unique_ptr<SettingsValues> settings_;       // once the settings dialog has been asked for
    std::unique_ptr<KLib::USB::BoxWatcher> watcher_; // from start-up on
};
