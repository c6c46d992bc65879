#include "ConfigFileTestSupport.h"
#include "config/ConfigFile.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <sys/resource.h>

namespace {

Config defaultConfig() {
    Config config;
    addDefaultGraph(config);
    return config;
}

std::string savedText(Config config, const std::string& name) {
    const std::string path = temporaryPath(name);
    EXPECT_TRUE(saveConfig(config, path));
    return readFile(path);
}

TEST(ConfigSave, DefaultConfigurationMatchesTheFileLayoutByteForByte) {
    EXPECT_EQ(savedText(defaultConfig(), "default.cfg"), expectedFile("default.cfg"));
}

TEST(ConfigSave, EveryRecordKindGetsItsClassNumberInOrderOfFirstAppearance) {
    EXPECT_EQ(savedText(fullConfig(), "full.cfg"), expectedFile("full.cfg"));
}

TEST(ConfigSave, StoresTheCurrentGraphDataVersionBeforeWriting) {
    Config config;
    ASSERT_EQ(config.GraphData_BOOST_CLASS_version, 0);
    ASSERT_TRUE(saveConfig(config, temporaryPath("version.cfg")));
    EXPECT_EQ(config.GraphData_BOOST_CLASS_version, 6);
}

TEST(ConfigSave, SavingTwiceGivesIdenticalFiles) {
    Config config = fullConfig();
    const std::string first = savedText(config, "twice1.cfg");
    EXPECT_EQ(savedText(config, "twice2.cfg"), first);
}

TEST(ConfigSave, EmptyGraphListGivesTheTextClassItsNumberOnlyAtALaterText) {
    // With no graph, the first text is the trigger's level: the text class gets its number only
    // there, after the trigger's record; the empty graph list still writes its count and the
    // element class version.
    const std::string text = savedText(Config(), "empty.cfg");
    EXPECT_NE(text.find("\t<graphList class_id=\"10\" tracking_level=\"0\" version=\"0\" "
                        "class_id=\"11\" tracking_level=\"0\" version=\"0\">\n"
                        "\t\t<count>0</count>\n"
                        "\t\t<item_version>6</item_version>\n"
                        "\t</graphList>\n"),
              std::string::npos);
    EXPECT_NE(text.find("<trigger class_id=\"12\""), std::string::npos);
    EXPECT_NE(text.find("<level class_id=\"13\" tracking_level=\"0\" version=\"0\">0</level>"),
              std::string::npos);
}

TEST(ConfigSave, EightBitTextIsWrittenByteForByte) {
    Config config = defaultConfig();
    config.graphList.front().caption = "Winkel \xB0";
    EXPECT_NE(savedText(config, "latin1.cfg").find(">Winkel \xB0</caption>"), std::string::npos);
}

TEST(ConfigSave, UnopenableFileFailsWithoutCreatingAnything) {
    Config config = defaultConfig();
    EXPECT_FALSE(saveConfig(config, temporaryPath("no-such-dir/orva.cfg")));
}

// A write that fails part way (here: the file size limit, standing in for a full disk) must
// leave the previous good file untouched and no temporary file behind.
TEST(ConfigSave, FailedWriteKeepsTheOldFile) {
    const std::string path = temporaryPath("keep.cfg");
    Config small;
    ASSERT_TRUE(saveConfig(small, path));
    const std::string before = readFile(path);

    struct rlimit old {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit tiny = old;
    tiny.rlim_cur = 512;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &tiny), 0);
    Config big = fullConfig();
    const bool saved = saveConfig(big, path);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(saved);
    EXPECT_EQ(readFile(path), before);
    for (const auto& entry : std::filesystem::directory_iterator(temporaryPath("")))
        EXPECT_EQ(entry.path().filename().string().rfind("keep.cfg.", 0), std::string::npos)
            << "left behind: " << entry.path();
}

} // namespace
