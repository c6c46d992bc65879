#include "signal/Inputs.h"

#include <gtest/gtest.h>

using Names = std::vector<std::string>;

TEST(InputsTest, NumbersInputsOverTheFourKindsInOrder) {
    InputSettings inputs;
    resizeInputs(inputs, 2, 1, 1, 1);
    EXPECT_EQ(inputNames(inputs),
              (Names{"Input 1 (SinCos)", "Input 2 (SinCos)", "Input 3 (HTL/TTL)", "Input 4 (SSI)",
                     "Input 5 (Analog)"}));
    EXPECT_EQ(signalNames(inputs, 2),
              (Names{"Encoder Position", "Encoder Velocity", "A", "B", "R"}));
    EXPECT_EQ(signalNames(inputs, 4), (Names{"Analog Value"}));
    for (int outside : {5, -1}) {
        EXPECT_EQ(inputKindName(inputs, outside), "");
        EXPECT_TRUE(signalNames(inputs, outside).empty());
    }
}

TEST(InputsTest, SsiWordsAreNamedByTypeForTheWordsInUse) {
    InputSettings inputs;
    resizeInputs(inputs, 0, 0, 1, 0);
    SSIInput& ssi = inputs.ssiInputs[0];
    ssi.numWords = 5;
    ssi.words[0].numBitsMultiTurn = 12;
    ssi.words[0].numBitsSingleTurn = 13;
    ssi.words[1].numBitsSingleTurn = 25;
    ssi.words[2].type = SSIInputWordDetails::Velocity;
    ssi.words[3].type = SSIInputWordDetails::Raw;
    ssi.words[4].type = 7;
    EXPECT_EQ(signalNames(inputs, 0),
              (Names{"Word 0 (position mt:12 st:13)", "Word 1 (position st:25)",
                     "Word 2 (velocity)", "Word 3 (raw)", "Word 4"}));
    ssi.numWords = 0;
    EXPECT_TRUE(signalNames(inputs, 0).empty());
    ssi.numWords = 20; // from a damaged file: only the eight stored words exist
    EXPECT_EQ(signalNames(inputs, 0).size(), 8u);
}
