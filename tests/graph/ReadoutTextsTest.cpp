#include "graph/ReadoutTexts.h"

#include <gtest/gtest.h>

#include <clocale>

namespace {

TEST(ReadoutTexts, OnlyTheExactCaptionsFeedTheReadout) {
    EXPECT_EQ(readoutFieldFor("x"), ReadoutField::Position);
    EXPECT_EQ(readoutFieldFor("v"), ReadoutField::Speed);
    EXPECT_EQ(readoutFieldFor("X"), ReadoutField::None);
    EXPECT_EQ(readoutFieldFor("x "), ReadoutField::None);
    EXPECT_EQ(readoutFieldFor(""), ReadoutField::None);
}

TEST(ReadoutTexts, NumbersAlwaysUseADecimalPoint) {
    const std::string before = std::setlocale(LC_NUMERIC, nullptr);
    for (const char* locale : {"C", "de_DE.UTF-8"}) {
        if (!std::setlocale(LC_NUMERIC, locale))
            continue;
        EXPECT_EQ(positionReadout(-0.25), "-0.25000") << locale;
        EXPECT_EQ(speedReadout(12.5), "+12.5000 rpm") << locale;
        EXPECT_EQ(speedReadout(-3.0), "-3.0000 rpm") << locale;
    }
    std::setlocale(LC_NUMERIC, before.c_str());
}

} // namespace
