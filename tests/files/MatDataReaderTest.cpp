// Reading data files back: build mode (the configuration follows the file) and keep mode (only
// the values are taken), hand-made files and malformed ones.

#include "files/MatDataReader.h"
#include "files/DataFileWriter.h"

#include "FilesTestSupport.h"
#include "KLib/Data/MatlabWriter.h"

#include <gtest/gtest.h>

using namespace FilesTest;

namespace {

// Writes "G" (fft text given) with the channel "c" holding data, unit and colour, then "time".
void writeHandMade(const std::string& path, const std::string& graphName, const char* fft,
                   const std::vector<double>& color, const std::string& unit,
                   const std::vector<double>& time) {
    KLib::MatlabWriter w(path);
    const double data[] = {1, 2, 3, 4, 5};
    ASSERT_TRUE(w.writeHeader("hand made") && w.beginStruct(graphName, 2));
    ASSERT_TRUE(w.writeString("fft", fft) && w.beginStruct("c", 4));
    ASSERT_TRUE(w.writeMatrix("data", data, 5, 1) && w.writeString("unit", unit));
    ASSERT_TRUE(w.writeMatrix("color", color.data(), color.size(), 1));
    ASSERT_TRUE(w.writeString("note", "ignored") && w.endStruct() && w.endStruct());
    ASSERT_TRUE(w.writeMatrix("time", time.data(), time.size(), 1) && w.close());
}

} // namespace

TEST(LoadBuildMode, ASavedRecordingRebuildsGraphsChannelsUnitsColoursAndRate) {
    TempDir dir;
    Config saved;
    addDefaultGraph(saved);
    ChannelData& speed = addChannel(saved.graphList.front());
    speed.caption = "Speed";
    speed.unit = 16; // mV
    speed.color = 0xFF8000;
    saved.graphList.front().fft = true;
    GraphData& second = addGraph(saved);
    second.caption = "Second";
    addChannel(second).caption = "x";
    FakeGraphs graphs;
    graphs.add(0.002, {{1, 2, 3, 4}, {5, 6, 7, 8}}).add(0.002, {{9, 10, 11, 12, 13}});
    RecordingUI ui;
    ASSERT_TRUE(writeDataFile(dir.file("r.mat"), saved, graphs, ui));

    LoadedData data;
    ASSERT_TRUE(readMatDataFile(dir.file("r.mat"), data));
    EXPECT_EQ(data.maxLen, 5);
    EXPECT_TRUE(data.hasRate);
    EXPECT_EQ(data.rate, 500);
    Config config;
    applyLoadedData(data, config);
    ASSERT_EQ(config.graphList.size(), 2u);
    const GraphData& first = config.graphList.front();
    EXPECT_EQ(first.caption, "Position");
    EXPECT_TRUE(first.fft);
    ASSERT_EQ(first.channelList.size(), 2u);
    EXPECT_EQ(first.channelList[0].caption, "Encoder1");
    EXPECT_EQ(first.channelList[0].unit, 1);
    EXPECT_EQ(first.channelList[0].color, 0x0000FF);
    EXPECT_EQ(first.channelList[1].caption, "Speed");
    EXPECT_EQ(first.channelList[1].unit, 16);
    EXPECT_EQ(first.channelList[1].color, 0xFF8000);
    EXPECT_FALSE(config.graphList.back().fft);
    EXPECT_EQ(config.inputSettings.rate, 500);
    EXPECT_EQ(config.inputSettings.displayTime, 5.0f / 500.0f);
}

TEST(LoadBuildMode, TheRateOfASavedRecordingComesBackExactly) {
    TempDir dir;
    // The inverse of the time step 1/r lies just below r for these rates.
    for (int rate : {93, 99, 100000}) {
        Config saved;
        addDefaultGraph(saved);
        FakeGraphs graphs;
        graphs.add(1.0 / rate, {{1, 2, 3}});
        RecordingUI ui;
        ASSERT_TRUE(writeDataFile(dir.file("r.mat"), saved, graphs, ui));
        LoadedData data;
        ASSERT_TRUE(readMatDataFile(dir.file("r.mat"), data));
        EXPECT_EQ(data.rate, rate);
        std::remove(dir.file("r.cfg").c_str());
    }
    // Steps longer than 2 s give no rate rather than 0.
    writeHandMade(dir.file("slow.mat"), "G", "false", {0, 0, 0}, "m", {0, 2.5});
    LoadedData data;
    ASSERT_TRUE(readMatDataFile(dir.file("slow.mat"), data));
    EXPECT_FALSE(data.hasRate);
}

TEST(LoadBuildMode, ColourComponentsAreRoundedAndLimited) {
    TempDir dir;
    const std::string path = dir.file("c.mat");
    writeHandMade(path, "G", "false", {1.0, 0.5, 0.0}, "m", {0, 0.25});
    LoadedData data;
    ASSERT_TRUE(readMatDataFile(path, data));
    EXPECT_EQ(data.graphs[0].channels[0].color, 0xFF8000); // 255, 128, 0
    writeHandMade(path, "G", "false", {1.2, -0.1, 0.998}, "m", {0, 0.25});
    ASSERT_TRUE(readMatDataFile(path, data));
    EXPECT_EQ(data.graphs[0].channels[0].color, 0xFF00FE); // 255, 0, 254
}

TEST(LoadBuildMode, FftIsSetByAnyTextButFalse) {
    TempDir dir;
    writeHandMade(dir.file("f.mat"), "G", "yes", {0, 0, 0}, "m", {0, 0.25});
    LoadedData data;
    ASSERT_TRUE(readMatDataFile(dir.file("f.mat"), data));
    EXPECT_TRUE(data.graphs[0].fft);
}

TEST(LoadBuildMode, EmptyGraphNamesAreNumberedOverGraphsOnly) {
    TempDir dir;
    const std::string path = dir.file("n.mat");
    {
        KLib::MatlabWriter w(path);
        const double v[] = {1};
        ASSERT_TRUE(w.writeHeader("x"));
        for (const char* name : {"", "A", ""})
            ASSERT_TRUE(w.beginStruct(name, 1) && w.beginStruct("", 1) &&
                        w.writeMatrix("data", v, 1, 1) && w.endStruct() && w.endStruct());
        ASSERT_TRUE(w.close());
    }
    LoadedData data;
    ASSERT_TRUE(readMatDataFile(path, data));
    EXPECT_FALSE(data.hasRate);
    Config config;
    applyLoadedData(data, config);
    std::vector<std::string> names;
    for (const GraphData& g : config.graphList)
        names.push_back(g.caption);
    EXPECT_EQ(names, (std::vector<std::string>{"no_caption0", "A", "no_caption1"}));
    EXPECT_EQ(config.graphList.front().channelList[0].caption, "");
    EXPECT_EQ(config.graphList.front().channelList[0].color, 0); // no "color" field
    // Without "time" the rate stays and the display time follows it: 1 value / 10000 per s.
    EXPECT_EQ(config.inputSettings.rate, 10000);
    EXPECT_EQ(config.inputSettings.displayTime, 1.0f / 10000.0f);
}

TEST(LoadBuildMode, AnUnknownUnitTextKeepsTheDefaultUnit) {
    TempDir dir;
    writeHandMade(dir.file("u.mat"), "G", "false", {0, 0, 0}, "furlong", {0, 0.25});
    LoadedData data;
    ASSERT_TRUE(readMatDataFile(dir.file("u.mat"), data));
    Config config;
    applyLoadedData(data, config);
    EXPECT_EQ(config.graphList.front().channelList[0].unit, 1);
    EXPECT_EQ(config.inputSettings.rate, 4);
}

TEST(LoadKeepMode, ValuesComeByGraphAndChannelWithoutTouchingTheConfiguration) {
    TempDir dir;
    writeHandMade(dir.file("k.mat"), "G", "false", {0, 0, 0}, "m", {0, 0.25});
    LoadedData data;
    ASSERT_TRUE(readMatDataFile(dir.file("k.mat"), data));
    ASSERT_EQ(data.graphs.size(), 1u);
    ASSERT_EQ(data.graphs[0].channels.size(), 1u);
    EXPECT_EQ(data.graphs[0].channels[0].name, "c");
    EXPECT_EQ(data.graphs[0].channels[0].values, (std::vector<double>{1, 2, 3, 4, 5}));
    EXPECT_EQ(data.maxLen, 5);
}

TEST(LoadFailures, MissingTruncatedOrMalformedFilesAreRejected) {
    TempDir dir;
    LoadedData data;
    EXPECT_FALSE(readMatDataFile(dir.file("none.mat"), data));
    std::ofstream(dir.file("text.mat")) << "not a MAT file";
    EXPECT_FALSE(readMatDataFile(dir.file("text.mat"), data));

    writeHandMade(dir.file("t.mat"), "G", "false", {0, 0, 0}, "m", {0, 0.25});
    const std::string whole = readText(dir.file("t.mat"));
    std::ofstream(dir.file("t.mat"), std::ios::binary | std::ios::trunc)
        << whole.substr(0, whole.size() - 60);
    EXPECT_FALSE(readMatDataFile(dir.file("t.mat"), data));
}

TEST(LoadFailures, AStructInsideAChannelFailsTheFile) {
    TempDir dir;
    {
        KLib::MatlabWriter w(dir.file("s.mat"));
        ASSERT_TRUE(w.writeHeader("x") && w.beginStruct("G", 1) && w.beginStruct("c", 1));
        ASSERT_TRUE(w.beginStruct("deeper", 1) && w.writeString("a", "b"));
        ASSERT_TRUE(w.endStruct() && w.endStruct() && w.endStruct() && w.close());
    }
    LoadedData data;
    EXPECT_FALSE(readMatDataFile(dir.file("s.mat"), data));
}
