#pragma once

#include "acquisition/SampleTarget.h"
#include "files/SampleStream.h"
#include "recording/HeadlessRecorder.h"

#include <chrono>
#include <sstream>
#include <thread>
#include <vector>

// Keeps every committed value of every channel of one graph, and where frames were lost.
class RecordedGraph : public SampleTarget {
public:
    explicit RecordedGraph(int channelCount) : pending_(channelCount), values(channelCount) {}

    void framesLost(int atValue, std::int64_t frames, int substitutes) override {
        losses.push_back(
            {values.at(0).size() + static_cast<std::size_t>(atValue), frames, substitutes});
    }
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
    std::vector<FrameLoss> losses;
};

inline bool sameLoss(const FrameLoss& a, const FrameLoss& b) {
    return a.atSample == b.atSample && a.frames == b.frames && a.substitutes == b.substitutes;
}

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
