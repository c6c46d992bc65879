#include "signal/AllowedChoices.h"

#include <gtest/gtest.h>

using Indices = std::vector<int>;
using Names = std::vector<std::string>;

namespace {

// Inputs 0, 1 SinCos; 2 HTL/TTL; 3 SSI; 4 Analog.
InputSettings mixedBox() {
    InputSettings inputs;
    resizeInputs(inputs, 2, 1, 1, 1);
    return inputs;
}

} // namespace

TEST(AllowedChoicesTest, UnitsAndOperationsByClass) {
    const InputSettings inputs = mixedBox();
    EXPECT_EQ(allowedUnits(inputs, 2, 0, 3), (Indices{7, 8, 9, 10, 11, 12, 13, 14}));
    EXPECT_EQ(allowedUnits(inputs, 0, 1, 3), (Indices{17, 18, 19, 20, 21, 22, 23}));
    EXPECT_EQ(allowedUnits(inputs, 1, 3, 1), (Indices{15, 16}));
    EXPECT_EQ(allowedUnits(inputs, 4, 0, 3), (Indices{0}));
    EXPECT_EQ(allowedUnits(inputs, 4, 1, 0), (Indices{1})); // beyond the analog signal
    EXPECT_TRUE(allowedUnits(inputs, 5, 0, 0).empty());
    EXPECT_TRUE(allowedUnits(inputs, 0, 0, 4).empty());

    EXPECT_EQ(allowedOperations(inputs, 0, 0), (Indices{0, 1, 2, 3}));
    EXPECT_EQ(allowedOperations(inputs, 2, 3), (Indices{0, 1, 2}));
    EXPECT_EQ(allowedOperations(inputs, 0, 7), (Indices{0}));
    EXPECT_TRUE(allowedOperations(inputs, 5, 0).empty());
}

TEST(AllowedChoicesTest, FillAppendsNamesAndFindsTheCurrentSelection) {
    const InputSettings inputs = mixedBox();
    Names units{"kept"};
    EXPECT_EQ(fillUnitChoice(inputs, 0, 0, 0, 3, units), 2);
    EXPECT_EQ(units, (Names{"kept", "1", "rad", "\xB0", "\"", "m", "mm"}));
    // The zero pulse offers only the plain number and no operation.
    for (int input : {0, 2}) {
        units.clear();
        EXPECT_EQ(fillUnitChoice(inputs, input, 4, 0, 3, units), 0);
        EXPECT_EQ(units, (Names{"1"}));
        Names ops;
        EXPECT_EQ(fillOperationChoice(inputs, input, 4, 3, ops), 0);
        EXPECT_EQ(ops, (Names{"none"}));
    }
}

TEST(AllowedChoicesTest, SsiWordTypeDecidesItsUnits) {
    InputSettings inputs = mixedBox();
    SSIInputWordDetails& word = inputs.ssiInputs[0].words[1];
    EXPECT_EQ(allowedUnits(inputs, 3, 1, 0), (Indices{1, 2, 3, 4, 5, 6}));
    word.type = SSIInputWordDetails::Velocity;
    EXPECT_EQ(allowedUnits(inputs, 3, 1, 0), (Indices{7, 8, 9, 10, 11, 12, 13, 14}));
    word.type = SSIInputWordDetails::Raw;
    EXPECT_EQ(allowedOperations(inputs, 3, 1), (Indices{0, 1, 2}));
    word.type = 5;
    EXPECT_EQ(allowedUnits(inputs, 3, 1, 0), (Indices{1}));
}
