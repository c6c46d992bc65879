#include "fft/FftRegions.h"

#include "config/Config.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

constexpr double notANumber = std::numeric_limits<double>::quiet_NaN();
constexpr double infinity = std::numeric_limits<double>::infinity();

// Transform length 8 at 8 Hz: bin j is j Hz, bins 0 ... 4 (4 Hz is the Nyquist frequency).
std::vector<int> check(const std::vector<double>& spectrum, const KLib::Array<FFTRegion>& regions,
                       std::vector<int> pass = {}) {
    checkRegions(spectrum.data(), spectrum.size(), 8, 8.0, regions, pass);
    return pass;
}

KLib::Array<FFTRegion> regions(std::initializer_list<FFTRegion> list) {
    KLib::Array<FFTRegion> array;
    array.assign(list.begin(), list.end());
    return array;
}

} // namespace

TEST(FftRegions, BandCoversBinsFromLowUpToBeforeHigh) {
    const std::vector<double> spectrum{0.0, 1.0, 5.0, 1.0, 0.0};
    EXPECT_EQ(check(spectrum, regions({{2.0, 2.0, 4.0},     // bins 1, 2: 5 > 4
                                       {2.0, 2.0, 5.0},     // 5 is not above 5
                                       {3.5, 1.0, 0.5},     // bin 3 only: 1 > 0.5
                                       {1.5, 1.0, 0.5},     // bin 1 only, not bin 2
                                       {0.0, 2.0, -1.0}})), // bins -1, 0: only bin 0 examined
              (std::vector<int>{0, 1, 0, 0, 0}));
    EXPECT_EQ(check({0.0, 0.0, 0.0, 0.0, 1.0}, regions({{4.0, 4.0, 0.5}})), // bins 2 ... 4
              std::vector<int>{0});
}

TEST(FftRegions, BandsAboveNyquistAndNotANumberPass) {
    const std::vector<double> spectrum{0.0, 1.0, notANumber, -infinity, 0.0};
    EXPECT_EQ(check(spectrum, regions({{10.0, 2.0, -100.0},          // bins 9, 10 > 4 Hz
                                       {1e300, 1e300, -1.0},         // far beyond the int range
                                       {2.0, 0.0, 0.0},              // empty band
                                       {2.5, 1.0, 0.0},              // bin 2 is not a number
                                       {3.5, 1.0, -100.0},           // bin 3 is minus infinity
                                       {1.0, 2.0, notANumber},       // limit not a number
                                       {notANumber, 2.0, -100.0}})), // band not a number
              (std::vector<int>{1, 1, 1, 1, 1, 1, 1}));
}

TEST(FftRegions, FailedRegionStaysFailedForLaterChannels) {
    EXPECT_EQ(check({0.0, 0.0, 0.0, 0.0, 0.0}, regions({{2.0, 2.0, 1.0}, {2.0, 2.0, 1.0}}), {0, 1}),
              (std::vector<int>{0, 1}));
}
