#include "signal/ChannelSelection.h"

#include <gtest/gtest.h>

namespace {

// The usual box: inputs 0 and 1 SinCos (slots 0-4, 5-9), input 2 HTL/TTL (slots 10, 11 and the
// level byte 12), input 3 SSI (slots 13-20), input 4 Analog (slot 21).
struct Box {
    Config config;
    explicit Box(int sine = 2, int square = 1, int ssi = 1, int analog = 1) {
        resizeInputs(config.inputSettings, sine, square, ssi, analog);
        addGraph(config);
    }
    Box& add(int input, int signal, int op = OperationNone, int input2 = 0, int signal2 = 0) {
        ChannelData& channel = addChannel(config.graphList.back());
        channel.input = input;
        channel.channel = signal;
        channel.op = op;
        channel.input2 = input2;
        channel.channel2 = signal2;
        return *this;
    }
    ChannelSelection selection() const { return computeChannelSelection(config); }
};

std::vector<int> usedSlots(const ChannelSelection& selection) {
    std::vector<int> slots;
    for (size_t slot = 0; slot < selection.usedSlots.size(); ++slot)
        if (selection.usedSlots[slot])
            slots.push_back(static_cast<int>(slot));
    return slots;
}

} // namespace

TEST(ChannelSelectionTest, MasksCountSharedSlotsTheWayTheBoxExpects) {
    // HTL/TTL level B marks the shared level byte; its entries test bits 2 (A) and 3 (B, R).
    EXPECT_EQ(Box().add(2, 3).add(0, 4).add(3, 6).selection().selectMasks,
              (std::vector<int>{0x10, 0, 0xC, 0x40, 0}));
    EXPECT_EQ(Box().add(2, 1).add(4, 0).selection().selectMasks,
              (std::vector<int>{0, 0, 0x2, 0, 0x1}));
    // The walk starts at bit 0 for every input.
    EXPECT_EQ(Box(0, 2, 0, 0).add(1, 2).add(0, 0).selection().selectMasks,
              (std::vector<int>{0x1, 0xC}));
}

TEST(ChannelSelectionTest, SourcesOutsideTheCatalogueAreClamped) {
    // To slot 4, slot 21, slot 20, and slot 5 plus a second source on slot 21 again.
    const ChannelSelection selection =
        Box().add(-1, 99).add(99, -5).add(3, 12).add(1, 0, OperationAdd, 7, 1).selection();
    EXPECT_EQ(usedSlots(selection), (std::vector<int>{4, 5, 20, 21}));
    EXPECT_EQ(selection.selectMasks, (std::vector<int>{0x10, 0x1, 0, 0x80, 0x1}));
    const auto& records = selection.graphChannels.at(0);
    EXPECT_EQ(records[1].source.kind, SignalEntry::Int16);
    EXPECT_EQ(records[3].source2.offset, records[1].source.offset);

    const ChannelSelection none = Box(0, 0, 0, 0).add(3, 1, OperationAdd, 1, 1).selection();
    EXPECT_TRUE(none.selectMasks.empty());
    EXPECT_EQ(none.frameSize, frameHeaderSize);
    EXPECT_EQ(none.graphChannels.at(0).at(0).source.kind, 0); // reads as 0
}

TEST(ChannelSelectionTest, FrameLayoutFollowsSlotNumbersNotChannelOrder) {
    Box box;
    box.add(4, 0).add(3, 7); // Analog (slot 21, 2 bytes), SSI word 7 (slot 20, 4 bytes)
    addGraph(box.config);
    // HTL/TTL R and A (slot 12, 1 byte), SinCos 1 analog B (slot 8, 2), SinCos 0 position (0, 4)
    box.add(2, 4).add(2, 2).add(1, 3).add(0, 0);
    const ChannelSelection selection = box.selection();
    EXPECT_EQ(usedSlots(selection), (std::vector<int>{0, 8, 12, 20, 21}));
    EXPECT_EQ(selection.frameSize, 3 + 4 + 2 + 1 + 4 + 2);
    const std::vector<int> offsets{3,  -1, -1, -1, -1, -1, -1, -1, 7,  -1, -1,
                                   -1, 9,  -1, -1, -1, -1, -1, -1, -1, 10, 14};
    EXPECT_EQ(selection.slotOffsets, offsets);

    std::vector<std::pair<int, int>> layout; // offset and kind of every record, graph by graph
    for (const auto& records : selection.graphChannels)
        for (const ChannelRuntime& record : records)
            layout.emplace_back(record.source.offset, record.source.kind);
    EXPECT_EQ(layout,
              (std::vector<std::pair<int, int>>{{14, 4}, {10, 5}, {9, 3}, {9, 1}, {7, 4}, {3, 5}}));
}

TEST(ChannelSelectionTest, OnlyAddAndSubtractReadTheSecondSource) {
    const ChannelSelection selection = Box()
                                           .add(0, 0, OperationNone, 1, 0)          // slot 5
                                           .add(0, 0, OperationDifferentiate, 3, 0) // slot 13
                                           .add(0, 0, OperationAdd, 1, 1)           // slot 6
                                           .add(0, 0, OperationSubtract, 4, 0)      // slot 21
                                           .selection();
    EXPECT_EQ(usedSlots(selection), (std::vector<int>{0, 6, 21}));
    const auto& records = selection.graphChannels.at(0);
    EXPECT_EQ(records[0].source2.kind, 0);
    EXPECT_EQ(records[1].source2.kind, 0);
    EXPECT_EQ(records[2].source2.offset, 7);
    EXPECT_EQ(records[3].source2.offset, 11);
    EXPECT_EQ(records[3].source2.kind, SignalEntry::Int16);
    EXPECT_EQ(records[2].factor2, double(velocityScale(64000000, 1024))); // as computed before
}

TEST(ChannelSelectionTest, OnlySignalFourOfInputTwoIsReadInverted) {
    // HTL/TTL R, HTL/TTL A, SinCos 0 R, second source HTL/TTL R, HTL/TTL signal 9 clamped to R.
    Box box;
    box.add(2, 4).add(2, 2).add(0, 4).add(1, 4, OperationSubtract, 2, 4).add(2, 9);
    auto flags = [](const ChannelSelection& selection) {
        std::vector<bool> inverted;
        for (const ChannelRuntime& record : selection.graphChannels.at(0))
            inverted.push_back(record.source.invertBit);
        inverted.push_back(selection.graphChannels[0][3].source2.invertBit);
        return inverted;
    };
    EXPECT_EQ(flags(box.selection()), (std::vector<bool>{1, 0, 0, 0, 1, 1}));
    // By number, whatever the kind: with three SinCos inputs it is the third one's R; an
    // Analog input 2 has no signal 4.
    resizeInputs(box.config.inputSettings, 3, 0, 0, 0);
    EXPECT_EQ(flags(box.selection()), (std::vector<bool>{1, 0, 0, 0, 1, 1}));
    resizeInputs(box.config.inputSettings, 1, 0, 0, 2);
    EXPECT_EQ(flags(box.selection())[0], false);
}
