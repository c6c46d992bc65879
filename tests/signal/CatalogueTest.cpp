#include "signal/Catalogue.h"

#include <gtest/gtest.h>

namespace {

void expectEntry(const SignalEntry& entry, int slot, int size, int kind) {
    EXPECT_EQ(entry.slot, slot);
    EXPECT_EQ(entry.size, size);
    EXPECT_EQ(entry.kind, kind);
}

} // namespace

TEST(CatalogueTest, GivesOutSlotsConsecutivelyInInputOrder) {
    InputSettings inputs;
    resizeInputs(inputs, 2, 1, 1, 1);
    inputs.ssiInputs[0].numWords = 3; // the unused words keep their slots
    const Catalogue catalogue = buildCatalogue(inputs);
    EXPECT_EQ(catalogue.slotCount, 22);
    ASSERT_EQ(catalogue.inputs.size(), 5u);
    expectEntry(catalogue.inputs[1][0], 5, 4, 5);
    expectEntry(catalogue.inputs[1][3], 8, 2, 4);
    expectEntry(catalogue.inputs[1][4], 9, 1, 3);
    expectEntry(catalogue.inputs[2][1], 11, 4, 5);
    expectEntry(catalogue.inputs[2][2], 12, 1, 1);
    expectEntry(catalogue.inputs[2][3], 12, 1, 2);
    expectEntry(catalogue.inputs[2][4], 12, 1, 3);
    ASSERT_EQ(catalogue.inputs[3].size(), 8u);
    expectEntry(catalogue.inputs[3][7], 20, 4, 5);
    expectEntry(catalogue.inputs[4][0], 21, 2, 4);

    EXPECT_EQ(nearestSignal(catalogue, -3, 99)->slot, 4);
    EXPECT_EQ(nearestSignal(catalogue, 99, -1)->slot, 21);
    EXPECT_EQ(nearestSignal(Catalogue{}, 0, 0), nullptr);
}

TEST(CatalogueTest, Scales) {
    EXPECT_FLOAT_EQ(positionScale(1024), 1.0f / (1024 * 4096));
    EXPECT_FLOAT_EQ(velocityScale(64000000, 1024), float(4 * 976.5625 / 1073741824));
    // 48 MHz divides by 2^16, not 2^17: 48e6 / 2^15 = 1464.84375 Hz.
    EXPECT_FLOAT_EQ(velocityScale(48000000, 1024), float(4 * 1464.84375 / 1073741824));
    EXPECT_EQ(positionScale(0.0), 0.0f); // instead of an infinite scale

    SSIInputWordDetails word;
    word.scaleFactor = 2.0;
    word.numBits = 16;
    word.numBitsSingleTurn = 13;
    EXPECT_FLOAT_EQ(ssiWordScale(word), 2.0f / 8192);
    word.type = SSIInputWordDetails::Velocity;
    EXPECT_FLOAT_EQ(ssiWordScale(word), 2.0f / 65536);
    word.sign = true;
    EXPECT_FLOAT_EQ(ssiWordScale(word), 2.0f / 32768);
    word.type = 9;
    EXPECT_FLOAT_EQ(ssiWordScale(word), 2.0f);
}
