#include "signal/Filters.h"

#include <gtest/gtest.h>

using Texts = std::vector<std::string>;

TEST(FiltersTest, FrequenciesOfTheEightSettings) {
    EXPECT_EQ(filterFrequencies(64000000),
              (Texts{"194", "389", "777", "1554", "3108", "6217", "12434", "24868"}));
    EXPECT_EQ(filterFrequencies(48000000),
              (Texts{"291", "583", "1166", "2331", "4663", "9325", "18651", "37302"}));
    EXPECT_EQ(filterFrequency(64000000, 8), 24868);
    EXPECT_EQ(filterFrequency(-64000000, 7), 0);
}

TEST(FiltersTest, IndexOfTheNearestFrequency) {
    EXPECT_EQ(filterIndex(64000000, 1024), 2);
    EXPECT_EQ(filterIndex(64000000, 24868), 7);
    EXPECT_EQ(filterIndex(64000000, 1200), 3);
    EXPECT_EQ(filterIndex(64000000, -2000000000), 0);
    // 583 Hz lies 194 Hz from both 389 and 777 Hz: the lower setting wins.
    EXPECT_EQ(filterIndex(64000000, 583), 1);
}
