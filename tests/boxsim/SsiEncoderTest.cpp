#include "BoxTestSupport.h"

#include "boxsim/SsiEncoder.h"

#include <gtest/gtest.h>

using namespace boxsim;
using Words = std::array<int32_t, 8>;

namespace {

SsiWordSettings words(std::initializer_list<int> bits, uint32_t signMask = 0, bool gray = false) {
    SsiWordSettings settings;
    settings.words = static_cast<int>(bits.size());
    std::copy(bits.begin(), bits.end(), settings.bits.begin());
    settings.signMask = signMask;
    settings.gray = gray;
    return settings;
}

} // namespace

TEST(SsiEncoderTest, BitsAreSentMostSignificantFirstAndReadZeroAfterTheEnd) {
    SsiBits bits;
    bits.append(0b101, 3);
    bits.append(0xFFFFFFFF, 32);
    bits.append(0, 1);
    EXPECT_EQ(bits.size(), 36);
    EXPECT_EQ(bits.read(0, 4), 0b1011u);
    EXPECT_EQ(bits.read(3, 32), 0xFFFFFFFFu);
    EXPECT_EQ(bits.read(34, 4), 0b1000u); // last data bit, then the idle line
    EXPECT_EQ(bits.read(200, 32), 0u);
}

TEST(SsiEncoderTest, DefaultEncoderSendsMultiTurnPositionThenVelocity) {
    const SsiLayout layout; // 12 + 13 bit position, 16-bit velocity with 2^15 = 100 turns/s
    const SsiBits bits = encodeSsi(layout, {3.5, -50.0});
    EXPECT_EQ(bits.size(), 41);
    EXPECT_EQ(bits.read(0, 12), 3u);       // whole turns
    EXPECT_EQ(bits.read(12, 13), 4096u);   // half a turn
    EXPECT_EQ(bits.read(25, 16), 0xC000u); // -16384
    // Box cuts it as 25 + 16 bits, the second word signed.
    EXPECT_EQ(sliceSsiWords(bits, words({25, 16}, 2)), (Words{3 * 8192 + 4096, -16384}));
    // ... or as multi-turn and single-turn words, unsigned velocity.
    EXPECT_EQ(sliceSsiWords(bits, words({12, 13, 16})), (Words{3, 4096, 49152}));
    // Velocity beyond full scale saturates instead of wrapping.
    EXPECT_EQ(encodeSsi(layout, {0.0, 250.0}).read(25, 16), 0x7FFFu);
    // Position wraps within its 25 bits: -0.5 turns is the top half of the last turn.
    EXPECT_EQ(encodeSsi(layout, {-0.5, 0.0}).read(0, 25), (1u << 25) - 4096u);
}

TEST(SsiEncoderTest, WordsBeyondTheWordCountOrWithoutBitsReadZero) {
    const SsiBits bits = encodeSsi(SsiLayout(), {1.0, 10.0});
    SsiWordSettings settings = words({25, 16});
    settings.bits[2] = 8;
    EXPECT_EQ(sliceSsiWords(bits, settings)[2], 0);
    settings.words = 1;
    EXPECT_EQ(sliceSsiWords(bits, settings), (Words{8192}));
    // A word of 0 bits takes nothing from the stream: the next word starts where it would.
    EXPECT_EQ(sliceSsiWords(bits, words({0, 25})), (Words{0, 8192}));
    // Asking for more bits than the encoder sends reads the idle line after its 41 bits.
    // Velocity 10 turns/s is 3277 counts.
    EXPECT_EQ(sliceSsiWords(bits, words({32, 32})),
              (Words{(8192 << 7) | (3277 >> 9), (3277 & 0x1FF) << 23}));
}

TEST(SsiEncoderTest, GrayCodeIsDecodedOnlyWhenTheBoxIsToldSo) {
    SsiLayout layout;
    layout.gray = true;
    const ShaftState state{2.25, 5.0};
    const SsiBits plain = encodeSsi(SsiLayout(), state);
    const SsiBits gray = encodeSsi(layout, state);
    const Words decoded = sliceSsiWords(gray, words({25, 16}, 2, true));
    EXPECT_EQ(decoded, sliceSsiWords(plain, words({25, 16}, 2)));
    EXPECT_EQ(decoded[0], 2 * 8192 + 2048);
    const Words raw = sliceSsiWords(gray, words({25, 16}, 2, false));
    EXPECT_EQ(raw[0], int32_t(grayEncode(2 * 8192 + 2048)));
    for (uint32_t value : {0u, 1u, 2u, 0x1234567u, 0xFFFFFFFFu}) {
        EXPECT_EQ(grayDecode(grayEncode(value)), value);
    }
    EXPECT_EQ(grayEncode(2), 3u); // neighbours differ in one bit: 1 -> 01, 2 -> 11
}

TEST(SsiEncoderTest, ZeroOffsetsWrapWithinTheWord) {
    EXPECT_EQ(offsetSsiWord(100, 300, 25, false), (1 << 25) - 200);
    EXPECT_EQ(offsetSsiWord(100, 300, 25, true), -200);
    EXPECT_EQ(offsetSsiWord(-5, -5, 16, true), 0);
    EXPECT_EQ(offsetSsiWord(7, 0, 0, false), 0);
    EXPECT_EQ(offsetSsiWord(INT32_MIN, 1, 32, true), INT32_MAX);
}

TEST(SsiEncoderTest, LayoutTextsAreChecked) {
    const auto fields = parseSsiFields("pos:0:16,vel:12:50,raw:3:5");
    ASSERT_TRUE(fields);
    ASSERT_EQ(fields->size(), 3u);
    EXPECT_EQ((*fields)[0].bits, 16);
    EXPECT_EQ((*fields)[1].fullScale, 50.0);
    EXPECT_EQ((*fields)[2].value, 5u);
    SsiLayout layout;
    layout.fields = *fields;
    const SsiBits bits = encodeSsi(layout, {0.25, 25.0});
    EXPECT_EQ(sliceSsiWords(bits, words({16, 12, 3}, 2)), (Words{16384, 1024, 5}));

    for (const char* bad : {"", "pos:20:13", "pos:1:0", "vel:1:100", "vel:16:0", "raw:3:8",
                            "raw:33:0", "pos:12:13,", "speed:16:100",
                            "raw:32:0,raw:32:0,raw:32:0,raw:32:0,raw:32:0,raw:32:0,raw:32:0,"
                            "raw:32:0,raw:1:0"}) {
        EXPECT_FALSE(parseSsiFields(bad)) << bad;
    }
}
