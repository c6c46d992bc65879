#include "RecordingEngine.h"
#include "SciPyDump.h"
#include "SimulatedBox.h"
#include "files/MatDataReader.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

using namespace std::chrono_literals;

// A box that replays each run and loses every 97th frame: orva-cli and the engine of this test
// get the same frames from it.
boxsim::BoxConfig replayingBoxWithDrops() {
    boxsim::BoxConfig box = boxWithInputs("sin1");
    box.replayEachRun = true;
    box.faults.dropEvery = 97;
    return box;
}

class CommandLineRecord : public ::testing::Test {
protected:
    CommandLineRecord() : box_(replayingBoxWithDrops()) {
        directory_ =
            std::filesystem::temp_directory_path() / ("orva-record-" + std::to_string(::getpid()));
        std::filesystem::create_directories(directory_);
    }
    ~CommandLineRecord() override { std::filesystem::remove_all(directory_); }

    // orva-cli record with the default configuration (no per-user file); its exit status.
    int record(const std::string& options, const std::string& prefix = std::string()) {
        const std::string command = prefix + "env XDG_CONFIG_HOME='" + directory_.string() +
                                    "/config' " ORVA_CLI_PATH " record " + options + " " +
                                    box_.path() + " 2>'" + (directory_ / "err.txt").string() + "'";
        const int status = std::system(command.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    std::string file(const std::string& name) const { return (directory_ / name).string(); }
    std::string errors() const {
        std::ifstream in(file("err.txt"));
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    SimulatedBox box_;
    std::filesystem::path directory_;
};

// The CSV file's second column and the loss table beside it.
void readCsv(const std::string& path, std::vector<double>& values, std::vector<double>& times,
             std::vector<FrameLoss>& losses) {
    std::ifstream in(path);
    std::string line;
    for (int header = 0; header < 3; ++header)
        std::getline(in, line);
    while (std::getline(in, line)) {
        char* end = nullptr;
        times.push_back(std::strtod(line.c_str(), &end));
        values.push_back(std::strtod(end + 1, nullptr));
    }
    std::ifstream table(path.substr(0, path.size() - 4) + ".lost.csv");
    std::getline(table, line);
    FrameLoss loss;
    char comma = 0;
    while (table >> loss.atSample >> comma >> loss.frames >> comma >> loss.substitutes)
        losses.push_back(loss);
}

// A recording in MATLAB's 7.3 layout or a MATLAB 5 file, read by h5py or SciPy.
void readMat(const std::string& path, std::vector<double>& values, std::vector<double>& times,
             std::vector<FrameLoss>& losses) {
    const std::string python = pythonWith("h5py");
    std::istringstream dump(commandOutput(python +
                                          " '" ORVA_TEST_DATA_DIR "/mat/dump_recording.py' '" +
                                          path + "' Position Encoder1"));
    std::string word;
    std::size_t dataCount = 0, timeCount = 0, lossCount = 0;
    dump >> word >> dataCount >> word >> timeCount;
    values.resize(dataCount);
    times.resize(timeCount);
    for (double& value : values)
        dump >> value;
    for (double& time : times)
        dump >> time;
    dump >> word >> lossCount;
    losses.resize(lossCount);
    for (FrameLoss& loss : losses) {
        dump >> loss.atSample >> loss.frames >> loss.substitutes;
        --loss.atSample; // MATLAB counts rows from 1
    }
}

TEST_F(CommandLineRecord, EachFormatHoldsTheValuesSubstitutesAndLossesTheProgramGets) {
    if (pythonWith("h5py").empty())
        GTEST_SKIP() << "no python3 with h5py";
    RecordedGraph reference(1);
    {
        Engine engine;
        Config config;
        addDefaultGraph(config);
        ASSERT_EQ(engine.connect(config, box_.path()), ConnectResult::Connected);
        engine.record(1000ms, reference);
    }
    for (const std::string name : {"run.csv", "run.h5", "run.mat"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(record("--seconds 1 --output " + file(name)), 5) << errors(); // frames lost
        std::vector<double> values, times;
        std::vector<FrameLoss> losses;
        (name == "run.csv" ? readCsv : readMat)(file(name), values, times, losses);
        const std::size_t common = std::min(values.size(), reference.values[0].size());
        ASSERT_GT(common, 5000u); // over half a second at 10 kS/s
        ASSERT_EQ(times.size(), values.size());
        for (std::size_t k = 0; k < common; ++k) {
            ASSERT_EQ(values[k], reference.values[0][k]) << "sample " << k;
            ASSERT_EQ(times[k], static_cast<double>(k) * (1.0 / 10000)) << "sample " << k;
        }
        ASSERT_GE(losses.size(), common / 97 - 1);
        for (std::size_t i = 0; i < losses.size() && losses[i].atSample < common; ++i)
            ASSERT_TRUE(sameLoss(losses[i], reference.losses.at(i))) << "loss " << i;
    }
}

// A recording passed through every file type by orva-cli convert comes back as it was.
TEST_F(CommandLineRecord, ConvertCarriesValuesAndLossesThroughEveryFileType) {
    if (pythonWith("h5py").empty() || pythonWith("scipy.io").empty())
        GTEST_SKIP() << "no python3 with h5py and scipy";
    ASSERT_EQ(record("--seconds 1 --output " + file("first.h5")), 5) << errors();
    const std::vector<std::string> chain = {"first.h5", "second.csv", "third.mat", "last.h5"};
    for (std::size_t i = 1; i < chain.size(); ++i) {
        const std::string command =
            ORVA_CLI_PATH " convert '" + file(chain[i - 1]) + "' '" + file(chain[i]) + "'";
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
    }
    std::vector<double> values, times, endValues, endTimes;
    std::vector<FrameLoss> losses, endLosses;
    readMat(file("first.h5"), values, times, losses);
    readMat(file("last.h5"), endValues, endTimes, endLosses);
    ASSERT_GT(values.size(), 5000u);
    EXPECT_EQ(endValues, values);
    EXPECT_EQ(endTimes, times);
    ASSERT_EQ(endLosses.size(), losses.size());
    for (std::size_t i = 0; i < losses.size(); ++i)
        EXPECT_TRUE(sameLoss(endLosses[i], losses[i])) << "loss " << i;
    // Load Data reads the 7.3 layout too.
    LoadedData loaded;
    ASSERT_TRUE(readMatDataFile(file("last.h5"), loaded));
    EXPECT_EQ(loaded.graphs.at(0).channels.at(0).values, values);
    EXPECT_EQ(loaded.rate, 10000);
}

// Ctrl-C ends the recording early, with a complete file; and a file the disk does not take
// ends it with a message instead of a crash, the file readable up to there.
TEST_F(CommandLineRecord, CtrlCLeavesACompleteFileAndAFullDiskEndsWithAMessage) {
    if (pythonWith("h5py").empty())
        GTEST_SKIP() << "no python3 with h5py";
    EXPECT_EQ(record("--seconds 60 --output " + file("stopped.h5"),
                     "timeout --preserve-status -s INT 4 "),
              5)
        << errors();
    std::vector<double> values, times;
    std::vector<FrameLoss> losses;
    readMat(file("stopped.h5"), values, times, losses);
    EXPECT_GT(values.size(), 1000u);
    EXPECT_EQ(times.size(), values.size());
    EXPECT_FALSE(losses.empty());

    // 4 MiB of file at most (8192 blocks of 512 bytes, as the shell counts them): the disk is
    // full after a few seconds at 100 kS/s. Both formats end with the message and read up to
    // there, the .h5 file at least up to its first flush after a second, with the losses.
    for (const std::string name : {"full.h5", "full.csv"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(record("--seconds 20 --rate 100000 --output " + file(name), "ulimit -f 8192; "),
                  6);
        EXPECT_NE(errors().find("Can't write"), std::string::npos) << errors();
    }
    values.clear();
    times.clear();
    losses.clear();
    readMat(file("full.h5"), values, times, losses);
    EXPECT_GT(values.size(), 100000u);
    EXPECT_EQ(times.size(), values.size());
    EXPECT_FALSE(losses.empty());
    values.clear();
    times.clear();
    losses.clear();
    readCsv(file("full.csv"), values, times, losses);
    EXPECT_GT(values.size(), 10000u);
    EXPECT_EQ(times.size(), values.size());
    EXPECT_FALSE(losses.empty());
    // Cut after its last whole line.
    std::ifstream cut(file("full.csv"), std::ios::binary);
    cut.seekg(-1, std::ios::end);
    EXPECT_EQ(cut.get(), '\n');
}

} // namespace
