#include "graph/TickScale.h"
#include "graph/NumberText.h"

#include <gtest/gtest.h>

namespace {

std::vector<double> parts(const Ticks& t) {
    return {t.first, t.last, t.step};
}

} // namespace

TEST(TickScaleTest, StepIsTheLargestOneTwoFiveNotAboveTheSpanOfOneGap) {
    // 10 units, one gap may span a tenth of them: 1, a quarter: 2, 0.6: 5.
    EXPECT_EQ(parts(ticks(0.0, 10.0, 0.1)), (std::vector<double>{0.0, 10.0, 1.0}));
    EXPECT_EQ(parts(ticks(0.0, 10.0, 0.25)), (std::vector<double>{0.0, 5.0, 2.0}));
    EXPECT_EQ(parts(ticks(-3.0, 7.0, 0.6)), (std::vector<double>{0.0, 1.0, 5.0}));
    // A falling axis counts with a negative step, from 10 down to 0.
    EXPECT_EQ(parts(ticks(10.0, 0.0, 0.1)), (std::vector<double>{-10.0, 0.0, -1.0}));
    EXPECT_TRUE(ticks(0.0, 10.0, 0.1).drawable());
    EXPECT_FALSE(ticks(0.0, 10.0, 0.0).drawable());      // no plot width
    EXPECT_FALSE(ticks(0.0, 10.0, -0.1).drawable());     // inverted plot area
    EXPECT_FALSE(ticks(0.0, 1.0, 1e-5).drawable());      // 100000 ticks
    EXPECT_FALSE(ticks(0.0, 1.0 / 0.0, 0.1).drawable()); // infinite range
}

TEST(TickScaleTest, LabelsAndValueTexts) {
    EXPECT_EQ(tickLabel(-0.0, 0.1), "0.0");
    EXPECT_EQ(tickLabel(-0.0, 5.0), "0");
    EXPECT_EQ(tickLabel(-1.5, 0.5), "-1.5");
    EXPECT_EQ(tickLabel(0.01, 0.01), "0.01");
    EXPECT_EQ(tickLabel(1500.0, 500.0), "1500");
    // Five decimals below 10, one fewer per further digit.
    EXPECT_EQ(valueText(1.234567), "1.23457");
    EXPECT_EQ(valueText(-12.3), "-12.3000");
    EXPECT_EQ(valueText(1234.567), "1234.57");
    EXPECT_EQ(valueText(-12345.67), "-12345.7");
    EXPECT_EQ(valueText(123456.7), "123457");
}
