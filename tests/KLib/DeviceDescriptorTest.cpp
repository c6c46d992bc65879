#include "KLib/IO/USB/Device.h"

#include <gtest/gtest.h>

using namespace KLib::USB;

namespace {

TEST(DeviceDescriptor, UnpacksLittleEndianFieldsOfExactlyEighteenBytes) {
    const std::vector<std::uint8_t> bytes = {18,   1,    0x10, 0x02, 0xFF, 1, 2, 64, 0xB4,
                                             0x04, 0xF1, 0x00, 0x03, 0x01, 1, 2, 3,  1};
    DeviceDescriptor d;
    ASSERT_TRUE(unpackDeviceDescriptor(bytes, d));
    EXPECT_EQ(d.bcdUSB, 0x0210);
    EXPECT_EQ(d.bDeviceClass, 0xFF);
    EXPECT_EQ(d.idVendor, 0x04B4);
    EXPECT_EQ(d.idProduct, 0x00F1);
    EXPECT_EQ(d.bcdDevice, 0x0103);
    EXPECT_EQ(d.iProduct, 2);
    EXPECT_EQ(d.iSerialNumber, 3);
    EXPECT_FALSE(unpackDeviceDescriptor(std::vector<std::uint8_t>(17), d));
    EXPECT_FALSE(unpackDeviceDescriptor(std::vector<std::uint8_t>(19), d));
}

TEST(DeviceDescriptor, StringTextIsTheLowByteOfEachUnitWithinBothLengths) {
    EXPECT_EQ(textOfStringDescriptor({8, 3, 'O', 0, 'R', 0, 'V', 0}), "ORV");
    // The descriptor's own length limits the text even when more bytes came.
    EXPECT_EQ(textOfStringDescriptor({6, 3, 'O', 0, 'R', 0, 'V', 0}), "OR");
    // Fewer bytes than the length byte claims: only what arrived.
    EXPECT_EQ(textOfStringDescriptor({20, 3, 'A', 0, 'B'}), "A");
    // An odd length drops the half character.
    EXPECT_EQ(textOfStringDescriptor({5, 3, 0xB0, 0, 'x'}), "\xB0");
    EXPECT_EQ(textOfStringDescriptor({2, 3}), "");
    EXPECT_EQ(textOfStringDescriptor({1}), "");
    EXPECT_EQ(textOfStringDescriptor({}), "");
}

} // namespace
