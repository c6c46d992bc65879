#include "KLib/Data/MatlabWriter.h"

#include "MatlabTestFiles.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>

using KLib::MatlabWriter;
using namespace MatlabTest;

namespace {

const char* const HeaderText = "MATLAB 5.0 MAT-file, Created by ORVA 2 USB";

// End of the little-endian element at `at`; for a structure, walks its fields and returns 0 unless
// the last one ends exactly where the structure's byte count says.
std::size_t elementEnd(const Bytes& bytes, std::size_t at) {
    const std::size_t end = at + 8 + le32(bytes, at + 4);
    if (end > bytes.size() || bytes[at + 16] != 2)
        return end <= bytes.size() ? end : 0;
    const std::size_t name = at + 40;
    std::size_t field = name + 8 + (le32(bytes, name + 4) + 7) / 8 * 8 + 16;
    const std::size_t fields = le32(bytes, field - 4) / le32(bytes, field - 12);
    field += le32(bytes, field - 4);
    for (std::size_t i = 0; i < fields && field != 0; ++i)
        field = elementEnd(bytes, field);
    return field == end ? end : 0;
}

} // namespace

TEST(MatlabWriter, HeaderHoldsTextVersionAndEndianIndicator) {
    TempDir dir;
    writeBytes(dir.file("h.mat"), Bytes(1000, 0xEE)); // an older, longer file is truncated
    MatlabWriter writer(dir.file("h.mat"));
    ASSERT_TRUE(writer.isOpen());
    ASSERT_TRUE(writer.writeHeader(HeaderText));
    ASSERT_TRUE(writer.close());
    const Bytes expected = Builder().header(HeaderText).bytes;
    EXPECT_EQ(readBytes(dir.file("h.mat")), expected);
    EXPECT_EQ(expected[124], 0x00);
    EXPECT_EQ(expected[126], 'I');

    MatlabWriter longText(dir.file("l.mat"));
    ASSERT_TRUE(longText.writeHeader(std::string(200, 'x')) && longText.close());
    const Bytes bytes = readBytes(dir.file("l.mat"));
    ASSERT_EQ(bytes.size(), 128u);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 116), std::string(115, 'x') + '\0');
}

TEST(MatlabWriter, StringAndMatrixElementsHaveExactBytes) {
    TempDir dir;
    MatlabWriter writer(dir.file("e.mat"));
    const double values[] = {1.0, -2.5};
    ASSERT_TRUE(writer.writeString("unit", "m\xB0") && writer.writeMatrix("x", values, 2, 1));
    ASSERT_TRUE(writer.close());
    // clang-format off
    const Bytes expected = {
        14, 0, 0, 0, 64, 0, 0, 0,                         // element tag: matrix, 64 bytes
        6, 0, 0, 0, 8, 0, 0, 0, 4, 0, 0, 0, 0, 0, 0, 0,   // flags: class 4 (char)
        5, 0, 0, 0, 8, 0, 0, 0, 1, 0, 0, 0, 2, 0, 0, 0,   // dimensions 1 x 2
        1, 0, 0, 0, 4, 0, 0, 0, 'u', 'n', 'i', 't', 0, 0, 0, 0,  // name, padded
        4, 0, 0, 0, 4, 0, 0, 0, 'm', 0, 0xB0, 0, 0, 0, 0, 0,     // 16-bit characters, padded
        14, 0, 0, 0, 72, 0, 0, 0,                         // element tag: matrix, 72 bytes
        6, 0, 0, 0, 8, 0, 0, 0, 6, 0, 0, 0, 0, 0, 0, 0,   // flags: class 6 (double)
        5, 0, 0, 0, 8, 0, 0, 0, 2, 0, 0, 0, 1, 0, 0, 0,   // dimensions 2 x 1
        1, 0, 0, 0, 1, 0, 0, 0, 'x', 0, 0, 0, 0, 0, 0, 0, // name, padded
        9, 0, 0, 0, 16, 0, 0, 0,                          // 16 bytes of doubles
        0, 0, 0, 0, 0, 0, 0xF0, 0x3F, 0, 0, 0, 0, 0, 0, 0x04, 0xC0}; // 1.0, -2.5
    // clang-format on
    EXPECT_EQ(readBytes(dir.file("e.mat")), expected);
}

TEST(MatlabWriter, StructureStoresCutFieldNamesInItsTable) {
    TempDir dir;
    MatlabWriter writer(dir.file("s.mat"));
    const double half = 0.5;
    ASSERT_TRUE(writer.beginStruct("s", 2));
    ASSERT_TRUE(writer.writeString("abcdefghijklmnopqrstuvwxyz0123456789", "x"));
    ASSERT_TRUE(writer.writeMatrix("v", &half, 1, 1));
    ASSERT_TRUE(writer.endStruct() && writer.close());

    Builder expected;
    expected.array(256, 2, {1, 1}, "s").u32(0x00040005).u32(32).tag(1, 64);
    expected.text("abcdefghijklmnopqrstuvwxyz01234").zeros(1).text("v").zeros(31);
    expected.array(56, 4, {1, 1}, "").tag(4, 2).text("x").zeros(7);
    expected.array(56, 6, {1, 1}, "").tag(9, 8).f64(0.5);
    EXPECT_EQ(readBytes(dir.file("s.mat")), expected.bytes);
}

TEST(MatlabWriter, NestedStructureByteCountsSpanTheirFields) {
    TempDir dir;
    MatlabWriter writer(dir.file("n.mat"));
    const double samples[] = {1, 2, 3};
    ASSERT_TRUE(writer.writeHeader(HeaderText));
    ASSERT_TRUE(writer.beginStruct("graph", 3) && writer.writeString("fft", "true"));
    ASSERT_TRUE(writer.beginStruct("channel name with more than thirty-one chars", 2));
    ASSERT_TRUE(writer.writeMatrix("data", samples, 3, 1) && writer.beginStruct("deeper", 1));
    ASSERT_TRUE(writer.writeString("unit", "V") && writer.endStruct() && writer.endStruct());
    ASSERT_TRUE(writer.beginStruct("empty", 0) && writer.endStruct() && writer.endStruct());
    ASSERT_TRUE(writer.writeMatrix("time", samples, 3, 1) && writer.close());

    const Bytes bytes = readBytes(dir.file("n.mat"));
    const std::size_t graphEnd = elementEnd(bytes, 128);
    ASSERT_NE(graphEnd, 0u);
    EXPECT_EQ(elementEnd(bytes, graphEnd), bytes.size());
}

TEST(MatlabWriter, ByteSwappedModeWritesBigEndian) {
    TempDir dir;
    MatlabWriter writer(dir.file("b.mat"));
    writer.setByteSwap(true);
    const double one = 1.0;
    ASSERT_TRUE(writer.writeHeader("big") && writer.beginStruct("s", 1));
    ASSERT_TRUE(writer.writeMatrix("x", &one, 1, 1) && writer.endStruct() && writer.close());

    Builder expected(true);
    expected.header("big").array(160, 2, {1, 1}, "s").u32(0x00040005).u32(32).tag(1, 32);
    expected.text("x").zeros(31).array(56, 6, {1, 1}, "").tag(9, 8).f64(1.0);
    const Bytes bytes = readBytes(dir.file("b.mat"));
    EXPECT_EQ(bytes, expected.bytes);
    ASSERT_GE(bytes.size(), 132u);
    EXPECT_EQ(Bytes(bytes.begin() + 124, bytes.begin() + 132),
              Bytes({1, 0, 'M', 'I', 0, 0, 0, 14}));
}

TEST(MatlabWriter, RefusesElementsThatDoNotFitTheirTags) {
    TempDir dir;
    MatlabWriter writer(dir.file("r.mat"));
    const double value = 1;
    ASSERT_TRUE(writer.writeHeader("refusals"));
    EXPECT_FALSE(writer.writeMatrix("big", &value, 1u << 20, 1u << 10)); // 8 GiB of values
    EXPECT_FALSE(writer.writeMatrix("tall", &value, 0x80000000u, 1));    // beyond an s32 dimension
    EXPECT_FALSE(writer.writeMatrix("edge", &value, 0x1FFFFFFF, 1)); // data fits, element does not
    EXPECT_FALSE(writer.writeMatrix("null", nullptr, 1, 1));
    EXPECT_FALSE(writer.beginStruct("wide", 1u << 27));
    EXPECT_FALSE(writer.beginStruct("edge", 0xFFFFFFFFu / 32)); // table fits, element does not
    EXPECT_TRUE(writer.writeString("after", "ok"));
    EXPECT_TRUE(writer.close());
    EXPECT_EQ(std::filesystem::file_size(dir.file("r.mat")), 128u + 72u);
}

TEST(MatlabWriter, ReportsFieldCountMisuse) {
    TempDir dir;
    MatlabWriter writer(dir.file("f.mat"));
    EXPECT_FALSE(writer.endStruct());
    ASSERT_TRUE(writer.beginStruct("s", 1) && writer.writeString("a", "x"));
    EXPECT_FALSE(writer.writeString("b", "y")); // no slot left for its name
    EXPECT_TRUE(writer.endStruct());
    ASSERT_TRUE(writer.beginStruct("t", 2) && writer.writeString("a", "x"));
    EXPECT_FALSE(writer.endStruct());
    ASSERT_TRUE(writer.beginStruct("u", 0));
    EXPECT_FALSE(writer.close());
    EXPECT_NE(elementEnd(readBytes(dir.file("f.mat")), 0), 0u);
}

TEST(MatlabWriter, ReportsFilesThatCannotBeWritten) {
    TempDir dir;
    MatlabWriter missing(dir.file("no/such/folder.mat"));
    EXPECT_FALSE(missing.isOpen());
    EXPECT_FALSE(missing.writeHeader(HeaderText));
    EXPECT_FALSE(missing.close());

    if (!std::filesystem::exists("/dev/full"))
        GTEST_SKIP() << "no /dev/full to simulate a full disk";
    MatlabWriter small("/dev/full");
    ASSERT_TRUE(small.isOpen());
    small.writeHeader(HeaderText); // may still sit in the buffer
    EXPECT_FALSE(small.close());

    MatlabWriter large("/dev/full");
    const std::vector<double> values(1 << 16);
    EXPECT_FALSE(large.writeMatrix("data", values.data(), values.size(), 1));
    EXPECT_FALSE(large.writeString("unit", "V"));
    EXPECT_FALSE(large.close());
}
