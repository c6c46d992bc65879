#include "RecordingEngine.h"
#include "SimulatedBox.h"

#include <gtest/gtest.h>

#include <numeric>

namespace {

using namespace std::chrono_literals;

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
}

} // namespace
