#include "device/ConfigurationCommands.h"
#include "config/ConfigFile.h"

#include <gtest/gtest.h>

namespace {

TEST(ConfigurationCommands, FrequencyValueIsThePhaseIncrementOfTheBoxClock) {
    EXPECT_EQ(frequencyCommandValue(500000, 64000000), -2147483648);
    EXPECT_EQ(frequencyCommandValue(10000, 64000000), 42949672);
    EXPECT_EQ(frequencyCommandValue(100, 64000000), 429496);
    EXPECT_EQ(frequencyCommandValue(10000, 0), 0);
}

// Found by fuzzing: a file that breaks after a negative rate leaves that rate in the
// configuration (a failed load keeps what was read), and the start-up then configures the box
// with it. The value follows the same formula instead of shifting a negative number.
TEST(ConfigurationCommands, NegativeRateOfAPartlyReadFileFollowsTheFormula) {
    Config config;
    ASSERT_FALSE(loadConfig(config, std::string(ORVA_TEST_DATA_DIR) +
                                        "/fuzz-regressions/config-negative-rate.cfg"));
    ASSERT_EQ(config.inputSettings.rate, -1);
    const std::vector<ValueCommand> commands = configurationCommands(config.inputSettings);
    ASSERT_GE(commands.size(), 2u);
    // -2^38 / 64000000 = -4294.97, cut toward zero like the positive values.
    EXPECT_EQ(commands[0], (ValueCommand{"OUT:USB:FREQ", -4294}));
    EXPECT_EQ(frequencyCommandValue(-500000, 64000000), -2147483648);
}

TEST(ConfigurationCommands, ThresholdIsOffsetAndLimitedToOneByte) {
    EXPECT_EQ(thresholdCommandValue(0), 128);
    EXPECT_EQ(thresholdCommandValue(432), 228);
    EXPECT_EQ(thresholdCommandValue(-5), 127); // -500 / 432 truncates toward zero
    EXPECT_EQ(thresholdCommandValue(-100000), 0);
    EXPECT_EQ(thresholdCommandValue(100000), 255);
    EXPECT_EQ(thresholdCommandValue(2147483647), 255);
}

TEST(ConfigurationCommands, EveryInputKindInOrderWithNumberingAcrossKinds) {
    InputSettings inputs;
    inputs.rate = 500000;
    inputs.sineInputs.resize(1);
    inputs.sineInputs[0].threshold = 0;
    inputs.sineInputs[0].filter = 1024; // nearest setting: 777 Hz, index 2
    inputs.squareInputs.resize(1);
    inputs.squareInputs[0].filter = 194;
    inputs.ssiInputs.resize(1);
    SSIInput& ssi = inputs.ssiInputs[0];
    ssi.numWords = 2;
    ssi.gray = true;
    ssi.words[0].numBits = 25;
    ssi.words[0].man_zero = true;
    ssi.words[1].numBits = 16;
    ssi.words[1].sign = true;
    ssi.words[7].sign = true;
    inputs.analogInputs.resize(1);

    const std::vector<ValueCommand> expected = {
        {"OUT:USB:FREQ", -2147483648},
        {"OUT:USB:FREQ", -2147483648},
        {"IN:1:THRESHOLD", 128},
        {"IN:1:FILTER", 2},
        {"IN:1:FILTERA", 7},
        {"IN:1:FILTERB", 7},
        {"IN:2:FILTER", 0},
        {"IN:3:FREQUENCY", 200},
        {"IN:3:MONOFLOP", 30},
        {"IN:3:CABLELENGTH", 0},
        {"IN:3:WORDS", 2},
        {"IN:3:WORD0BITS", 25},
        {"IN:3:WORD1BITS", 16},
        {"IN:3:WORD2BITS", 0},
        {"IN:3:WORD3BITS", 0},
        {"IN:3:WORD4BITS", 0},
        {"IN:3:WORD5BITS", 0},
        {"IN:3:WORD6BITS", 0},
        {"IN:3:WORD7BITS", 0},
        {"IN:3:GRAY", 1},
        {"IN:3:SIGN", 0x82},
        {"IN:3:ZEROWORDS", 0x01},
        {"IN:4:FILTER", 2}, // analog default 1024 Hz
        {"TRIGGER:RUN ", 0},
    };
    EXPECT_EQ(configurationCommands(inputs), expected);
}

TEST(ConfigurationCommands, SelectionCommandsNumberInputsFromOne) {
    const std::vector<ValueCommand> expected = {{"IN:1:SELECT", 3}, {"IN:2:SELECT", 0}};
    EXPECT_EQ(selectionCommands({3, 0}), expected);
    EXPECT_TRUE(selectionCommands({}).empty());
}

} // namespace
