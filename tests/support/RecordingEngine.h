#pragma once

#include "acquisition/Acquisition.h"
#include "acquisition/FrameDecoder.h"
#include "device/BoxLink.h"
#include "signal/ChannelSelection.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// Keeps every committed value of every channel of one graph.
class RecordedGraph : public SampleTarget {
public:
    explicit RecordedGraph(int channelCount) : pending_(channelCount), values(channelCount) {}

    void appendSamples(int channel, const double* v, int count) override {
        pending_.at(channel).assign(v, v + count);
    }
    bool advance(int count) override {
        for (std::size_t c = 0; c < values.size(); ++c)
            values[c].insert(values[c].end(), pending_[c].begin(), pending_[c].begin() + count);
        return false;
    }

private:
    std::vector<std::vector<double>> pending_;

public:
    std::vector<std::vector<double>> values;
};

// The engine wired up as the main window does it: link, reader and hand-over threads, decoder.
class Engine : public BoxHost, public StatusDisplay {
public:
    Engine()
        : acquisition_([this] {
              std::lock_guard<std::mutex> lock(mutex_);
              ++deliveries_;
              delivered_.notify_all();
          }),
          link_(*this) {
        link_.setCommandPause(std::chrono::milliseconds(0));
    }
    ~Engine() override { link_.disconnect(); }

    // Connects to the box at `path`, or to the only one found when it is empty.
    ConnectResult connect(Config& config, const std::string& path = std::string()) {
        config_ = &config;
        return link_.connect(config, path);
    }

    // Records for the given time with a 100 ms data tick, as the main window's timer does.
    void record(std::chrono::milliseconds duration, RecordedGraph& graph) {
        using namespace std::chrono_literals;
        decoder_.configure(selection_.frameSize, config_->inputSettings.failure_add_value,
                           config_->inputSettings.rate);
        decoder_.resynchronise();
        link_.startRun();
        acquisition_.setRecordingMode(1);
        const std::vector<GraphFeed> feeds = {{&graph, &selection_.graphChannels.at(0)}};
        for (auto elapsed = 0ms; elapsed < duration; elapsed += 100ms) {
            std::this_thread::sleep_for(100ms);
            handOver(feeds);
        }
        stopRecording();
        handOver(feeds); // whatever was still on its way
    }

    const FrameDecoder& decoder() const { return decoder_; }
    std::vector<DecodeStatus> statuses;
    std::vector<std::string> messages;

    void showMessage(const std::string& text) override { messages.push_back(text); }
    int chooseDevice(const std::vector<std::string>&) override { return 0; }
    void showStatus(const std::string&) override {}
    void stopRecording() override {
        acquisition_.setRecordingMode(0);
        link_.stopRun();
    }
    void selectionSent(const ChannelSelection& selection) override {
        selection_ = selection;
        acquisition_.setFrameSize(selection.frameSize);
    }
    void dataPipeChanged(KLib::IODevice* pipe) override { acquisition_.setDataPipe(pipe); }
    void showStatus(DecodeStatus status) override { statuses.push_back(status); }

private:
    void handOver(const std::vector<GraphFeed>& feeds) {
        std::unique_lock<std::mutex> lock(mutex_);
        const int before = deliveries_;
        lock.unlock();
        acquisition_.requestData();
        lock.lock();
        delivered_.wait(lock, [&] { return deliveries_ > before; });
        lock.unlock();
        const int frames = acquisition_.deliveredBytes() / selection_.frameSize;
        decoder_.decode(acquisition_.transferBuffer(), frames, feeds, this);
        acquisition_.releaseTransferBuffer();
    }

    std::mutex mutex_;
    std::condition_variable delivered_;
    int deliveries_ = 0;
    Acquisition acquisition_;
    BoxLink link_;
    FrameDecoder decoder_;
    ChannelSelection selection_;
    Config* config_ = nullptr;
};
