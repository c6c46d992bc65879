#include "diagnostics/PositionDrift.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

// Two encoders on one shaft, turns; the second slips back by 0.002 turn at sample 600. NaN
// pairs have no value; the last pair with values is 998.
TEST(PositionDrift, FollowsAnInjectedSlip) {
    const double none = std::numeric_limits<double>::quiet_NaN();
    std::vector<double> first;
    std::vector<double> second;
    for (int i = 0; i < 1000; ++i) {
        first.push_back(0.001 * i);
        second.push_back(0.001 * i - (i >= 600 ? 0.002 : 0.0));
    }
    second[300] = none;
    first[999] = none;
    second[998] = 0.001 * 998 + 0.0005;
    const PositionDrift d = positionDrift(first.data(), second.data(), first.size());
    EXPECT_EQ(d.samples, 998u);
    EXPECT_NEAR(d.minimum, -0.0005, 1e-12);
    EXPECT_NEAR(d.maximum, 0.002, 1e-12);
    EXPECT_NEAR(d.last, -0.0005, 1e-12);
}

TEST(PositionDrift, NoPairWithValuesGivesNaN) {
    const double none = std::numeric_limits<double>::quiet_NaN();
    const std::vector<double> first{1.0, none};
    const std::vector<double> second{none, 2.0};
    const PositionDrift d = positionDrift(first.data(), second.data(), first.size());
    EXPECT_EQ(d.samples, 0u);
    EXPECT_TRUE(std::isnan(d.minimum) && std::isnan(d.maximum) && std::isnan(d.last));
}
