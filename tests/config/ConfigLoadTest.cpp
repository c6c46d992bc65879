#include "ConfigFileTestSupport.h"
#include "config/ConfigFile.h"

#include <gtest/gtest.h>

namespace {

bool loadText(Config& config, const std::string& text, const std::string& name) {
    const std::string path = temporaryPath(name);
    writeFile(path, text);
    return loadConfig(config, path);
}

std::string resaved(Config config, const std::string& name) {
    const std::string path = temporaryPath(name);
    EXPECT_TRUE(saveConfig(config, path));
    return readFile(path);
}

std::string dataFile(const std::string& name) {
    return readFile(std::string(ORVA_TEST_DATA_DIR) + "/config/" + name);
}

TEST(ConfigLoad, ArchiveVersion6FileLoadsEveryField) {
    Config config;
    ASSERT_TRUE(loadConfig(config, std::string(ORVA_TEST_DATA_DIR) + "/config/full.cfg"));
    const InputSettings& inputs = config.inputSettings;
    EXPECT_EQ(inputs.rate, 500000);
    EXPECT_EQ(inputs.displayTime, 0.01f);
    EXPECT_EQ(inputs.failure_add_value, -1.5f);
    ASSERT_EQ(inputs.sineInputs.size(), 1u);
    EXPECT_EQ(inputs.sineInputs[0].filterb, 6217);
    ASSERT_EQ(inputs.squareInputs.size(), 1u);
    EXPECT_EQ(inputs.squareInputs[0].periods, 0.1);
    ASSERT_EQ(inputs.ssiInputs.size(), 1u);
    EXPECT_EQ(inputs.ssiInputs[0].words[0].numBitsMultiTurn, 12);
    EXPECT_TRUE(inputs.ssiInputs[0].words[0].man_zero);
    EXPECT_EQ(inputs.ssiInputs[0].words[1].scaleFactor, 0.5);
    EXPECT_EQ(inputs.systemFrequency, 48000000);
    ASSERT_EQ(config.graphList.size(), 1u);
    const GraphData& graph = config.graphList.front();
    EXPECT_EQ(graph.caption, "Motor <1> & \"2\" 'x'");
    EXPECT_EQ(graph.fftWindow, "Blackman-Harris");
    EXPECT_EQ(graph.offset.y, 120.25);
    ASSERT_EQ(graph.channelList.size(), 1u);
    EXPECT_EQ(graph.channelList[0].offset, "-2.5");
    EXPECT_EQ(graph.channelList[0].color, 0xFF0000);
    ASSERT_EQ(graph.fftRegionList.size(), 2u);
    EXPECT_EQ(graph.fftRegionList[1].width, 1e-5);
    EXPECT_EQ(config.zero, 5);
    EXPECT_TRUE(config.lockGraphs);

    EXPECT_EQ(resaved(config, "full-again.cfg"), expectedFile("full.cfg"));
}

TEST(ConfigLoad, DiagnosticViewSettingsRoundTrip) {
    Config saved = fullConfig();
    GraphData& graph = saved.graphList.front();
    graph.lissajousInput = 3;
    graph.lissajousNominal = "1,2";
    const std::string path = temporaryPath("diagnostic.cfg");
    ASSERT_TRUE(saveConfig(saved, path));
    Config loaded;
    ASSERT_TRUE(loadConfig(loaded, path));
    const GraphData& back = loaded.graphList.front();
    EXPECT_EQ(back.lissajous, graph.lissajous);
    EXPECT_EQ(back.lissajousInput, graph.lissajousInput);
    EXPECT_EQ(back.lissajousNominal, graph.lissajousNominal);
    EXPECT_EQ(back.lissajousTolerance, graph.lissajousTolerance);
    EXPECT_EQ(back.signalQuality, graph.signalQuality);
}

TEST(ConfigLoad, GraphDataVersion4FileLoadsWithoutDiagnosticViews) {
    Config config;
    ASSERT_TRUE(loadConfig(config, std::string(ORVA_TEST_DATA_DIR) + "/config/full-v4.cfg"));
    ASSERT_EQ(config.graphList.size(), 1u);
    const GraphData& graph = config.graphList.front();
    const GraphData defaults;
    EXPECT_EQ(graph.fftWindow, "Blackman-Harris");
    EXPECT_EQ(graph.fftRegionList.size(), 2u);
    EXPECT_EQ(graph.lissajous, defaults.lissajous);
    EXPECT_EQ(graph.lissajousInput, defaults.lissajousInput);
    EXPECT_EQ(graph.lissajousNominal, defaults.lissajousNominal);
    EXPECT_EQ(graph.lissajousTolerance, defaults.lissajousTolerance);
    EXPECT_EQ(graph.signalQuality, defaults.signalQuality);
    EXPECT_EQ(config.GraphData_BOOST_CLASS_version, 4);
}

TEST(ConfigLoad, EmptyAndEightBitTextsRoundTrip) {
    Config config;
    GraphData& graph = addGraph(config);
    graph.caption = "";
    addChannel(graph).caption = "\xB0 & <>";
    const std::string path = temporaryPath("texts.cfg");
    ASSERT_TRUE(saveConfig(config, path));
    Config loaded;
    ASSERT_TRUE(loadConfig(loaded, path));
    ASSERT_EQ(loaded.graphList.size(), 1u);
    EXPECT_EQ(loaded.graphList.front().caption, "");
    EXPECT_EQ(loaded.graphList.front().channelList.at(0).caption, "\xB0 & <>");
}

TEST(ConfigLoad, CollectionsAreReplacedNotMerged) {
    Config config = fullConfig();
    addDefaultGraph(config);
    ASSERT_TRUE(loadConfig(config, std::string(ORVA_TEST_DATA_DIR) + "/config/default.cfg"));
    EXPECT_TRUE(config.inputSettings.sineInputs.empty());
    ASSERT_EQ(config.graphList.size(), 1u);
    EXPECT_EQ(config.graphList.front().caption, "Position");
}

TEST(ConfigLoad, OlderClassVersionsKeepTheFieldsTheyDoNotHold) {
    // InputSettings version 1 has no failure_add_value: the value in memory stays.
    std::string text = replaced(
        dataFile("full.cfg"), "<inputSettings class_id=\"1\" tracking_level=\"0\" version=\"2\">",
        "<inputSettings class_id=\"1\" tracking_level=\"0\" version=\"1\">");
    text = replaced(text, "\t\t<failure_add_value>-1.5</failure_add_value>\n", "");
    Config config;
    config.inputSettings.failure_add_value = 7.0f;
    ASSERT_TRUE(loadText(config, text, "input-v1.cfg"));
    EXPECT_EQ(config.inputSettings.failure_add_value, 7.0f);
    EXPECT_EQ(config.inputSettings.systemFrequency, 48000000);
}

TEST(ConfigLoad, SSIInputBeforeVersion4HoldsNothingAndLoadsAtElementDefaults) {
    std::string text = dataFile("full.cfg");
    const std::size_t itemStart = text.find("<item class_id=\"10\"");
    const std::size_t wordsEnd = text.find("</words>\n") + std::string("</words>\n").size();
    ASSERT_NE(itemStart, std::string::npos);
    // Keep the item's start tag with version 3 and drop all of its content.
    text.replace(itemStart, wordsEnd - itemStart,
                 "<item class_id=\"10\" tracking_level=\"0\" version=\"3\">\n");
    Config config = fullConfig();
    config.inputSettings.ssiInputs[0].frequency = 999;
    ASSERT_TRUE(loadText(config, text, "ssi-v3.cfg"));
    ASSERT_EQ(config.inputSettings.ssiInputs.size(), 1u);
    EXPECT_EQ(config.inputSettings.ssiInputs[0].frequency, 200);
    EXPECT_EQ(config.inputSettings.ssiInputs[0].monoflopTime, 30);
    EXPECT_EQ(config.inputSettings.ssiInputs[0].numWords, 0);
    EXPECT_EQ(config.inputSettings.analogInputs.at(0).filter, 1024);
}

TEST(ConfigLoad, ConfigVersion1LeavesTheGraphDataVersionUntouched) {
    std::string text = replaced(dataFile("default.cfg"), "version=\"5\">\n\t<inputSettings",
                                "version=\"1\">\n\t<inputSettings");
    text =
        replaced(text, "\t<GraphData_BOOST_CLASS_version>6</GraphData_BOOST_CLASS_version>\n", "");
    text = replaced(text, "\t<torvenLogo>0</torvenLogo>\n", "");
    text = replaced(text, "\t<lockGraphs>0</lockGraphs>\n", "");
    text.erase(text.find("\t<trigger"), text.find("</trigger>\n") + 11 - text.find("\t<trigger"));
    Config config;
    ASSERT_TRUE(loadText(config, text, "config-v1.cfg"));
    EXPECT_EQ(config.GraphData_BOOST_CLASS_version, 0);
    EXPECT_EQ(config.intervallGraphDisplayTextValue, 333u);
}

TEST(ConfigLoad, NineWordsInAnSSIInputAreRejected) {
    const std::string text = replaced(dataFile("full.cfg"), "<count>8</count>", "<count>9</count>");
    Config config;
    EXPECT_FALSE(loadText(config, text, "words9.cfg"));
    // Everything before the SSI input was read.
    EXPECT_EQ(config.inputSettings.rate, 500000);
    EXPECT_EQ(config.inputSettings.squareInputs.size(), 1u);
}

TEST(ConfigLoad, NewerClassVersionIsRejected) {
    const std::string text =
        replaced(dataFile("full.cfg"), "<item class_id=\"21\" tracking_level=\"0\" version=\"3\">",
                 "<item class_id=\"21\" tracking_level=\"0\" version=\"4\">");
    Config config;
    EXPECT_FALSE(loadText(config, text, "newer.cfg"));
    EXPECT_EQ(config.inputSettings.systemFrequency, 48000000);
}

TEST(ConfigLoad, NewerArchiveVersionAndWrongSignatureAreRejected) {
    Config config;
    EXPECT_FALSE(loadText(config,
                          replaced(dataFile("default.cfg"), "version=\"6\">", "version=\"99\">"),
                          "archive99.cfg"));
    EXPECT_FALSE(loadText(config,
                          replaced(dataFile("default.cfg"), "serialization::archive", "other"),
                          "signature.cfg"));
    EXPECT_TRUE(config.graphList.empty());
}

TEST(ConfigLoad, MalformedXmlStopsTheLoadAndKeepsWhatWasRead) {
    const std::string good = dataFile("full.cfg");
    const std::string cut = good.substr(0, good.find("<syncXAxis>"));
    Config config;
    EXPECT_FALSE(loadText(config, cut + "<syncXAxis>1</sync", "cut.cfg"));
    EXPECT_EQ(config.graphList.size(), 1u);
    EXPECT_EQ(config.graphList.front().fftRegionList.size(), 2u);

    Config wrongEnd;
    EXPECT_FALSE(
        loadText(wrongEnd, replaced(good, "</channelList>", "</channels>"), "wrong-end.cfg"));
    EXPECT_FALSE(loadText(wrongEnd, "not xml at all", "garbage.cfg"));
}

// Found by fuzzing: an end tag longer than the name expected there made the tag check read past
// the end of the expected name (the AddressSanitizer build catches such a read).
TEST(ConfigLoad, EndTagLongerThanTheExpectedNameIsRejected) {
    Config fuzzed;
    EXPECT_FALSE(loadConfig(fuzzed, std::string(ORVA_TEST_DATA_DIR) +
                                        "/fuzz-regressions/config-long-end-tag.cfg"));

    Config config;
    EXPECT_FALSE(loadText(
        config,
        replaced(dataFile("full.cfg"), "</channelList>", "</channelListWithAFarLongerName>"),
        "long-end.cfg"));
    ASSERT_EQ(config.graphList.size(), 0u);
    EXPECT_EQ(config.inputSettings.ssiInputs.size(), 1u);
}

// Found by fuzzing: the closing wrapper line was read in the archive's destructor, and a
// damaged or missing one threw out of it and ended the program. Now the load fails after the
// whole configuration was read.
TEST(ConfigLoad, DamagedOrMissingClosingLineFailsTheLoad) {
    Config fuzzed;
    EXPECT_FALSE(loadConfig(fuzzed, std::string(ORVA_TEST_DATA_DIR) +
                                        "/fuzz-regressions/config-damaged-trailer.cfg"));
    EXPECT_EQ(fuzzed.graphList.size(), 1u);

    const std::string good = dataFile("full.cfg");
    Config truncated;
    EXPECT_FALSE(loadText(truncated, good.substr(0, good.find("</boost_serialization>")),
                          "no-closing-line.cfg"));
    EXPECT_TRUE(truncated.lockGraphs);
}

TEST(ConfigLoad, AGraphThatFailsHalfWayIsNotAppended) {
    // The second graph breaks inside its channel list; the first one stays.
    Config two = fullConfig();
    addDefaultGraph(two);
    const std::string path = temporaryPath("two.cfg");
    ASSERT_TRUE(saveConfig(two, path));
    const std::string text = readFile(path);
    const std::size_t second = text.find("<caption>Encoder1</caption>");
    ASSERT_NE(second, std::string::npos);
    Config config;
    EXPECT_FALSE(loadText(config, text.substr(0, second) + "<caption>Enc</oops>", "half.cfg"));
    ASSERT_EQ(config.graphList.size(), 1u);
    EXPECT_EQ(config.graphList.front().fftWindow, "Blackman-Harris");
}

TEST(ConfigLoad, MissingFileChangesNothing) {
    Config config = fullConfig();
    EXPECT_FALSE(loadConfig(config, temporaryPath("does-not-exist.cfg")));
    EXPECT_EQ(resaved(config, "unchanged.cfg"), expectedFile("full.cfg"));
}

} // namespace
