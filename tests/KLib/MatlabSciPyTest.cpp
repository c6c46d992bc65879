// Checks the writer against an independent reader: SciPy's scipy.io.loadmat, run through the
// script tests/data/mat/dump_mat.py, which prints the file as canonical text.

#include "KLib/Data/MatlabWriter.h"

#include "MatlabTestFiles.h"
#include "SciPyDump.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

using KLib::MatlabWriter;
using namespace MatlabTest;

// "\260" is the byte 0xB0, the Latin-1 degree sign.

namespace {

void writeRecording(const std::string& path, bool swap) {
    MatlabWriter writer(path);
    writer.setByteSwap(swap);
    const double data[] = {0.1, -2.5, 1e-300};
    const double color[] = {1.0, 0.5, 0.0};
    const double grid[] = {1, 2, 3, 4, 5, 6};
    const double time[] = {0.0, 0.001, 0.002};
    ASSERT_TRUE(writer.isOpen());
    ASSERT_TRUE(writer.writeHeader("MATLAB 5.0 MAT-file, Created by ORVA 2 USB"));
    ASSERT_TRUE(writer.beginStruct("no_caption0", 3) && writer.writeString("fft", "true"));
    ASSERT_TRUE(writer.beginStruct("Speed_2", 3) && writer.writeMatrix("data", data, 3, 1));
    ASSERT_TRUE(writer.writeString("unit", "\260C") && writer.writeMatrix("color", color, 3, 1));
    ASSERT_TRUE(writer.endStruct());
    ASSERT_TRUE(writer.beginStruct("a_channel_name_longer_than_31_characters", 3));
    ASSERT_TRUE(writer.writeMatrix("grid", grid, 2, 3) && writer.writeString("unit", ""));
    ASSERT_TRUE(writer.beginStruct("deeper", 1) && writer.writeString("note", "x"));
    ASSERT_TRUE(writer.endStruct() && writer.endStruct() && writer.endStruct());
    ASSERT_TRUE(writer.writeMatrix("time", time, 3, 1) && writer.close());
}

const char* const ExpectedDump =
    "header: MATLAB 5.0 MAT-file, Created by ORVA 2 USB\n"
    "no_caption0: struct 1x1 fields fft,Speed_2,a_channel_name_longer_than_31_c\n"
    "no_caption0.fft: char 1x4 'true'\n"
    "no_caption0.Speed_2: struct 1x1 fields data,unit,color\n"
    "no_caption0.Speed_2.data: double 3x1 0.1 -2.5 1e-300\n"
    "no_caption0.Speed_2.unit: char 1x2 '\\xb0C'\n"
    "no_caption0.Speed_2.color: double 3x1 1.0 0.5 0.0\n"
    "no_caption0.a_channel_name_longer_than_31_c: struct 1x1 fields grid,unit,deeper\n"
    "no_caption0.a_channel_name_longer_than_31_c.grid: double 2x3 1.0 2.0 3.0 4.0 5.0 6.0\n"
    "no_caption0.a_channel_name_longer_than_31_c.unit: char 1x0 ''\n"
    "no_caption0.a_channel_name_longer_than_31_c.deeper: struct 1x1 fields note\n"
    "no_caption0.a_channel_name_longer_than_31_c.deeper.note: char 1x1 'x'\n"
    "time: double 3x1 0.0 0.001 0.002\n"
    "exit 0";

} // namespace

TEST(MatlabSciPy, ReadsWhatTheWriterWroteInBothByteOrders) {
    for (bool swap : {false, true}) {
        TempDir dir;
        writeRecording(dir.file("recording.mat"), swap);
        EXPECT_EQ(dumpWithSciPy(dir.file("recording.mat")), ExpectedDump) << "swap " << swap;
    }
}
