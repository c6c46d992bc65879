// Data files written by another program, SciPy's savemat, load in build mode like the program's
// own, uncompressed and compressed; a struct array, which the program never writes, reads as its
// first element.

#include "files/MatDataReader.h"

#include "FilesTestSupport.h"

#include <gtest/gtest.h>

using namespace FilesTest;

namespace {

// The values of tests/data/mat/write_data_file.py.
std::vector<double> encoderValues() {
    std::vector<double> values;
    for (int k = 0; k < 1000; ++k)
        values.push_back((k % 13) * 0.25 - 1.5);
    return values;
}

std::uint32_t firstElementType(const std::string& path) {
    const std::string bytes = readText(path);
    return bytes.size() < 132 ? 0 : static_cast<unsigned char>(bytes[128]);
}

} // namespace

TEST(LoadBuildMode, FilesWrittenBySciPyLoadUncompressedAndCompressed) {
    const std::string python = pythonWithSciPy();
    if (python.empty())
        GTEST_SKIP() << "no python3 with scipy";
    for (const char* mode : {"uncompressed", "compressed"}) {
        TempDir dir;
        const std::string path = dir.file("scipy.mat");
        const std::string command =
            python + " '" ORVA_TEST_DATA_DIR "/mat/write_data_file.py' '" + path + "' " + mode;
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
        // 15 marks a compressed element, 14 a plain one.
        EXPECT_EQ(firstElementType(path), std::string(mode) == "compressed" ? 15u : 14u);

        LoadedData data;
        ASSERT_TRUE(readMatDataFile(path, data)) << mode;
        EXPECT_EQ(data.maxLen, 1000);
        ASSERT_EQ(data.graphs.size(), 2u);
        EXPECT_EQ(data.graphs[0].channels.at(0).values, encoderValues());
        EXPECT_EQ(data.graphs[1].channels.at(0).values, std::vector<double>(400, 0.125));
        Config config;
        applyLoadedData(data, config);
        ASSERT_EQ(config.graphList.size(), 2u);
        const GraphData& position = config.graphList.front();
        EXPECT_EQ(position.caption, "Position");
        EXPECT_TRUE(position.fft);
        ASSERT_EQ(position.channelList.size(), 2u);
        EXPECT_EQ(position.channelList[0].caption, "Encoder1");
        EXPECT_EQ(position.channelList[0].unit, 3); // degrees
        EXPECT_EQ(position.channelList[0].color, 0xFF8000);
        EXPECT_EQ(position.channelList[1].caption, "v");
        EXPECT_EQ(position.channelList[1].unit, 13); // 1/min
        EXPECT_EQ(position.channelList[1].color, 0x0000FF);
        const GraphData& speed = config.graphList.back();
        EXPECT_EQ(speed.caption, "Speed");
        EXPECT_FALSE(speed.fft);
        ASSERT_EQ(speed.channelList.size(), 1u);
        EXPECT_EQ(speed.channelList[0].unit, 16); // mV
        EXPECT_EQ(config.inputSettings.rate, 500);
        EXPECT_EQ(config.inputSettings.displayTime, 2.0f);
    }
}

TEST(LoadBuildMode, AStructArrayIsOneGraphOfItsFirstElement) {
    const std::string python = pythonWithSciPy();
    if (python.empty())
        GTEST_SKIP() << "no python3 with scipy";
    TempDir dir;
    const std::string path = dir.file("arrays.mat");
    const std::string command =
        python + " '" ORVA_TEST_DATA_DIR "/mat/write_struct_arrays.py' '" + path + "'";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;

    LoadedData data;
    ASSERT_TRUE(readMatDataFile(path, data));
    ASSERT_EQ(data.graphs.size(), 3u);
    EXPECT_EQ(data.graphs[0].name, "Array");
    EXPECT_TRUE(data.graphs[0].fft);
    EXPECT_EQ(data.graphs[0].channels.at(0).values, (std::vector<double>{1, 2}));
    EXPECT_EQ(data.graphs[1].name, "Empty");
    EXPECT_TRUE(data.graphs[1].channels.empty());
    EXPECT_EQ(data.graphs[2].name, "Plain");
    EXPECT_EQ(data.graphs[2].channels.at(0).values, (std::vector<double>{4, 5, 6}));
    EXPECT_EQ(data.rate, 2);
}
