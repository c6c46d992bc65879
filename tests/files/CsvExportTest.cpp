// The CSV export in a decimal-comma and a decimal-point locale, name fixes, empty cells and
// failures.

#include "files/CsvExport.h"
#include "files/DataFileWriter.h"
#include "files/LocaleNumber.h"

#include "FilesTestSupport.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <limits>
#include <unistd.h>

using namespace FilesTest;

namespace {

// Switches the process locale for one test.
class LocaleGuard {
public:
    explicit LocaleGuard(const char* name) : ok_(std::setlocale(LC_ALL, name) != nullptr) {}
    ~LocaleGuard() { std::setlocale(LC_ALL, "C"); }
    bool ok() const { return ok_; }

private:
    bool ok_;
};

} // namespace

TEST(CsvLocale, DecimalCommaUsesSemicolonsAndKeepsColoursWithPoints) {
    LocaleGuard german("de_DE.UTF-8");
    ASSERT_TRUE(german.ok());
    EXPECT_EQ(csvSeparator(), ';');
    TempDir dir;
    Config config;
    addDefaultGraph(config);
    config.graphList.front().channelList[0].unit = 5; // m
    config.graphList.front().channelList[0].color = 0x008000;
    FakeGraphs graphs;
    graphs.add(0.5, {{1.5, -2.25}});
    RecordingUI ui;
    ASSERT_TRUE(writeDataFile(dir.file("run.csv"), config, graphs, ui));
    EXPECT_EQ(readText(dir.file("run.csv")),
              "time;Position.Encoder1\ns;m\n;0 0.501961 0\n0;1,5\n0,5;-2,25\n");
    EXPECT_EQ(ui.statuses,
              (std::vector<std::string>{"Writing CSV file...", "Done writing CSV file"}));
    EXPECT_TRUE(ui.savedConfigs.empty()); // no side configuration for CSV
}

TEST(CsvLocale, DecimalPointUsesCommasAndFixesChannelNames) {
    LocaleGuard plain("C");
    EXPECT_EQ(csvSeparator(), ',');
    TempDir dir;
    Config config;
    GraphData& g = addGraph(config);
    g.caption = "G";
    addChannel(g).caption = "Motor speed";
    addChannel(g).caption = "";
    GraphData& h = addGraph(config);
    h.caption = "H";
    addChannel(h).caption = "";
    FakeGraphs graphs;
    // The last graph's period (0.25 s) gives the time column; H is shorter than G.
    graphs.add(1.0, {{1, 2, 3}, {4, 5, 6}}).add(0.25, {{1e-7}});
    RecordingUI ui;
    ASSERT_TRUE(writeCsvFile(dir.file("run.csv"), config, graphs, ui));
    EXPECT_EQ(readText(dir.file("run.csv")), "time,G.Motor_speed,G.no_caption0,H.no_caption1\n"
                                             "s,1,1,1\n"
                                             ",0 0 1,0 0 1,0 0 1\n"
                                             "0,1,4,1e-07\n"
                                             "0.25,2,5,\n"
                                             "0.5,3,6,\n");
    EXPECT_EQ(g.channelList[0].caption, "Motor_speed");
    EXPECT_EQ(h.channelList[0].caption, "no_caption1");
    EXPECT_EQ(ui.statuses.back(), "Done writing CSV file");
}

TEST(CsvContent, EachExportCountsItsOwnReplacements) {
    TempDir dir;
    Config config;
    GraphData& g = addGraph(config);
    addChannel(g).caption = "";
    FakeGraphs graphs;
    graphs.add(1.0, {{}});
    RecordingUI ui;
    ASSERT_TRUE(writeCsvFile(dir.file("a.csv"), config, graphs, ui));
    addChannel(g).caption = "";
    ASSERT_TRUE(writeCsvFile(dir.file("b.csv"), config, graphs, ui));
    // The graph name stays empty; the second export starts counting at 0 again.
    EXPECT_EQ(readText(dir.file("b.csv")), "time,.no_caption0,.no_caption0\ns,1,1\n,0 0 1,0 0 1\n");
}

TEST(CsvContent, AStoppedSweepLeavesEmptyCellsAndSaysSo) {
    LocaleGuard plain("C");
    TempDir dir;
    Config config;
    addDefaultGraph(config);
    addChannel(config.graphList.front()).caption = "b";
    FakeGraphs graphs;
    graphs.add(1.0, {{1, 2, 3}, {4, 5, 6}});
    graphs.graphs[0].fresh = 1;
    RecordingUI ui;
    ASSERT_TRUE(writeCsvFile(dir.file("s.csv"), config, graphs, ui));
    EXPECT_EQ(readText(dir.file("s.csv")),
              "time,Position.Encoder1,Position.b\ns,1,1\n,0 0 1,0 0 1\n0,1,4\n1,,\n2,,\n");
    EXPECT_EQ(ui.statuses.back(),
              "Done writing CSV file; samples not reached by the stopped sweep are left empty");
}

TEST(CsvFailures, AFileThatCantBeCreatedIsReported) {
    TempDir dir;
    Config config;
    addDefaultGraph(config);
    FakeGraphs graphs;
    graphs.add(1.0, {{1}});
    RecordingUI ui;
    const std::string path = dir.file("missing/run.csv");
    EXPECT_FALSE(writeCsvFile(path, config, graphs, ui));
    EXPECT_EQ(ui.messages, std::vector<std::string>{"Can't create file " + path + " | Message"});
    EXPECT_EQ(ui.statuses.back(), "");
}

TEST(CsvFailures, AFullDiskKeepsTheExistingFile) {
    TempDir dir;
    const std::string path = dir.file("run.csv");
    std::ofstream(path) << "previous export";
    ASSERT_EQ(symlink("/dev/full", (path + ".partial").c_str()), 0);
    Config config;
    addDefaultGraph(config);
    FakeGraphs graphs;
    graphs.add(1.0, {{1, 2}});
    RecordingUI ui;
    EXPECT_FALSE(writeCsvFile(path, config, graphs, ui));
    EXPECT_EQ(ui.messages,
              std::vector<std::string>{"Can't write file " + path +
                                       ": the disk is full or the folder is not writable | "
                                       "Message"});
    EXPECT_EQ(readText(path), "previous export");
    EXPECT_FALSE(exists(path + ".partial"));
}

TEST(CsvLocale, NumbersAreWrittenAsPrintfWritesThemInBothLocales) {
    std::vector<double> values = {0.0,
                                  -0.0,
                                  1.5,
                                  -2.25,
                                  100000,
                                  999999.5,
                                  1234567,
                                  1e-5,
                                  1e-4,
                                  0.00012345678,
                                  1e300,
                                  -1e-300,
                                  5e-324,
                                  std::numeric_limits<double>::infinity(),
                                  -std::numeric_limits<double>::infinity(),
                                  std::numeric_limits<double>::quiet_NaN()};
    // Ties and near-ties of the sixth digit across many magnitudes.
    for (int e = -12; e <= 12; ++e)
        for (double mantissa : {1.000005, 1.0000050000000001, 9.999995, 3.141592653589793})
            values.push_back(mantissa * std::pow(10.0, e));
    for (const char* locale : {"C", "de_DE.UTF-8"}) {
        LocaleGuard guard(locale);
        ASSERT_TRUE(guard.ok()) << locale;
        const LocaleNumberFormat format;
        for (double value : values) {
            char expected[64];
            std::snprintf(expected, sizeof expected, "%g", value);
            char written[LocaleNumberFormat::MaxChars];
            EXPECT_EQ(std::string(written, format.write(value, written)), expected) << locale;
        }
    }
}
