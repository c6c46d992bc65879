// Files as other programs write the same content: small data elements, 8-bit characters, numbers
// in smaller types, other field-name lengths and zlib-compressed elements.

#include "KLib/Data/MatlabWriter.h"

#include "MatlabTextDump.h"

#include <gtest/gtest.h>
#include <zlib.h>

using namespace MatlabTest;

namespace {

Bytes compressed(const Bytes& bytes) {
    uLongf length = compressBound(static_cast<uLong>(bytes.size()));
    Bytes out(length);
    EXPECT_EQ(compress2(out.data(), &length, bytes.data(), static_cast<uLong>(bytes.size()), 6),
              Z_OK);
    out.resize(length);
    return out;
}

// The file with every top-level element replaced by a compressed element holding it.
Bytes compressEveryElement(const Bytes& file, bool bigEndian) {
    Builder out(bigEndian);
    out.bytes.assign(file.begin(), file.begin() + 128);
    for (std::size_t at = 128; at < file.size();) {
        const std::uint32_t bytes = bigEndian
                                        ? std::uint32_t(file[at + 4]) << 24 | file[at + 5] << 16 |
                                              file[at + 6] << 8 | file[at + 7]
                                        : le32(file, at + 4);
        const Bytes packed = compressed(Bytes(file.begin() + at, file.begin() + at + 8 + bytes));
        out.tag(15, static_cast<std::uint32_t>(packed.size()));
        out.bytes.insert(out.bytes.end(), packed.begin(), packed.end());
        at += 8 + bytes;
    }
    return out.bytes;
}

// A 1 x n/8 double array "v" of zeros.
Bytes zeroVector(std::uint32_t n) {
    Builder element;
    element.tag(14, 48 + n).tag(6, 8).u32(6).u32(0).tag(5, 8).u32(1).u32(n / 8);
    element.small(1, "v").tag(9, n);
    element.bytes.resize(element.bytes.size() + n);
    return element.bytes;
}

} // namespace

TEST(MatlabOtherWriters, SmallElementsEightBitCharactersAndNumbersInSmallerTypes) {
    for (bool big : {false, true}) {
        Builder b(big);
        b.header("other writer");
        // A structure named in the small form with field names of 6 bytes.
        const std::size_t s = b.bytes.size();
        b.tag(14, 0).tag(6, 8).u32(2).u32(0).tag(5, 8).u32(1).u32(1).small(1, "s");
        b.smallNumber(5, 6, 4).tag(1, 24).text(std::string("unit\0\0euro\0\0data\0\0note\0\0", 24));
        const std::size_t unit = b.bytes.size(); // 1 x 2 characters as UTF-8: degree sign, C
        b.tag(14, 0).tag(6, 8).u32(4).u32(0).tag(5, 8).u32(1).u32(2).small(1, "");
        b.small(16, "\xC2\xB0"
                    "C")
            .patchCount(unit);
        const std::size_t euro = b.bytes.size(); // a character beyond Latin-1
        b.tag(14, 0).tag(6, 8).u32(4).u32(0).tag(5, 8).u32(1).u32(2).small(1, "");
        b.small(16, "\xE2\x82\xAC"
                    "1")
            .patchCount(euro);
        const std::size_t data = b.bytes.size(); // doubles stored as unsigned bytes
        b.tag(14, 0).tag(6, 8).u32(6).u32(0).tag(5, 8).u32(1).u32(3).small(1, "");
        b.small(2, "\x01\x02\xFA").patchCount(data);
        const std::size_t note = b.bytes.size(); // Latin-1 bytes, long form
        b.tag(14, 0).tag(6, 8).u32(4).u32(0).tag(5, 8).u32(1).u32(5).small(1, "");
        b.tag(2, 5).text("x\351yz!").zeros(3).patchCount(note).patchCount(s);
        const std::size_t v = b.bytes.size(); // 32-bit integers and singles
        b.tag(14, 0).tag(6, 8).u32(6).u32(0).tag(5, 8).u32(2).u32(1).small(1, "v");
        b.tag(5, 8).u32(static_cast<std::uint32_t>(-3)).u32(70000).patchCount(v);
        const std::size_t w = b.bytes.size();
        b.tag(14, 0).tag(6, 8).u32(6).u32(0).tag(5, 8).u32(1).u32(1).small(1, "w");
        b.smallNumber(7, 0xBF200000, 4).patchCount(w); // -0.625
        EXPECT_EQ(readBuilt(b), "other writer\ns 2 1x1 {\nunit 4 1x2 '\260C'\neuro 4 1x2 '?1'\n"
                                "data 6 1x3 1 2 250\nnote 4 1x5 'x\351yz!'\n}\n"
                                "v 6 2x1 -3 70000\nw 6 1x1 -0.625\n")
            << "big endian " << big;
    }
}

// Found by fuzzing: UTF-8 bytes of another character count than the array's are damaged.
TEST(MatlabOtherWriters, UtfEightTextOfAnotherLengthThanItsArrayIsRefused) {
    Builder b(false);
    b.header("other writer");
    const std::size_t unit = b.bytes.size(); // 1 x 1 character, but two in the bytes
    b.tag(14, 0).tag(6, 8).u32(4).u32(0).tag(5, 8).u32(1).u32(1).small(1, "u");
    b.small(16, "ab").patchCount(unit);
    EXPECT_EQ(readBuilt(b), "failed");
}

TEST(MatlabOtherWriters, CompressedElementsReadLikeTheirUncompressedForm) {
    for (bool big : {false, true}) {
        TempDir dir;
        {
            KLib::MatlabWriter writer(dir.file("plain.mat"));
            writer.setByteSwap(big);
            const double data[] = {0.5, -2.25, 1e300};
            ASSERT_TRUE(writer.writeHeader("packed") && writer.beginStruct("graph", 2));
            ASSERT_TRUE(writer.writeString("fft", "true") && writer.beginStruct("Speed_2", 2));
            ASSERT_TRUE(writer.writeMatrix("data", data, 3, 1) && writer.writeString("unit", "m"));
            ASSERT_TRUE(writer.endStruct() && writer.endStruct());
            ASSERT_TRUE(writer.writeMatrix("time", data, 3, 1) && writer.close());
        }
        writeBytes(dir.file("packed.mat"),
                   compressEveryElement(readBytes(dir.file("plain.mat")), big));
        const std::string plain = readFile(dir.file("plain.mat"));
        EXPECT_NE(plain, "failed");
        EXPECT_EQ(readFile(dir.file("packed.mat")), plain) << "big endian " << big;
    }
}

TEST(MatlabOtherWriters, CompressedElementsThatAreTooLargeOrMalformedAreRefused) {
    const auto packedFile = [](const Bytes& stream) {
        Builder b;
        b.header("x").tag(15, static_cast<std::uint32_t>(stream.size()));
        b.bytes.insert(b.bytes.end(), stream.begin(), stream.end());
        return b;
    };
    EXPECT_EQ(readBuilt(packedFile(compressed(zeroVector(64)))), "x\nv 6 1x8 0 0 0 0 0 0 0 0\n");

    // More inflated bytes than the element claims, a cut stream, a stream that is not an array.
    Bytes longer = zeroVector(64);
    longer.resize(longer.size() + 8);
    EXPECT_EQ(readBuilt(packedFile(compressed(longer))), "failed");
    Bytes cut = compressed(zeroVector(64));
    cut.resize(cut.size() - 6);
    EXPECT_EQ(readBuilt(packedFile(cut)), "failed");
    EXPECT_EQ(readBuilt(packedFile(compressed(Builder().tag(9, 8).f64(1).bytes))), "failed");

    // 300 MiB of zeros pack into a small file; inflating them is refused before any of it is
    // allocated, while the same array of 1 MiB reads.
    const auto zerosPacked = [](std::uint32_t n) {
        const Bytes element = zeroVector(n);
        z_stream z{};
        // Run-length matching packs zeros as tightly as full matching, and fast.
        EXPECT_EQ(deflateInit2(&z, 1, Z_DEFLATED, 15, 8, Z_RLE), Z_OK);
        Bytes out(1 << 20), stream;
        const Bytes zeros(1 << 20);
        const auto pump = [&](const unsigned char* in, std::size_t length, int flush) {
            z.next_in = const_cast<unsigned char*>(in);
            z.avail_in = static_cast<uInt>(length);
            do {
                z.next_out = out.data();
                z.avail_out = static_cast<uInt>(out.size());
                deflate(&z, flush);
                stream.insert(stream.end(), out.data(), z.next_out);
            } while (z.avail_out == 0);
        };
        const std::size_t headBytes = element.size() - n;
        pump(element.data(), headBytes, Z_NO_FLUSH);
        for (std::size_t left = n; left > 0; left -= std::min<std::size_t>(left, zeros.size()))
            pump(zeros.data(), std::min<std::size_t>(left, zeros.size()), Z_NO_FLUSH);
        pump(nullptr, 0, Z_FINISH);
        deflateEnd(&z);
        return stream;
    };
    EXPECT_EQ(readBuilt(packedFile(zerosPacked(1u << 20))).substr(0, 12), "x\nv 6 1x1310");
    const Bytes bomb = zerosPacked(300u << 20);
    EXPECT_LT(bomb.size(), 1u << 20);
    EXPECT_EQ(readBuilt(packedFile(bomb)).substr(0, 16), "failed");

    // Only top-level elements may be compressed.
    Builder nested;
    nested.header("x").array(0, 2, {1, 1}, "s").u32(0x00040005).u32(8).tag(1, 8).text("field");
    nested.zeros(3);
    // Data that does not compress, so that the structure has room for the field.
    Bytes field = zeroVector(64);
    for (std::size_t i = field.size() - 64; i < field.size(); ++i)
        field[i] = static_cast<unsigned char>(i * 37 + 11);
    const Bytes inner = compressed(field);
    nested.tag(15, static_cast<std::uint32_t>(inner.size()));
    nested.bytes.insert(nested.bytes.end(), inner.begin(), inner.end());
    EXPECT_EQ(readBuilt(nested.patchCount(128)), "failed");
}
