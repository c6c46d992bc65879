#include "files/NameReplacement.h"

#include <gtest/gtest.h>

TEST(NameReplacement, EmptyNamesAreNumberedWithOneSharedCounter) {
    int counter = 0;
    std::string graph, first, second = "Speed 2";
    fixGraphName(graph, counter);
    fixChannelName(first, counter);
    fixChannelName(second, counter);
    EXPECT_EQ(graph, "no_caption0");
    EXPECT_EQ(first, "no_caption1");
    EXPECT_EQ(second, "Speed_2");
    EXPECT_EQ(counter, 2);
}

TEST(NameReplacement, GraphNamesKeepTheirSpaces) {
    int counter = 5;
    std::string graph = "Motor speed";
    fixGraphName(graph, counter);
    EXPECT_EQ(graph, "Motor speed");
    EXPECT_EQ(counter, 5);
}

TEST(NameReplacement, EverySpaceOfAChannelNameBecomesAnUnderscore) {
    int counter = 0;
    std::string channel = " a  b ";
    fixChannelName(channel, counter);
    EXPECT_EQ(channel, "_a__b_");
}
