#pragma once

#include "acquisition/SampleTarget.h"
#include "recording/HeadlessRecorder.h"

#include <chrono>
#include <sstream>
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

// Where the engine's messages go; a base of Engine, so that it exists before the recorder.
struct MessageLog {
    std::ostringstream messages;
};

// The headless recorder without the pauses between configuration commands, recording for a
// given time with the main window's 100 ms data tick.
class Engine : private MessageLog, public HeadlessRecorder {
public:
    Engine() : HeadlessRecorder(messages) { setCommandPause(std::chrono::milliseconds(0)); }

    void record(std::chrono::milliseconds duration, RecordedGraph& graph) {
        start({&graph});
        const std::chrono::milliseconds tick(100);
        for (auto elapsed = std::chrono::milliseconds(0); elapsed < duration; elapsed += tick) {
            std::this_thread::sleep_for(tick);
            HeadlessRecorder::tick();
        }
        stop();
    }
};
