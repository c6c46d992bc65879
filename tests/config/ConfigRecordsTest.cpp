#include "config/Config.h"

#include <gtest/gtest.h>

#include <clocale>

namespace {

TEST(ConfigRecords, DefaultConfigurationHasOneGraphAndNoInputs) {
    Config config;
    addDefaultGraph(config);
    EXPECT_EQ(config.inputSettings.rate, 10000);
    EXPECT_EQ(config.inputSettings.systemFrequency, 64000000);
    EXPECT_EQ(config.intervallGraphDisplayTextValue, 333u);
    EXPECT_TRUE(config.syncXAxis);
    EXPECT_TRUE(config.inputSettings.sineInputs.empty());
    ASSERT_EQ(config.graphList.size(), 1u);
    const GraphData& graph = config.graphList.front();
    EXPECT_EQ(graph.caption, "Position");
    EXPECT_EQ(graph.scale.y, -0.5);
    EXPECT_EQ(graph.fftWindow, "Hanning");
    ASSERT_EQ(graph.channelList.size(), 1u);
    EXPECT_EQ(graph.channelList[0].caption, "Encoder1");
    EXPECT_EQ(graph.channelList[0].input, 0);
    EXPECT_EQ(graph.channelList[0].unit, 1);
    EXPECT_EQ(graph.channelList[0].color, 0x0000FF);
}

TEST(ConfigRecords, DefaultGraphIsAppendedBehindExistingGraphs) {
    Config config;
    addGraph(config).caption = "kept";
    addDefaultGraph(config);
    ASSERT_EQ(config.graphList.size(), 2u);
    EXPECT_EQ(config.graphList.front().caption, "kept");
    EXPECT_EQ(config.graphList.back().caption, "Position");
}

TEST(ConfigRecords, ResizingInputsKeepsTheFrontAndAppendsElementDefaults) {
    InputSettings inputs;
    inputs.sineInputs.push_back(SineInput{500.0, 7, 194, 389, 777});
    inputs.ssiInputs.resize(3);
    inputs.ssiInputs[0].frequency = 1;
    inputs.ssiInputs[2].frequency = 3;
    resizeInputs(inputs, 3, 1, 1, 0);

    ASSERT_EQ(inputs.sineInputs.size(), 3u);
    EXPECT_EQ(inputs.sineInputs[0].periods, 500.0);
    EXPECT_EQ(inputs.sineInputs[0].filterb, 777);
    for (int i : {1, 2}) {
        EXPECT_EQ(inputs.sineInputs[i].periods, 1024.0);
        EXPECT_EQ(inputs.sineInputs[i].threshold, 0);
        EXPECT_EQ(inputs.sineInputs[i].filter, 24868);
        EXPECT_EQ(inputs.sineInputs[i].filtera, 24868);
        EXPECT_EQ(inputs.sineInputs[i].filterb, 24868);
    }
    ASSERT_EQ(inputs.squareInputs.size(), 1u);
    EXPECT_EQ(inputs.squareInputs[0].filter, 0);
    ASSERT_EQ(inputs.ssiInputs.size(), 1u);
    EXPECT_EQ(inputs.ssiInputs[0].frequency, 1);
    resizeInputs(inputs, -1, 0, 0, 0);
    EXPECT_TRUE(inputs.sineInputs.empty());
}

TEST(ConfigRecords, NewSSIInputHasAllEightWordsZero) {
    SSIInput ssi;
    EXPECT_EQ(ssi.frequency, 200);
    EXPECT_EQ(ssi.monoflopTime, 30);
    for (const SSIInputWordDetails& word : ssi.words) {
        EXPECT_EQ(word.numBits, 0);
        EXPECT_FALSE(word.sign);
        EXPECT_EQ(word.scaleFactor, 0.0);
    }
}

TEST(ConfigRecords, TextFieldsReadTheNumberAtTheirStart) {
    EXPECT_EQ(leadingNumber("5"), 5.0);
    EXPECT_EQ(leadingNumber("-2.5 mm"), -2.5);
    EXPECT_EQ(leadingNumber("  1e3"), 1000.0);
    EXPECT_EQ(leadingNumber("abc"), 0.0);
    EXPECT_EQ(leadingNumber(""), 0.0);
}

TEST(ConfigRecords, TextNumbersTakeADecimalCommaLikeAPoint) {
    EXPECT_EQ(leadingNumber("0,5"), 0.5);
    EXPECT_EQ(leadingNumber("-1,25 mm"), -1.25);
}

TEST(ConfigRecords, AWholeNumberIsTheFieldsOnlyContent) {
    EXPECT_EQ(wholeNumber(" 0,25 "), 0.25);
    EXPECT_EQ(wholeNumber("-1e-3"), -0.001);
    EXPECT_EQ(wholeNumber("0.5 V"), std::nullopt);
    EXPECT_EQ(wholeNumber("V"), std::nullopt);
    EXPECT_EQ(wholeNumber(""), std::nullopt);
}

TEST(ConfigRecords, TextNumbersIgnoreADecimalCommaLocale) {
    const char* previous = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = previous ? previous : "C";
    if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8") && !std::setlocale(LC_NUMERIC, "de_DE"))
        GTEST_SKIP() << "no German locale installed";
    const double value = leadingNumber("2.5");
    std::setlocale(LC_NUMERIC, saved.c_str());
    EXPECT_EQ(value, 2.5);
}

} // namespace
