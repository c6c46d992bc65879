// Large saves and loads report their progress from 0 to 1 and end the report; small ones report
// nothing.

#include "files/DataFileWriter.h"
#include "files/MatDataReader.h"

#include "FilesTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace FilesTest;

namespace {

// Two channels of 2,000,000 samples and their time column: 6,000,000 values.
FakeGraphs largeRecording() {
    std::vector<double> ramp(2000000);
    for (std::size_t k = 0; k < ramp.size(); ++k)
        ramp[k] = static_cast<double>(k) * 0.5;
    FakeGraphs graphs;
    graphs.add(1e-5, {ramp, ramp});
    return graphs;
}

Config twoChannels() {
    Config config;
    addDefaultGraph(config);
    addChannel(config.graphList.front()).caption = "second";
    return config;
}

void expectWholeReport(const RecordingUI& ui, const std::string& title) {
    EXPECT_EQ(ui.progressTitles, std::vector<std::string>{title});
    ASSERT_GE(ui.progress.size(), 2u);
    EXPECT_EQ(ui.progress.front(), 0.0);
    EXPECT_EQ(ui.progress.back(), 1.0);
    EXPECT_TRUE(std::is_sorted(ui.progress.begin(), ui.progress.end()));
    EXPECT_EQ(ui.progressEnds, 1);
}

} // namespace

TEST(FileProgress, LargeSavesAndLoadsReportFromZeroToOne) {
    TempDir dir;
    const FakeGraphs graphs = largeRecording();
    for (const char* name : {"large.mat", "large.csv"}) {
        Config config = twoChannels();
        RecordingUI ui;
        ASSERT_TRUE(writeDataFile(dir.file(name), config, graphs, ui));
        expectWholeReport(ui, name == std::string("large.mat") ? "Writing MATLAB file"
                                                               : "Writing CSV file");
    }
    RecordingUI ui;
    LoadedData data;
    ASSERT_TRUE(readMatDataFile(dir.file("large.mat"), data, &ui));
    EXPECT_EQ(data.maxLen, 2000000);
    expectWholeReport(ui, "Reading MATLAB file");
}

TEST(FileProgress, SmallSavesAndLoadsReportNothing) {
    TempDir dir;
    FakeGraphs graphs;
    graphs.add(1e-3, {{1, 2, 3}, {4, 5, 6}});
    for (const char* name : {"small.mat", "small.csv"}) {
        Config config = twoChannels();
        RecordingUI ui;
        ASSERT_TRUE(writeDataFile(dir.file(name), config, graphs, ui));
        EXPECT_TRUE(ui.progress.empty()) << name;
        EXPECT_EQ(ui.progressEnds, 0);
    }
    RecordingUI ui;
    LoadedData data;
    ASSERT_TRUE(readMatDataFile(dir.file("small.mat"), data, &ui));
    EXPECT_TRUE(ui.progress.empty());
}
