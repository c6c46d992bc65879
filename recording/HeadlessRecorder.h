#pragma once

#include "acquisition/Acquisition.h"
#include "acquisition/FrameDecoder.h"
#include "device/BoxLink.h"
#include "signal/ChannelSelection.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <ostream>
#include <string>
#include <vector>

// A recording without a window, for scripts and tests: it connects as the program does at
// start-up, starts the stream with the sequence of the Start command, and at every data tick
// decodes what arrived into its graphs exactly as the window's graphs get it (units,
// operations, offsets, substitutes for lost frames). Messages of the connect sequence go to
// `messages`; with several boxes it refuses to guess and asks for a path there.
class HeadlessRecorder : private BoxHost {
public:
    explicit HeadlessRecorder(std::ostream& messages);
    ~HeadlessRecorder() override;

    // Connects to the box at `path`, or to the only box found when it is empty, and configures
    // it with `config`, which the connect sequence sizes to the box's inputs.
    ConnectResult connect(Config& config, const std::string& path = std::string());
    // Starts the stream; graph g of the configuration is decoded into targets[g] (null: left
    // out). The targets must live until stop().
    void start(const std::vector<SampleTarget*>& targets);
    // One data tick: decodes what arrived since the last one. False when the data pipe failed
    // (the box is gone); what arrived before the failure has been decoded.
    bool tick();
    // A last data tick, then the stream stops.
    void stop();

    const FrameDecoder& decoder() const { return decoder_; }
    // The box's reply to the last identification query.
    const std::string& identification() const { return link_.identification(); }
    // The frame layout and channel records of the selection in force.
    const ChannelSelection& selection() const { return selection_; }
    // Without the pauses the program keeps between configuration commands (tests).
    void setCommandPause(std::chrono::milliseconds pause) { link_.setCommandPause(pause); }

private:
    void showMessage(const std::string& text) override;
    int chooseDevice(const std::vector<std::string>& entries) override;
    void showStatus(const std::string&) override {}
    void stopRecording() override;
    void selectionSent(const ChannelSelection& selection) override;
    void dataPipeChanged(KLib::IODevice* pipe) override { acquisition_.setDataPipe(pipe); }

    // Hands over the frames waiting in the ring and decodes them.
    void handOver();

    std::ostream& messages_;
    std::mutex mutex_;
    std::condition_variable delivered_;
    int deliveries_ = 0; // guarded by mutex_
    Acquisition acquisition_;
    BoxLink link_;
    FrameDecoder decoder_;
    ChannelSelection selection_;
    Config* config_ = nullptr;
    std::vector<GraphFeed> feeds_;
    bool running_ = false;
};
