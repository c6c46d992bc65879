// MAT content per graph, channel and time, checked with SciPy's independent reader; the save
// sequence with the side configuration file; failures that must leave files on disk intact.

#include "files/DataFileWriter.h"
#include "files/MatDataReader.h"

#include "FilesTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <unistd.h>

using namespace FilesTest;

namespace {

// Graph "" (fft) with channels "" (rad, orange) and "Speed 2" (1/s, blue), 3 samples; graph
// "Empty" without samples; graph "Position" with "Encoder1" (defaults), 2 samples; 1 ms period.
void threeGraphs(Config& config, FakeGraphs& graphs) {
    GraphData& first = addGraph(config);
    first.fft = true;
    ChannelData& a = addChannel(first);
    a.unit = 2;
    a.color = 0xFF8000;
    ChannelData& b = addChannel(first);
    b.caption = "Speed 2";
    b.unit = 7;
    addChannel(addGraph(config)).caption = "";
    config.graphList.back().caption = "Empty";
    addDefaultGraph(config);
    graphs.add(0.001, {{0.5, -1.25, 2.0}, {10, 20, 30}});
    graphs.add(0.001, {{}});
    graphs.add(0.001, {{7, 8}});
}

const char* const ThreeGraphsDump =
    "header: MATLAB 5.0 MAT-file, Created by ORVA 2 USB\n"
    "no_caption0: struct 1x1 fields fft,no_caption1,Speed_2\n"
    "no_caption0.fft: char 1x4 'true'\n"
    "no_caption0.no_caption1: struct 1x1 fields data,unit,color\n"
    "no_caption0.no_caption1.data: double 3x1 0.5 -1.25 2.0\n"
    "no_caption0.no_caption1.unit: char 1x3 'rad'\n"
    "no_caption0.no_caption1.color: double 3x1 1.0 0.5019607843137255 0.0\n"
    "no_caption0.Speed_2: struct 1x1 fields data,unit,color\n"
    "no_caption0.Speed_2.data: double 3x1 10.0 20.0 30.0\n"
    "no_caption0.Speed_2.unit: char 1x3 '1/s'\n"
    "no_caption0.Speed_2.color: double 3x1 0.0 0.0 1.0\n"
    "Position: struct 1x1 fields fft,Encoder1\n"
    "Position.fft: char 1x5 'false'\n"
    "Position.Encoder1: struct 1x1 fields data,unit,color\n"
    "Position.Encoder1.data: double 2x1 7.0 8.0\n"
    "Position.Encoder1.unit: char 1x1 '1'\n"
    "Position.Encoder1.color: double 3x1 0.0 0.0 1.0\n"
    "time: double 3x1 0.0 0.001 0.002\n"
    "exit 0";

// The three graphs with the figures of a Lissajous view and a signal-quality table.
class GraphsWithDiagnostics : public FakeGraphs {
public:
    std::vector<DiagnosticRecord> diagnosticRecords() const override {
        return {{"Motor shaft at the gearbox end", "lissajous", {{"radius", 0.5}}},
                {"Position", "signal quality", {{"amplitudeA", 1.25}, {"jitter", 0.0}}}};
    }
};

} // namespace

TEST(MatDataContent, DiagnosticViewsAreStructsBesideTheGraphsThatReadersSkip) {
    TempDir dir;
    Config config;
    GraphsWithDiagnostics graphs;
    threeGraphs(config, graphs);
    RecordingUI ui;
    ASSERT_TRUE(writeDataFile(dir.file("run1.mat"), config, graphs, ui));

    std::string expected = ThreeGraphsDump;
    expected.replace(expected.find("time:"), 0,
                     "Motor_shaft_at_the_gearbox_end_: struct 1x1 fields diagnostic,graph,radius\n"
                     "Motor_shaft_at_the_gearbox_end_.diagnostic: char 1x9 'lissajous'\n"
                     "Motor_shaft_at_the_gearbox_end_.graph: char 1x30 "
                     "'Motor shaft at the gearbox end'\n"
                     "Motor_shaft_at_the_gearbox_end_.radius: double 1x1 0.5\n"
                     "Position_quality: struct 1x1 fields diagnostic,graph,amplitudeA,jitter\n"
                     "Position_quality.diagnostic: char 1x14 'signal quality'\n"
                     "Position_quality.graph: char 1x8 'Position'\n"
                     "Position_quality.amplitudeA: double 1x1 1.25\n"
                     "Position_quality.jitter: double 1x1 0.0\n");
    EXPECT_EQ(dumpWithSciPy(dir.file("run1.mat")), expected);

    LoadedData data;
    ASSERT_TRUE(readMatDataFile(dir.file("run1.mat"), data));
    ASSERT_EQ(data.graphs.size(), 2u);
    EXPECT_EQ(data.graphs[0].name, "no_caption0");
    EXPECT_EQ(data.graphs[0].channels.size(), 2u);
    EXPECT_EQ(data.graphs[1].name, "Position");
    EXPECT_EQ(data.graphs[1].channels.size(), 1u);
    EXPECT_TRUE(data.hasRate);
    EXPECT_EQ(data.maxLen, 3);
}

TEST(MatDataContent, SciPyReadsGraphsChannelsAndTime) {
    TempDir dir;
    Config config;
    FakeGraphs graphs;
    threeGraphs(config, graphs);
    RecordingUI ui;
    ASSERT_TRUE(writeDataFile(dir.file("run1.mat"), config, graphs, ui));
    EXPECT_EQ(dumpWithSciPy(dir.file("run1.mat")), ThreeGraphsDump);
}

TEST(MatDataContent, ReplacedNamesStayInTheConfiguration) {
    TempDir dir;
    Config config;
    FakeGraphs graphs;
    threeGraphs(config, graphs);
    RecordingUI ui;
    ASSERT_TRUE(writeDataFile(dir.file("run1.mat"), config, graphs, ui));
    const GraphData& first = config.graphList.front();
    EXPECT_EQ(first.caption, "no_caption0");
    EXPECT_EQ(first.channelList[0].caption, "no_caption1");
    EXPECT_EQ(first.channelList[1].caption, "Speed_2");
    // The graph without samples is not written, so its empty channel name stays.
    EXPECT_EQ(std::next(config.graphList.begin())->channelList[0].caption, "");
}

TEST(MatDataContent, WithoutSamplesTheFileHoldsOnlyTheHeader) {
    TempDir dir;
    Config config;
    addDefaultGraph(config);
    FakeGraphs graphs;
    graphs.add(0.001, {{}});
    RecordingUI ui;
    ASSERT_TRUE(writeDataFile(dir.file("empty.mat"), config, graphs, ui));
    EXPECT_EQ(readText(dir.file("empty.mat")).size(), 128u);
    EXPECT_EQ(dumpWithSciPy(dir.file("empty.mat")),
              "header: MATLAB 5.0 MAT-file, Created by ORVA 2 USB\nexit 0");
}

TEST(MatDataContent, AStoppedSweepWritesNaNWhereNoFreshSampleIs) {
    TempDir dir;
    Config config;
    addChannel(addGraph(config)).caption = "a";
    config.graphList.front().caption = "G";
    addChannel(config.graphList.front()).caption = "b";
    FakeGraphs graphs;
    graphs.add(0.5, {{1, 2, 3, 4}, {5, 6, 7, 8}});
    graphs.graphs[0].fresh = 2; // only the first two samples of the last sweep
    RecordingUI ui;
    ASSERT_TRUE(writeDataFile(dir.file("stop.mat"), config, graphs, ui));
    LoadedData data;
    ASSERT_TRUE(readMatDataFile(dir.file("stop.mat"), data));
    ASSERT_EQ(data.graphs.size(), 1u);
    for (int c = 0; c < 2; ++c) {
        const std::vector<double>& v = data.graphs[0].channels[c].values;
        ASSERT_EQ(v.size(), 4u);
        EXPECT_EQ(v[0], 1 + 4 * c);
        EXPECT_EQ(v[1], 2 + 4 * c);
        EXPECT_TRUE(std::isnan(v[2]) && std::isnan(v[3])) << "channel " << c;
    }
    EXPECT_EQ(ui.statuses.back(),
              "Done writing MATLAB file; samples not reached by the stopped sweep are written "
              "as NaN");
}

TEST(SaveData, WritesSideConfigurationThenDataWithoutAsking) {
    TempDir dir;
    Config config;
    FakeGraphs graphs;
    threeGraphs(config, graphs);
    RecordingUI ui;
    ASSERT_TRUE(writeDataFile(dir.file("run1.mat"), config, graphs, ui));
    EXPECT_TRUE(ui.questions.empty());
    EXPECT_EQ(ui.savedConfigs, std::vector<std::string>{dir.file("run1.cfg.partial")});
    EXPECT_EQ(ui.statuses, (std::vector<std::string>{
                               "Writing configuration file...", "Configuration saved successfully",
                               "Writing MATLAB file...", "Done writing MATLAB file"}));
    EXPECT_EQ(fileNames(dir.path()), (std::vector<std::string>{"run1.cfg", "run1.mat"}));
}

TEST(SaveData, UpperCaseExtensionIsAnUnknownFileType) {
    TempDir dir;
    Config config;
    FakeGraphs graphs;
    threeGraphs(config, graphs);
    RecordingUI ui;
    EXPECT_FALSE(writeDataFile(dir.file("run1.MAT"), config, graphs, ui));
    EXPECT_EQ(ui.messages, std::vector<std::string>{"Unknown file type | Message"});
    EXPECT_FALSE(exists(dir.file("run1.MAT")));
    EXPECT_FALSE(exists(dir.file("run1.cfg")));
}

TEST(SaveData, DecliningTheSideFileOverwriteWritesNothing) {
    TempDir dir;
    std::ofstream(dir.file("run1.cfg")) << "old";
    Config config;
    FakeGraphs graphs;
    threeGraphs(config, graphs);
    RecordingUI ui;
    ui.answer = false;
    EXPECT_FALSE(writeDataFile(dir.file("run1.mat"), config, graphs, ui));
    EXPECT_EQ(ui.questions,
              std::vector<std::string>{"A configuration file with the following name already "
                                       "exists, do you want to overwrite it?" +
                                       dir.file("run1.cfg") + " | File Overwrite Confirmation"});
    EXPECT_EQ(ui.statuses, (std::vector<std::string>{"Writing configuration file...", ""}));
    EXPECT_EQ(readText(dir.file("run1.cfg")), "old");
    EXPECT_FALSE(exists(dir.file("run1.mat")));
}

TEST(SaveData, AnExistingDataFileOverwritesItsSideFileWithoutAsking) {
    TempDir dir;
    std::ofstream(dir.file("run1.cfg")) << "old";
    std::ofstream(dir.file("run1.mat")) << "old";
    Config config;
    FakeGraphs graphs;
    threeGraphs(config, graphs);
    RecordingUI ui;
    ui.answer = false;
    EXPECT_TRUE(writeDataFile(dir.file("run1.mat"), config, graphs, ui));
    EXPECT_TRUE(ui.questions.empty());
    EXPECT_EQ(readText(dir.file("run1.cfg")), "<config/>");
    EXPECT_EQ(dumpWithSciPy(dir.file("run1.mat")), ThreeGraphsDump);
}

TEST(SaveData, AMissingFolderIsReportedAsFileThatCantBeCreated) {
    TempDir dir;
    Config config;
    FakeGraphs graphs;
    threeGraphs(config, graphs);
    RecordingUI ui;
    const std::string path = dir.file("missing/run1.mat");
    EXPECT_FALSE(writeDataFile(path, config, graphs, ui));
    EXPECT_EQ(ui.messages, std::vector<std::string>{"Can't create file " + path + " | Message"});
    EXPECT_NE(ui.statuses.back(), "Done writing MATLAB file");
}

TEST(SaveData, AFullDiskKeepsTheExistingDataFileWithItsOwnConfiguration) {
    TempDir dir;
    const std::string path = dir.file("run1.mat");
    std::ofstream(path) << "previous recording";
    std::ofstream(dir.file("run1.cfg")) << "previous configuration";
    // The file is written under its staging name first; that name leads to a full device.
    ASSERT_EQ(symlink("/dev/full", (path + ".partial").c_str()), 0);
    Config config;
    FakeGraphs graphs;
    threeGraphs(config, graphs);
    RecordingUI ui;
    EXPECT_FALSE(writeDataFile(path, config, graphs, ui));
    EXPECT_EQ(ui.messages,
              std::vector<std::string>{"Can't write file " + path +
                                       ": the disk is full, the folder is not writable or the "
                                       "data are too large for a MAT file | Message"});
    EXPECT_EQ(readText(path), "previous recording");
    EXPECT_EQ(readText(dir.file("run1.cfg")), "previous configuration");
    EXPECT_EQ(fileNames(dir.path()), (std::vector<std::string>{"run1.cfg", "run1.mat"}));
}
