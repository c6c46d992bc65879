// A version 7.3 MAT file streamed in uneven blocks reads back in h5py, an independent HDF5
// reader, with the values, shapes and classes MATLAB would see; a file the disk can't take
// reads back all the same, with the cause of the failure reported.

#include "files/Mat73Writer.h"

#include "FilesTestSupport.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <regex>
#include <sstream>
#include <sys/resource.h>

using namespace FilesTest;

namespace {

// What dump_mat73.py printed: per path its description and its values.
struct Dump {
    std::map<std::string, std::string> lines;
    std::map<std::string, std::vector<double>> values;
};

Dump readDump(const std::string& text) {
    Dump dump;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        const std::size_t space = line.find(' ');
        const std::string path = line.substr(0, space);
        const std::string rest = space == std::string::npos ? "" : line.substr(space + 1);
        // Only groups and datasets, named by their path, have values after ": ".
        const std::size_t colon = path[0] == '/' ? rest.find(": ") : std::string::npos;
        dump.lines[path] = rest.substr(0, colon);
        if (colon == std::string::npos)
            continue;
        std::istringstream numbers(rest.substr(colon + 2));
        for (std::string number; numbers >> number;)
            dump.values[path].push_back(std::strtod(number.c_str(), nullptr));
    }
    return dump;
}

// What h5py reads from the file, as dump_mat73.py prints it, ending with its exit status.
std::string dumpMat73(const std::string& python, const std::string& path) {
    return commandOutput(python + " '" ORVA_TEST_DATA_DIR "/mat/dump_mat73.py' '" + path + "'");
}

// Distinct values, so that a sample read back in a wrong place shows.
std::vector<double> ramp(std::size_t count, double first) {
    std::vector<double> values(count);
    for (std::size_t k = 0; k < count; ++k)
        values[k] = first + static_cast<double>(k);
    return values;
}

std::vector<double> codeUnits(const std::string& text) {
    std::vector<double> units;
    for (const char c : text)
        units.push_back(static_cast<unsigned char>(c));
    return units;
}

// Writes to files beyond `bytes` fail with EFBIG, as on a full disk, while one lives.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &saved_);
        rlimit limit = saved_;
        limit.rlim_cur = bytes;
        // Without this the kernel ends the process at the first write beyond the limit.
        handler_ = std::signal(SIGXFSZ, SIG_IGN);
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, handler_);
    }

private:
    rlimit saved_{};
    void (*handler_)(int) = nullptr;
};

} // namespace

TEST(Mat73Writer, StreamedGraphReadsBackInH5pyAsMatlabSeesIt) {
    const std::string python = pythonWith("h5py");
    if (python.empty())
        GTEST_SKIP() << "no python3 with h5py";
    TempDir dir;
    const std::string path = dir.file("stream.mat");
    // Blocks of uneven sizes that cross the chunks of 65,536 samples.
    const std::vector<std::size_t> blocks = {1000, 70000, 1, 64535, 5000};
    std::vector<double> encoder, speed, time;
    for (int k = 0; k < 140536; ++k) {
        encoder.push_back((k % 1000) * 0.125 - 50.0);
        speed.push_back(1e6 - (k % 777) * 0.5);
        time.push_back(k * 1e-5);
    }
    const double orange[] = {1.0, 0.5, 0.0};
    const double blue[] = {0.0, 0.0, 1.0};
    // Frames lost: sample index, then count, column-major.
    const double lost[] = {100, 2000, 90000, 1, 3, 250};
    {
        Mat73Writer writer(path);
        Mat73Writer::Column encoderColumn = 0, speedColumn = 0, timeColumn = 0, idleColumn = 0;
        ASSERT_TRUE(writer.beginStruct("Position") && writer.writeText("fft", "true") &&
                    writer.beginStruct("Encoder1") && writer.beginColumn("data", encoderColumn) &&
                    writer.writeText("unit", "\xB0") && writer.writeMatrix("color", orange, 3, 1) &&
                    writer.endStruct() && writer.beginStruct("v") &&
                    writer.beginColumn("data", speedColumn) && writer.writeText("unit", "1/min") &&
                    writer.writeMatrix("color", blue, 3, 1) && writer.endStruct() &&
                    writer.endStruct() && writer.beginColumn("time", timeColumn) &&
                    writer.beginColumn("idle", idleColumn))
            << writer.error();
        std::size_t from = 0;
        for (const std::size_t count : blocks) {
            ASSERT_TRUE(writer.append(encoderColumn, encoder.data() + from, count) &&
                        writer.append(speedColumn, speed.data() + from, count) &&
                        writer.append(timeColumn, time.data() + from, count))
                << writer.error();
            from += count;
        }
        ASSERT_TRUE(writer.writeMatrix("lost", lost, 3, 2) &&
                    writer.writeMatrix("none", nullptr, 0, 2) && writer.close())
            << writer.error();
    }

    const std::string output = dumpMat73(python, path);
    ASSERT_NE(output.find("exit 0"), std::string::npos) << output;
    const Dump dump = readDump(output);
    const std::string header = dump.lines.at("header");
    EXPECT_EQ(header.size(), 116u);
    EXPECT_TRUE(std::regex_match(header, std::regex("MATLAB 7\\.3 MAT-file, Platform: GLNXA64, "
                                                    "Created on: [A-Z][a-z]{2} [A-Z][a-z]{2} "
                                                    "[ 1-3][0-9] [0-9:]{8} [0-9]{4} HDF5 schema "
                                                    "1\\.00 \\. *")))
        << header;
    // No subsystem data, version 0x0200 and "IM", little-endian.
    EXPECT_EQ(dump.lines.at("tail"), "00000000000000000002494d");
    EXPECT_EQ(dump.lines.at("userblock"), "512");

    EXPECT_EQ(dump.lines.at("/Position"), "struct fields fft,Encoder1,v");
    EXPECT_EQ(dump.lines.at("/Position/Encoder1"), "struct fields data,unit,color");
    EXPECT_EQ(dump.lines.at("/Position/v"), "struct fields data,unit,color");
    EXPECT_EQ(dump.lines.at("/Position/fft"), "char <u2 1x4 MATLAB_int_decode=<i4:2");
    EXPECT_EQ(dump.values.at("/Position/fft"), codeUnits("true"));
    EXPECT_EQ(dump.lines.at("/Position/Encoder1/unit"), "char <u2 1x1 MATLAB_int_decode=<i4:2");
    EXPECT_EQ(dump.values.at("/Position/Encoder1/unit"), codeUnits("\xB0"));
    EXPECT_EQ(dump.values.at("/Position/v/unit"), codeUnits("1/min"));
    EXPECT_EQ(dump.lines.at("/Position/Encoder1/color"), "double <f8 3x1");
    EXPECT_EQ(dump.values.at("/Position/Encoder1/color"), std::vector<double>(orange, orange + 3));
    EXPECT_EQ(dump.values.at("/Position/v/color"), std::vector<double>(blue, blue + 3));
    for (const char* column : {"/Position/Encoder1/data", "/Position/v/data", "/time"})
        EXPECT_EQ(dump.lines.at(column), "double <f8 140536x1") << column;
    EXPECT_EQ(dump.values.at("/Position/Encoder1/data"), encoder);
    EXPECT_EQ(dump.values.at("/Position/v/data"), speed);
    EXPECT_EQ(dump.values.at("/time"), time);
    EXPECT_EQ(dump.lines.at("/lost"), "double <f8 3x2");
    EXPECT_EQ(dump.values.at("/lost"), std::vector<double>(lost, lost + 6));
    EXPECT_EQ(dump.lines.at("/none"), "double <u8 0x2 MATLAB_empty=|u1:1");
    EXPECT_EQ(dump.lines.at("/idle"), "double <u8 0x1 MATLAB_empty=|u1:1");
}

// Appending stops before the file size limit with the system's reason, and the file is still
// completed: every sample appended before and a value written after are in it.
TEST(Mat73Writer, AFailedWriteIsReportedWithTheSystemsReason) {
    const std::string python = pythonWith("h5py");
    if (python.empty())
        GTEST_SKIP() << "no python3 with h5py";
    TempDir dir;
    const std::string path = dir.file("full.mat");
    const std::vector<double> lost = {97, 1, 1};
    std::vector<double> appended;
    {
        Mat73Writer writer(path);
        Mat73Writer::Column column = 0;
        ASSERT_TRUE(writer.beginColumn("data", column)) << writer.error();
        FileSizeLimit limit(4 << 20);
        for (std::vector<double> block = ramp(50000, 0.0);
             writer.append(column, block.data(), block.size());
             block = ramp(block.size(), block.back() + 1.0))
            appended.insert(appended.end(), block.begin(), block.end());
        EXPECT_TRUE(writer.writeMatrix("lost", lost.data(), 3, 1)) << writer.error();
        EXPECT_FALSE(writer.close());
        EXPECT_NE(writer.error().find("File too large"), std::string::npos) << writer.error();
    }
    EXPECT_FALSE(appended.empty());
    const std::string output = dumpMat73(python, path);
    ASSERT_NE(output.find("exit 0"), std::string::npos) << output.substr(output.size() - 500);
    const Dump dump = readDump(output);
    EXPECT_EQ(dump.values.at("/data"), appended);
    EXPECT_EQ(dump.values.at("/lost"), lost);
}

// A write the disk refuses all the same, here because the file size limit drops under what
// HDF5 was promised, leaves the file as it was at its last flush.
TEST(Mat73Writer, AWriteThatFailsAllTheSameLeavesTheFileAsAtTheLastFlush) {
    const std::string python = pythonWith("h5py");
    if (python.empty())
        GTEST_SKIP() << "no python3 with h5py";
    TempDir dir;
    const std::string path = dir.file("taken.mat");
    // The second block starts a chunk of its own, which the file has no room for.
    const std::vector<double> flushed = ramp(60000, 0.0);
    const std::vector<double> later = ramp(30000, 60000.0);
    {
        Mat73Writer writer(path);
        Mat73Writer::Column column = 0;
        ASSERT_TRUE(writer.beginColumn("data", column) &&
                    writer.append(column, flushed.data(), flushed.size()) && writer.flush() &&
                    writer.append(column, later.data(), later.size()))
            << writer.error();
        FileSizeLimit limit(std::filesystem::file_size(path));
        EXPECT_FALSE(writer.close());
        EXPECT_NE(writer.error().find("File too large"), std::string::npos) << writer.error();
    }
    const std::string output = dumpMat73(python, path);
    ASSERT_NE(output.find("exit 0"), std::string::npos) << output;
    EXPECT_EQ(readDump(output).values.at("/data"), flushed);
}
