#include "signal/Units.h"

#include <gtest/gtest.h>

TEST(UnitsTest, UnitAndOperationTables) {
    EXPECT_EQ(unitName(3), "\xB0");
    EXPECT_EQ(unitName(10), "\"/s");
    EXPECT_EQ(unitName(24), "");
    EXPECT_EQ(unitFactor(2), 6.2831854f);
    EXPECT_EQ(unitFactor(4), 1296000.0f);
    EXPECT_EQ(unitFactor(22), 60.0f);
    EXPECT_EQ(unitFactor(-5), 1.0f);
    EXPECT_EQ(unitIndex(""), 0);
    EXPECT_EQ(unitIndex("\xB0/ss"), 19);
    EXPECT_EQ(unitIndex("km"), -1);

    EXPECT_EQ(operationName(3), "differentiate");
    EXPECT_EQ(operationName(4), "");
    EXPECT_EQ(operationIndex("add"), 1);
    EXPECT_EQ(operationIndex("multiply"), -1);
}
