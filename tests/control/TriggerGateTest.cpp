// The trigger gate in front of real graphs: every graph's sweep starts the same history before
// the event, whichever graph triggers, and losses in that history stay marked.

#include "control/TriggerGate.h"
#include "../graph/GraphTestSupport.h"

#include <gtest/gtest.h>

TEST(TriggerGateTest, EveryGraphHasTheEventAtThePreTriggerIndex) {
    GraphFixture ramp(1000, 0.1f); // 100 samples a sweep
    GraphFixture step(1000, 0.1f);
    TriggerCondition condition;
    condition.graph = 1; // the second graph triggers: the first has each chunk already
    condition.level = 2.5;
    condition.preTrigger = 25;
    TriggerGate gate(condition, {ramp.graph.get(), step.graph.get()}, {2, 2});
    const std::vector<SampleTarget*> targets = gate.targets();

    // The step rises at 10 (before a full history: ignored), falls at 15 (the wrong slope)
    // and rises again at 77: the event.
    const auto stepValue = [](int i) { return (i >= 10 && i < 15) || i >= 77 ? 5.0 : 0.0; };
    bool full = false;
    for (int first = 0; !full && first < 600; first += 30) {
        std::vector<double> rampValues(30), stepValues(30);
        for (int i = 0; i < 30; ++i) {
            rampValues[static_cast<size_t>(i)] = first + i;
            stepValues[static_cast<size_t>(i)] = stepValue(first + i);
        }
        if (first == 60)
            targets[0]->framesLost(10, 4, 1); // at sample 70, in the event's history
        for (SampleTarget* target : targets) {
            target->appendSamples(0, target == targets[0] ? rampValues.data() : stepValues.data(),
                                  30);
            target->appendSamples(1, rampValues.data(), 30);
            full = target->advance(30) || full;
        }
        EXPECT_EQ(gate.fired(), first >= 60);
    }
    ASSERT_TRUE(full);
    EXPECT_EQ(gate.firedAt(), 77);
    EXPECT_EQ(ramp.graph->traces()[0].samples[25], 77.0);
    EXPECT_EQ(ramp.graph->traces()[0].samples[0], 52.0);
    EXPECT_EQ(ramp.graph->traces()[0].samples[99], 151.0);
    EXPECT_EQ(step.graph->traces()[0].samples[24], 0.0);
    EXPECT_EQ(step.graph->traces()[0].samples[25], 5.0);
    EXPECT_EQ(step.graph->traces()[1].samples[25], 77.0);
    EXPECT_EQ(ramp.graph->substitutes().countIn(0, 100), 1);
    EXPECT_EQ(ramp.graph->substitutes().countIn(18, 19), 1);
}
