#include "control/ConfigurationCheck.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

Config withRateAndDisplayTime(int rate, float displayTime) {
    Config config;
    config.inputSettings.rate = rate;
    config.inputSettings.displayTime = displayTime;
    return config;
}

TEST(ConfigurationCheckTest, RateAndDisplayTimeAreBroughtIntoTheirLimits) {
    const struct {
        int rate;
        int checkedRate;
    } rates[] = {{50, 100},        {-3, 100},        {100, 100},      {101, 101},
                 {250000, 250000}, {500000, 500000}, {600000, 500000}};
    for (const auto& c : rates) {
        Config config = withRateAndDisplayTime(c.rate, 1.0f);
        checkConfiguration(config);
        EXPECT_EQ(config.inputSettings.rate, c.checkedRate) << c.rate;
    }

    const struct {
        float time;
        float checked;
    } times[] = {{0.0f, 0.01f},          {-1.0f, 0.01f},     {0.01f, 0.01f},
                 {std::nanf(""), 0.01f}, {2.5f, 2.5f},       {999.5f, 999.5f},
                 {1000.0f, 1000.0f},     {5000.0f, 1000.0f}, {INFINITY, 1000.0f}};
    for (const auto& c : times) {
        Config config = withRateAndDisplayTime(10000, c.time);
        checkConfiguration(config);
        EXPECT_EQ(config.inputSettings.displayTime, c.checked) << c.time;
    }
}

TEST(ConfigurationCheckTest, ChannelUnitsFollowTheirSignalAndOperation) {
    Config config;
    resizeInputs(config.inputSettings, 1, 0, 0, 1);
    GraphData& graph = addGraph(config);
    graph.channelList.resize(3);
    ChannelData& differentiated = graph.channelList[0]; // a position in turns ("1")
    differentiated.op = 3;
    ChannelData& speed = graph.channelList[1]; // velocity in rpm stays
    speed.channel = 1;
    speed.unit = 13;
    ChannelData& missing = graph.channelList[2]; // an input the box lacks keeps its unit
    missing.input = 7;
    missing.unit = 20;
    ChannelData& analog = addChannel(addGraph(config)); // a voltage in turns becomes volts
    analog.input = 1;

    checkConfiguration(config);
    EXPECT_EQ(differentiated.unit, 7);
    EXPECT_EQ(speed.unit, 13);
    EXPECT_EQ(analog.unit, 15);
    EXPECT_EQ(missing.unit, 20);
}

} // namespace
