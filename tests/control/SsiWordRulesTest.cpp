#include "control/SettingsValues.h"

#include <gtest/gtest.h>

namespace {

// The values of one SSI input with `words` words in use, after the first showing applied the
// rules.
class SsiWordRulesTest : public ::testing::Test {
protected:
    void SetUp() override { start(1); }

    void start(int words) {
        InputSettings inputs;
        resizeInputs(inputs, 0, 0, 1, 0);
        inputs.ssiInputs[0].numWords = words;
        values_.loadFromConfig(inputs);
        values_.applyPendingWordRules();
    }
    SsiPage& page() { return values_.ssi.at(0); }
    SsiWordRow& row(int r) { return page().rows.at(static_cast<std::size_t>(r)); }

    // A position word of `total` bits, all of them single-turn.
    void positionWord(int total) {
        row(0).bitsTotal = total;
        values_.updateWordRows(false, false);
    }

    SettingsValues values_{InputSettings{}};
};

TEST_F(SsiWordRulesTest, RowsTakenIntoUseStartAsOneBitPositionsAndLeaveCleared) {
    page().numWords = 2; // "3"
    values_.updateWordRows(false, false);
    for (int r : {1, 2}) {
        EXPECT_EQ(row(r).bitsTotal, 1);
        EXPECT_EQ(row(r).type, SSIInputWordDetails::Position);
        EXPECT_EQ(row(r).bitsSingle, 1);
        EXPECT_EQ(row(r).bitsMulti, 0);
        EXPECT_EQ(row(r).scale, "1.000000000000");
        EXPECT_TRUE(row(r).totalControl.enabled);
        EXPECT_TRUE(row(r).scaleControl.enabled);
        EXPECT_FALSE(row(r).signControl.enabled); // a single bit is never signed
    }
    EXPECT_FALSE(row(3).totalControl.enabled);

    row(1).mzero = true;
    page().numWords = 0;
    values_.updateWordRows(false, false);
    for (int r : {1, 2}) {
        EXPECT_EQ(row(r).bitsTotal, 0);
        EXPECT_EQ(row(r).scale, "");
        EXPECT_FALSE(row(r).mzero);
        for (const ControlState* control :
             {&row(r).totalControl, &row(r).signControl, &row(r).typeControl, &row(r).singleControl,
              &row(r).multiControl, &row(r).scaleControl, &row(r).mzeroControl})
            EXPECT_FALSE(control->enabled);
        EXPECT_EQ(row(r).totalControl.max, 0);
    }
}

TEST_F(SsiWordRulesTest, SingleAndMultiTurnBitsShareThePositionWord) {
    positionWord(25);
    EXPECT_EQ(row(0).bitsSingle, 25);
    EXPECT_TRUE(row(0).signControl.enabled);

    row(0).bitsSingle = 13;
    values_.updateWordRows(true, false);
    EXPECT_EQ(row(0).bitsMulti, 12);
    EXPECT_EQ(row(0).bitsSingle, 13);
    EXPECT_FALSE(row(0).signControl.enabled);
    EXPECT_EQ(row(0).multiControl.max, 24);

    row(0).bitsMulti = 0;
    values_.updateWordRows(false, true);
    EXPECT_EQ(row(0).bitsSingle, 25);
    EXPECT_TRUE(row(0).signControl.enabled);

    row(0).sign = true;
    values_.updateWordRows(false, false);
    EXPECT_FALSE(row(0).multiControl.enabled);
    EXPECT_EQ(row(0).bitsSingle, 25);
    EXPECT_TRUE(row(0).sign);

    // Fewer bits in total than single and multi-turn bits together: multi-turn gives way.
    row(0).sign = false;
    row(0).bitsSingle = 10;
    row(0).bitsMulti = 15;
    row(0).bitsTotal = 20;
    values_.updateWordRows(false, false);
    EXPECT_EQ(row(0).bitsMulti, 10);
    EXPECT_EQ(row(0).bitsSingle, 10);
}

TEST_F(SsiWordRulesTest, VelocityAndRawWordsHaveNoTurnBits) {
    positionWord(16);
    row(0).mzero = true;
    row(0).type = SSIInputWordDetails::Velocity;
    values_.updateWordRows(false, false);
    EXPECT_FALSE(row(0).mzero);
    EXPECT_FALSE(row(0).mzeroControl.enabled);
    EXPECT_EQ(row(0).bitsSingle, 0);
    EXPECT_FALSE(row(0).singleControl.enabled);
    EXPECT_EQ(row(0).bitsMulti, 0);
    EXPECT_FALSE(row(0).multiControl.enabled);
    EXPECT_TRUE(row(0).signControl.enabled);

    row(0).type = SSIInputWordDetails::Raw;
    values_.updateWordRows(false, false);
    EXPECT_TRUE(row(0).mzeroControl.enabled);
    EXPECT_FALSE(row(0).singleControl.enabled);

    // Back to a position: the single-turn bits fill the word again.
    row(0).type = SSIInputWordDetails::Position;
    values_.updateWordRows(false, false);
    EXPECT_TRUE(row(0).singleControl.enabled);
    EXPECT_EQ(row(0).bitsSingle, 16);
}

TEST_F(SsiWordRulesTest, AOneBitWordCannotBeSigned) {
    for (int type : {0, 1, 2}) {
        row(0).type = type;
        row(0).sign = true;
        values_.updateWordRows(false, false);
        EXPECT_FALSE(row(0).sign) << type;
        EXPECT_FALSE(row(0).signControl.enabled) << type;
    }
}

TEST_F(SsiWordRulesTest, NoWordCountDisablesEveryRowAndStoresNoWords) {
    start(0);
    EXPECT_EQ(page().numWords, -1);
    for (const SsiWordRow& r : page().rows)
        EXPECT_FALSE(r.totalControl.enabled);
    InputSettings inputs;
    resizeInputs(inputs, 0, 0, 1, 0);
    inputs.ssiInputs[0].numWords = 3;
    values_.storeToConfig(inputs);
    EXPECT_EQ(inputs.ssiInputs[0].numWords, 0);
}

} // namespace
