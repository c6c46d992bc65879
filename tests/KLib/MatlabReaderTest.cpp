#include "KLib/Data/MatlabReader.h"
#include "KLib/Data/MatlabWriter.h"

#include "MatlabTextDump.h"

#include <gtest/gtest.h>

#include <set>
#include <sys/resource.h>

using KLib::MatlabReader;
using KLib::MatlabVariable;
using KLib::MatlabWriter;
using namespace MatlabTest;

// "\260" is the byte 0xB0, the Latin-1 degree sign.

namespace {

void writeSample(const std::string& path, bool swap) {
    MatlabWriter writer(path);
    writer.setByteSwap(swap);
    const double matrix[] = {1, 2, 3, 4, 5, 6};
    const double data[] = {0.5, -2.25, 1e300};
    const double time[] = {0, 0.001, 0.002};
    ASSERT_TRUE(writer.writeHeader("sample") && writer.writeString("empty", ""));
    ASSERT_TRUE(writer.writeString("text", "25 \260C") && writer.writeMatrix("m", matrix, 2, 3));
    ASSERT_TRUE(writer.writeMatrix("none", nullptr, 0, 0) && writer.beginStruct("graph", 2));
    ASSERT_TRUE(writer.writeString("fft", "false") && writer.beginStruct("Speed_2", 2));
    ASSERT_TRUE(writer.writeMatrix("data", data, 3, 1) && writer.writeString("unit", "rpm"));
    ASSERT_TRUE(writer.endStruct() && writer.endStruct() && writer.writeMatrix("time", time, 3, 1));
    ASSERT_TRUE(writer.close());
}

const char* const SampleText = "sample\n"
                               "empty 4 1x0 ''\n"
                               "text 4 1x5 '25 \260C'\n"
                               "m 6 2x3 1 2 3 4 5 6\n"
                               "none 6 0x0\n"
                               "graph 2 1x1 {\n"
                               "fft 4 1x5 'false'\n"
                               "Speed_2 2 1x1 {\n"
                               "data 6 3x1 0.5 -2.25 1e+300\n"
                               "unit 4 1x3 'rpm'\n"
                               "}\n"
                               "}\n"
                               "time 6 3x1 0 0.001 0.002\n";

// A little-endian file with a header and one element built by `element`.
template <class Element> std::string readElement(Element element) {
    Builder built;
    built.header("x");
    element(built);
    return readBuilt(built);
}

} // namespace

TEST(MatlabReader, ReadsBackEveryElementFormInBothByteOrders) {
    for (bool swap : {false, true}) {
        TempDir dir;
        writeSample(dir.file("s.mat"), swap);
        EXPECT_EQ(readFile(dir.file("s.mat")), SampleText) << "swap " << swap;
        MatlabReader reader(dir.file("s.mat"));
        std::string header;
        ASSERT_TRUE(reader.readHeader(header));
        EXPECT_EQ(reader.byteSwap(), swap);
    }
}

TEST(MatlabReader, ReadsHandBuiltBigEndianFileWithFieldsInFileOrder) {
    Builder built(true);
    built.header("big endian");
    const std::size_t s = built.bytes.size();
    built.array(0, 2, {1, 1}, "s").u32(0x00040005).u32(8).tag(1, 16);
    built.text("second").zeros(2).text("first").zeros(3);
    const std::size_t second = built.bytes.size();
    built.array(0, 4, {1, 2}, "").tag(4, 4).number('H', 2).number(0x0169, 2).zeros(4);
    const std::size_t first = built.patchCount(second).bytes.size();
    built.array(0, 6, {1, 1}, "").tag(9, 8).f64(-1.5).patchCount(first).patchCount(s);
    const std::size_t v = built.bytes.size();
    built.array(0, 6, {1, 2}, "v").tag(9, 16).f64(0.25).f64(4).patchCount(v);
    EXPECT_EQ(readBuilt(built), "big endian\ns 2 1x1 {\nsecond 4 1x2 'Hi'\nfirst 6 1x1 -1.5\n}\n"
                                "v 6 1x2 0.25 4\n");
}

TEST(MatlabReader, SkipsOtherClassesAndUnreadDataByByteCount) {
    Builder built;
    built.header("skip");
    const std::size_t ints = built.bytes.size();
    built.array(0, 12, {1, 2}, "i").tag(5, 8).u32(7).u32(8).patchCount(ints);
    const std::size_t unread = built.bytes.size();
    built.array(0, 6, {1, 1}, "unread").tag(9, 8).f64(3).patchCount(unread);
    const std::size_t v = built.bytes.size();
    built.array(0, 6, {1, 1}, "v").tag(9, 8).f64(2).patchCount(v);
    TempDir dir;
    writeBytes(dir.file("k.mat"), built.bytes);

    MatlabReader reader(dir.file("k.mat"));
    std::string header;
    MatlabVariable variable;
    std::vector<double> values;
    ASSERT_TRUE(reader.readHeader(header) && reader.readElementHeader(variable));
    EXPECT_EQ(variable.classNumber, 12);
    EXPECT_EQ(variable.count, 2u);
    ASSERT_TRUE(reader.readElementHeader(variable));
    EXPECT_EQ(variable.name, "unread");
    ASSERT_TRUE(reader.readElementHeader(variable) && reader.readMatrix(values));
    EXPECT_EQ(variable.name, "v");
    EXPECT_EQ(values, std::vector<double>{2});
    EXPECT_FALSE(reader.endOfFile());
    ASSERT_TRUE(reader.readElementHeader(variable));
    EXPECT_EQ(variable.classNumber, 0);
    EXPECT_TRUE(reader.endOfFile());
    EXPECT_FALSE(reader.endStruct());
}

TEST(MatlabReader, RejectsBadHeaders) {
    EXPECT_EQ(readBuilt(Builder()), "failed");
    Builder shortFile = Builder().header("short");
    shortFile.bytes.pop_back();
    EXPECT_EQ(readBuilt(shortFile), "failed");
    EXPECT_EQ(readBuilt(Builder().header("v2", 0x0200)), "failed");
    EXPECT_EQ(readBuilt(Builder().header("swapped version", 0x0001)), "failed");
    Builder indicator = Builder().header("indicator");
    indicator.bytes[127] = 'I';
    EXPECT_EQ(readBuilt(indicator), "failed");
    EXPECT_EQ(readFile("/nonexistent/file.mat"), "failed");
    EXPECT_EQ(readBuilt(Builder().header("only a header")), "only a header\n");
}

TEST(MatlabReader, StructureHandsOutOnlyItsOwnFieldNames) {
    TempDir dir;
    {
        MatlabWriter writer(dir.file("f.mat"));
        const double one = 1;
        ASSERT_TRUE(writer.writeHeader("f") && writer.beginStruct("s", 1));
        ASSERT_TRUE(writer.writeMatrix("a", &one, 1, 1) && writer.endStruct());
        ASSERT_TRUE(writer.writeMatrix("time", &one, 1, 1) && writer.close());
    }
    MatlabReader reader(dir.file("f.mat"));
    std::string header;
    MatlabVariable variable;
    std::size_t count = 0;
    ASSERT_TRUE(reader.readHeader(header) && reader.readElementHeader(variable));
    ASSERT_TRUE(reader.readFieldNames(count) && reader.readElementHeader(variable));
    EXPECT_EQ(variable.name, "a");
    EXPECT_FALSE(reader.readElementHeader(variable)); // "time" without endStruct
}

TEST(MatlabReader, TruncatedFilesFailAtEveryLengthButElementBoundaries) {
    TempDir dir;
    writeSample(dir.file("s.mat"), false);
    const Bytes bytes = readBytes(dir.file("s.mat"));
    // Cutting the file right after the header or after a top-level element leaves a valid file.
    std::set<std::size_t> boundaries{128};
    for (std::size_t at = 128; at < bytes.size(); boundaries.insert(at))
        at += 8 + le32(bytes, at + 4);
    ASSERT_EQ(boundaries.size(), 7u);
    for (std::size_t length = 0; length < bytes.size(); ++length) {
        writeBytes(dir.file("t.mat"), bytes, length);
        EXPECT_EQ(readFile(dir.file("t.mat")) != "failed", boundaries.count(length) == 1)
            << "length " << length;
    }
}

TEST(MatlabReader, RejectsAbsurdDimensionsAndLengths) {
    const auto dims = [](std::vector<std::int32_t> dimensions) {
        return
            [dimensions](Builder& b) { b.array(0, 6, dimensions, "d").tag(9, 0).patchCount(128); };
    };
    EXPECT_EQ(readElement(dims({0, 7})), "x\nd 6 0x7\n");
    EXPECT_EQ(readElement(dims({65536, 65536, 65536, 65536})), "failed"); // 2^64 wraps to 0
    EXPECT_EQ(readElement(dims({-1, 1})), "failed");
    EXPECT_EQ(readElement(dims(std::vector<std::int32_t>(1025, 1))), "failed"); // 4100 bytes
    EXPECT_EQ(readElement([](Builder& b) { b.tag(14, 0xFFFFFFF0).tag(6, 8).zeros(8); }), "failed");
    EXPECT_EQ(readElement([](Builder& b) { b.tag(15, 8).zeros(8); }), "failed"); // not zlib
    EXPECT_EQ(readElement([](Builder& b) {
                  b.tag(14, 40).tag(6, 8).u32(6).u32(0).tag(5, 6).zeros(8).tag(1, 0);
              }),
              "failed");
    EXPECT_EQ(readElement([](Builder& b) {
                  b.array(0, 6, {1, 1}, "").tag(1, 5000).zeros(5000).patchCount(128);
              }),
              "failed");
    // Counts that pass the header but whose data the file cannot hold.
    EXPECT_EQ(readElement([](Builder& b) {
                  b.array(0, 6, {0x7FFFFFFF, 0x7FFFFFFF}, "m").tag(9, 0xFFFFFFF8).patchCount(128);
              }),
              "failed");
    EXPECT_EQ(readElement([](Builder& b) {
                  b.array(0, 4, {1, 0x7FFFFFFF}, "s").tag(4, 0xFFFFFFFE).patchCount(128);
              }),
              "failed");
    EXPECT_EQ(readElement([](Builder& b) {
                  b.array(0, 4, {1, 2}, "s").tag(4, 3).zeros(8).patchCount(128);
              }),
              "failed");
    EXPECT_EQ(readElement([](Builder& b) {
                  b.array(0, 4, {1, 1}, "s").tag(9, 8).zeros(8).patchCount(128);
              }),
              "failed");
    EXPECT_EQ(readElement([](Builder& b) {
                  b.array(8, 6, {1, 1}, "v").tag(9, 8).f64(1);
              }),
              "failed"); // byte count smaller than the header
    EXPECT_EQ(readElement([](Builder& b) {
                  b.array(0, 6, {1, 1}, "v").tag(9, 8).f64(1).patchCount(128).zeros(3);
              }),
              "failed"); // 3 stray bytes after the last element
}

TEST(MatlabReader, RejectsMalformedFieldNameTables) {
    const auto table = [](std::uint32_t lengthTag, std::int32_t nameBytes, std::uint32_t tableBytes,
                          const std::string& names, int fields) {
        Builder b;
        b.header("x").array(0, 2, {1, 1}, "s").u32(lengthTag).u32(std::uint32_t(nameBytes));
        b.tag(1, tableBytes).text(names).zeros((8 - names.size() % 8) % 8);
        // Empty 0 x 0 double arrays of 56 bytes each.
        for (int i = 0; i < fields; ++i)
            b.tag(14, 48).tag(6, 8).u32(6).u32(0).tag(5, 8).u32(0).u32(0).tag(1, 0).tag(9, 0);
        return b.patchCount(128);
    };
    EXPECT_EQ(readBuilt(table(0x00040005, 8, 16, std::string("abcdefghlast\0\0\0\0", 16), 2)),
              "x\ns 2 1x1 {\nabcdefg 6 0x0\nlast 6 0x0\n}\n");
    EXPECT_EQ(readBuilt(table(0x00040005, 64, 64, std::string(63, 'n') + '\0', 1)),
              "x\ns 2 1x1 {\n" + std::string(63, 'n') + " 6 0x0\n}\n");
    EXPECT_EQ(readBuilt(table(0x00040005, 0, 8, "abcdefgh", 1)), "failed");
    EXPECT_EQ(readBuilt(table(0x00040005, -8, 8, "abcdefgh", 1)), "failed");
    EXPECT_EQ(readBuilt(table(0x00040005, 8192, 8192, std::string(8192, 'a'), 1)), "failed");
    EXPECT_EQ(readBuilt(table(0x00000005, 8, 8, "abcdefgh", 1)), "failed"); // long-form tag
    EXPECT_EQ(readBuilt(table(0x00040005, 8, 12, "abcdefghijkl", 1)), "failed");
    EXPECT_EQ(readBuilt(table(0x00040005, 8, 128, "abcdefgh", 1)), "failed"); // beyond the struct

    // Eight one-byte names, but the structure has room for one field only: refused before the
    // names are stored.
    TempDir dir;
    writeBytes(dir.file("crowded.mat"), table(0x00040005, 1, 8, "abcdefgh", 1).bytes);
    MatlabReader reader(dir.file("crowded.mat"));
    std::string header;
    MatlabVariable variable;
    std::size_t count = 0;
    ASSERT_TRUE(reader.readHeader(header) && reader.readElementHeader(variable));
    EXPECT_FALSE(reader.readFieldNames(count));
}

namespace {

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool SanitizedBuild = true;
#elif defined(__has_feature)
constexpr bool SanitizedBuild = __has_feature(address_sanitizer) || __has_feature(thread_sanitizer);
#else
constexpr bool SanitizedBuild = false;
#endif

// Ends the process with 0 when both elements, whose counts ask for 2 and 4 GiB that the file does
// not hold, are rejected.
void readHostileCountsAndExit() {
    const bool rejected =
        readElement([](Builder& b) {
            b.array(0, 4, {1, 0x7FFFFFFF}, "s").tag(4, 0xFFFFFFFE).patchCount(128);
        }) == "failed" &&
        readElement([](Builder& b) {
            b.array(0, 6, {1, 0x1FFFFFFF}, "m").tag(9, 0xFFFFFFF8).patchCount(128);
        }) == "failed";
    std::exit(rejected ? 0 : 1);
}

} // namespace

TEST(MatlabReaderDeathTest, HostileCountsAllocateNothingBeyondTheFile) {
    if (SanitizedBuild)
        GTEST_SKIP() << "sanitizers reserve more address space than the limit below";
    // Limited to 1 GiB of address space, the child would die of an uncaught std::bad_alloc
    // instead of exiting with 0 if the reader allocated what the counts ask for.
    const rlimit limit{1u << 30, 1u << 30};
    EXPECT_EXIT((setrlimit(RLIMIT_AS, &limit), readHostileCountsAndExit()),
                ::testing::ExitedWithCode(0), "");
}
