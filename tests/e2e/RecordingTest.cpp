#include "SimulatedBox.h"
#include "acquisition/Acquisition.h"
#include "acquisition/FrameDecoder.h"
#include "device/BoxLink.h"
#include "signal/ChannelSelection.h"

#include <gtest/gtest.h>

#include <cmath>
#include <condition_variable>
#include <mutex>
#include <numeric>

namespace {

using namespace std::chrono_literals;

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
        link_.setCommandPause(0ms);
    }
    ~Engine() override { link_.disconnect(); }

    ConnectResult connect(Config& config) {
        config_ = &config;
        return link_.connect(config);
    }

    // Records for the given time with a 100 ms data tick, as the main window's timer does.
    void record(std::chrono::milliseconds duration, RecordedGraph& graph) {
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

boxsim::BoxConfig shaftAtConstantSpeed(double turnsPerSecond) {
    boxsim::BoxConfig box = boxWithInputs("sin1sq1");
    box.speed.shape = boxsim::SpeedProfile::Shape::Constant;
    box.speed.a = turnsPerSecond;
    return box;
}

// Position in turns and velocity in turns per second of the SinCos input.
Config positionAndVelocity(int rate) {
    Config config;
    config.inputSettings.rate = rate;
    config.inputSettings.failure_add_value = -7.0f;
    GraphData& graph = addGraph(config);
    addChannel(graph).unit = 1;
    ChannelData& velocity = addChannel(graph);
    velocity.channel = 1;
    velocity.unit = 7;
    return config;
}

TEST(Recording, ValuesFollowTheSimulatedShaftWithoutLoss) {
    SimulatedBox box(shaftAtConstantSpeed(2.0));
    Engine engine;
    Config config = positionAndVelocity(10000);
    ASSERT_EQ(engine.connect(config), ConnectResult::Connected);
    RecordedGraph graph(2);
    engine.record(1500ms, graph);

    const std::vector<double>& position = graph.values[0];
    const std::vector<double>& velocity = graph.values[1];
    ASSERT_GT(position.size(), 5000u); // well over half of 1.5 s at 10 kS/s
    EXPECT_EQ(engine.decoder().lostFrames(), 0);
    for (const DecodeStatus status : engine.statuses)
        EXPECT_EQ(status, DecodeStatus::Recording);
    // 2 turns/s at 10 kS/s: every frame the shaft moves on by 0.0002 turns.
    for (std::size_t i = 1; i < position.size(); ++i)
        ASSERT_NEAR(position[i] - position[i - 1], 0.0002, 1e-6) << "at sample " << i;
    const double meanVelocity =
        std::accumulate(velocity.begin(), velocity.end(), 0.0) / velocity.size();
    EXPECT_NEAR(meanVelocity, 2.0, 0.01);
}

boxsim::BoxConfig shaftWithFaults(const boxsim::FaultPlan& faults) {
    boxsim::BoxConfig box = shaftAtConstantSpeed(2.0);
    box.faults = faults;
    return box;
}

// One second of positionAndVelocity(10000) from a box at 2 turns/s with the given faults.
struct FaultyRecording {
    explicit FaultyRecording(const boxsim::FaultPlan& faults) : box(shaftWithFaults(faults)) {}
    bool record() {
        if (engine.connect(config) != ConnectResult::Connected)
            return false;
        engine.record(1000ms, graph);
        return true;
    }
    SimulatedBox box;
    Engine engine;
    Config config = positionAndVelocity(10000);
    RecordedGraph graph{2};
};

TEST(Recording, DroppedFramesBecomeExactlyOneSubstituteEach) {
    boxsim::FaultPlan faults;
    faults.dropEvery = 100;
    FaultyRecording recording(faults);
    ASSERT_TRUE(recording.record());
    const Engine& engine = recording.engine;
    const RecordedGraph& graph = recording.graph;

    const std::vector<double>& position = graph.values[0];
    ASSERT_GT(position.size(), 3000u);
    int substitutes = 0;
    for (std::size_t i = 1; i + 1 < position.size(); ++i) {
        if (position[i] != -7.0)
            continue;
        ++substitutes;
        // The substitute stands exactly where the lost frame's value would have been.
        EXPECT_NEAR(position[i + 1] - position[i - 1], 0.0004, 1e-6) << "at sample " << i;
        EXPECT_EQ(graph.values[1][i], -7.0);
    }
    EXPECT_EQ(substitutes, engine.decoder().lostFrames());
    EXPECT_GE(substitutes, static_cast<int>(position.size() / 100) - 2);
    EXPECT_NE(std::find(engine.statuses.begin(), engine.statuses.end(), DecodeStatus::SampleError),
              engine.statuses.end());
}

// The box stops sending for 200 ms and the frames of that time are lost: its counter jumps by
// about 2000 and the graph gets exactly that many substitutes in one run, where those frames
// belonged.
TEST(Recording, AStallBecomesOneRunOfSubstitutesOfItsLength) {
    boxsim::FaultPlan faults;
    faults.stallAfterSeconds = 0.3;
    faults.stallMilliseconds = 200.0;
    FaultyRecording recording(faults);
    ASSERT_TRUE(recording.record());
    const Engine& engine = recording.engine;

    const std::vector<double>& position = recording.graph.values[0];
    const auto first = std::find(position.begin(), position.end(), -7.0);
    ASSERT_NE(first, position.end());
    ASSERT_NE(first, position.begin());
    const auto end = std::find_if(first, position.end(), [](double v) { return v != -7.0; });
    ASSERT_NE(end, position.end());
    const long run = end - first;
    EXPECT_EQ(run, engine.decoder().lostFrames());
    EXPECT_NEAR(run, 2000, 1); // the stall's edges fall between frame times
    EXPECT_NEAR(*end - *(first - 1), (run + 1) * 0.0002, 1e-6);
    EXPECT_NE(std::find(engine.statuses.begin(), engine.statuses.end(), DecodeStatus::SampleError),
              engine.statuses.end());
}

} // namespace
