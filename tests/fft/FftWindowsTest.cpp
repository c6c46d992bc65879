#include "fft/FftWindows.h"

#include <gtest/gtest.h>

namespace {

void expectCoefficients(const std::vector<double>& actual, const std::vector<double>& expected) {
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t k = 0; k < expected.size(); ++k)
        EXPECT_NEAR(actual[k], expected[k], 1e-12) << "k = " << k;
}

} // namespace

TEST(FftTransformLength, SmallestPowerOfTwoAtLeastTwo) {
    EXPECT_EQ(fftTransformLength(0), 2);
    EXPECT_EQ(fftTransformLength(1), 2);
    EXPECT_EQ(fftTransformLength(3), 4);
    EXPECT_EQ(fftTransformLength(4), 4);
    EXPECT_EQ(fftTransformLength(5), 8);
    EXPECT_EQ(fftTransformLength(2500), 4096);
}

TEST(FftWindowCoefficients, PeriodicFormsScaledToTransformLength) {
    std::vector<double> w;
    // Hanning, 4 samples: 0, 0.5, 1, 0.5 (sum 2), times 4 / 2.
    fftWindowCoefficients("Hanning", 4, 4, w);
    expectCoefficients(w, {0.0, 1.0, 2.0, 1.0});
    // Triangle, 4 samples, h = 2: 0, 0.5, 1, 0.5 (sum 2), times 8 / 2.
    fftWindowCoefficients("Triangle", 4, 8, w);
    expectCoefficients(w, {0.0, 2.0, 4.0, 2.0});
    // Hamming, 2 samples: 0.07672 and 1.0 (sum 1.07672), times 2 / 1.07672.
    fftWindowCoefficients("Hamming", 2, 2, w);
    expectCoefficients(w, {0.07672 * 2 / 1.07672, 2 / 1.07672});
    // Flat Top, 2 samples: 1 - 1.93 + 1.29 - 0.388 + 0.028 = 0 and 4.636.
    fftWindowCoefficients("Flat Top", 2, 2, w);
    expectCoefficients(w, {0.0, 2.0});
}

TEST(FftWindowCoefficients, UnknownNameIsRectangularAndOneSampleIsTransformLength) {
    std::vector<double> w;
    fftWindowCoefficients("hanning", 4, 8, w); // names are compared exactly
    EXPECT_EQ(w, (std::vector<double>{2.0, 2.0, 2.0, 2.0}));
    for (const char* name : {"Hanning", "Triangle", "Flat Top"}) {
        fftWindowCoefficients(name, 1, 2, w);
        EXPECT_EQ(w, (std::vector<double>{2.0})) << name;
    }
}
