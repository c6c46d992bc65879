#include "signal/ChannelComputation.h"

#include <gtest/gtest.h>

using Values = std::vector<double>;

namespace {

Catalogue oneSinCos() {
    InputSettings inputs;
    resizeInputs(inputs, 1, 0, 0, 0);
    return buildCatalogue(inputs);
}

ChannelRuntime recordWith(int op, bool invert, const std::string& offset) {
    ChannelData channel;
    channel.op = op;
    channel.invert = invert;
    channel.offset = offset;
    return makeChannelRuntime(channel, oneSinCos());
}

} // namespace

TEST(ChannelComputationTest, FactorCombinesUnitAndScale) {
    ChannelData channel;
    channel.unit = 3;
    // One full turn at 1024 periods is 1024 * 4096 counts.
    EXPECT_DOUBLE_EQ(makeChannelRuntime(channel, oneSinCos()).factor * 4194304, 360.0);
    channel.input2 = 7; // moved to the only input, whose signal 2 is analog track A
    channel.channel2 = 2;
    channel.unit = 24;
    EXPECT_DOUBLE_EQ(makeChannelRuntime(channel, oneSinCos()).factor2, 0.625 / 32768);
}

TEST(ChannelComputationTest, DifferentiateCarriesTheLastValueAcrossChunks) {
    ChannelRuntime record = recordWith(OperationDifferentiate, false, "0");
    // Positions in 1/min, 0.001 turn (0.06) apart, at 10000 samples per second.
    Values chunk{0.06, 0.12, 0.18};
    EXPECT_EQ(computeChannel(record, chunk, {}, 3, 0, 10000.0), 3);
    for (double value : chunk) // the first value is taken against 0
        EXPECT_NEAR(value, 600.0, 1e-9);
    Values single{0.21};
    EXPECT_EQ(computeChannel(record, single, {}, 1, 0, 10000.0), 1);
    EXPECT_NEAR(single[0], 300.0, 1e-9);
}

TEST(ChannelComputationTest, AddAndSubtractWithSignAndOffset) {
    ChannelRuntime record = recordWith(OperationSubtract, true, "5");
    Values values{1.5, -2.0, 3e6};
    const Values same = values;
    EXPECT_EQ(computeChannel(record, values, same, 3, 3, 10000.0), 3);
    EXPECT_EQ(values, (Values{5.0, 5.0, 5.0}));

    record = recordWith(OperationAdd, true, "nan"); // a non-numeric offset counts as 0
    values = {1.0, 2.0, 3.0};
    EXPECT_EQ(computeChannel(record, values, {10.0, 20.0}, 3, 2, 10000.0), 2);
    EXPECT_EQ(values[0], -11.0);
    EXPECT_EQ(values[1], -22.0);
}

TEST(ChannelComputationTest, CountHandedOnIsLimited) {
    ChannelRuntime record = recordWith(OperationNone, false, "1");
    Values values(40000, 2.0);
    EXPECT_EQ(computeChannel(record, values, {}, 40000, 0, 10000.0), 32767);
    EXPECT_EQ(values[32766], 3.0);
    EXPECT_EQ(values[32767], 2.0);
    Values few{1.0};
    EXPECT_EQ(computeChannel(record, few, {}, 5, 0, 10000.0), 1);
}
