#include "device/BoxLink.h"
#include "SimulatedBox.h"
#include "signal/ChannelSelection.h"

#include <gtest/gtest.h>

namespace {

// Records what the link asks of the program; a stop of the recording is passed back to the
// link like the program does.
class RecordingHost : public BoxHost {
public:
    BoxLink* link = nullptr;
    std::vector<std::string> messages;
    std::vector<std::string> statuses;
    int choice = 0;
    std::vector<std::string> offeredDevices;
    ChannelSelection selection;
    KLib::IODevice* dataPipe = nullptr;

    void showMessage(const std::string& text) override { messages.push_back(text); }
    int chooseDevice(const std::vector<std::string>& entries) override {
        offeredDevices = entries;
        return choice;
    }
    void showStatus(const std::string& text) override { statuses.push_back(text); }
    void stopRecording() override { link->stopRun(); }
    void selectionSent(const ChannelSelection& s) override { selection = s; }
    void dataPipeChanged(KLib::IODevice* pipe) override { dataPipe = pipe; }
};

class BoxLinkTest : public ::testing::Test {
protected:
    BoxLinkTest() : link(host) {
        host.link = &link;
        link.setCommandPause(std::chrono::milliseconds(0));
    }
    RecordingHost host;
    BoxLink link;
};

// One text with a line per command, so that a failure shows a readable diff.
std::string lines(const std::vector<std::string>& commands) {
    std::string text;
    for (const std::string& command : commands)
        text += command + "\n";
    return text;
}

std::vector<std::string> defaultConfigurationLines(const std::string& frequency) {
    std::vector<std::string> lines = {"OUT:USB:FREQ " + frequency, "OUT:USB:FREQ " + frequency};
    for (const char* p : {"IN:1", "IN:2"})
        for (const char* c : {":THRESHOLD 128", ":FILTER 7", ":FILTERA 7", ":FILTERB 7"})
            lines.push_back(std::string(p) + c);
    return lines;
}

// A box with every input kind, a configuration that uses shared slots, second sources and the
// extreme thresholds: the box receives exactly this, in this order.
TEST_F(BoxLinkTest, ConnectSendsTheWholeConfigurationInOrder) {
    SimulatedBox box(boxWithInputs("sin2sq1ssi1ana1"));
    Config config;
    config.inputSettings.rate = 500000;
    resizeInputs(config.inputSettings, 2, 1, 1, 1);
    config.inputSettings.sineInputs[0].threshold = -100000;
    config.inputSettings.sineInputs[1].threshold = 100000;
    config.inputSettings.ssiInputs[0].numWords = 1;
    config.inputSettings.ssiInputs[0].words[0].numBits = 25;
    GraphData& graph = addGraph(config);
    ChannelData& sum = addChannel(graph); // input 1 position + its velocity
    sum.op = 1;
    sum.input2 = 0;
    sum.channel2 = 1;
    addChannel(graph).input = 1; // second SinCos position
    ChannelData& a = addChannel(graph);
    a.input = 2; // HTL/TTL A ...
    a.channel = 2;
    ChannelData& b = addChannel(graph);
    b.input = 2; // ... and B share one slot
    b.channel = 3;
    ChannelData& word = addChannel(graph);
    word.input = 3;
    word.channel = 3;
    ChannelData& analog = addChannel(graph);
    analog.input = 9; // beyond the inputs: the last input, the Analog one
    analog.channel = 5;

    ASSERT_EQ(link.connect(config), ConnectResult::Connected);
    link.disconnect();
    box.stop();

    std::vector<std::string> expected = {"*IDN?", "TRIGGER:RUN 0", "KELLMAR:CAP?"};
    std::vector<std::string> configuration = defaultConfigurationLines("-2147483648");
    configuration[2] = "IN:1:THRESHOLD 0";
    configuration[6] = "IN:2:THRESHOLD 255";
    expected.insert(expected.end(), configuration.begin(), configuration.end());
    const std::vector<std::string> rest = {"IN:3:FILTER 0",
                                           "IN:4:FREQUENCY 200",
                                           "IN:4:MONOFLOP 30",
                                           "IN:4:CABLELENGTH 0",
                                           "IN:4:WORDS 1",
                                           "IN:4:WORD0BITS 25",
                                           "IN:4:WORD1BITS 0",
                                           "IN:4:WORD2BITS 0",
                                           "IN:4:WORD3BITS 0",
                                           "IN:4:WORD4BITS 0",
                                           "IN:4:WORD5BITS 0",
                                           "IN:4:WORD6BITS 0",
                                           "IN:4:WORD7BITS 0",
                                           "IN:4:GRAY 0",
                                           "IN:4:SIGN 0",
                                           "IN:4:ZEROWORDS 0",
                                           "IN:5:FILTER 2",
                                           "TRIGGER:RUN  0",
                                           "IN:1:SELECT 3",
                                           "IN:2:SELECT 1",
                                           "IN:3:SELECT 12",
                                           "IN:4:SELECT 8",
                                           "IN:5:SELECT 1",
                                           "TRIGGER:RUN 0",
                                           "*IDN?"};
    expected.insert(expected.end(), rest.begin(), rest.end());
    EXPECT_EQ(lines(box.model().transcript()), lines(expected));
    EXPECT_TRUE(box.model().rejectedCommands().empty());

    EXPECT_TRUE(host.messages.empty());
    ASSERT_FALSE(host.statuses.empty());
    EXPECT_EQ(host.statuses.back(), "Connected to: TorvenKellmar,ORVA 2 USB,SIM-sim1,V2.0");
    // Slots 0, 1 (SinCos 1), 5 (SinCos 2), 12 (HTL/TTL levels), 16 (SSI word 3), 21 (Analog).
    EXPECT_EQ(host.selection.frameSize, 3 + 4 + 4 + 4 + 1 + 4 + 2);
    EXPECT_EQ(host.dataPipe, nullptr); // cleared again by the disconnect
}

TEST_F(BoxLinkTest, CapabilitiesSizeTheInputsAndSetTheClock) {
    boxsim::BoxConfig box = boxWithInputs("sin1sq2ssi0ana1");
    box.systemFrequencyHz = 48000000;
    SimulatedBox simulated(box);
    Config config;
    config.inputSettings.sineInputs.resize(3);
    ASSERT_EQ(link.connect(config), ConnectResult::Connected);
    EXPECT_EQ(config.inputSettings.sineInputs.size(), 1u);
    EXPECT_EQ(config.inputSettings.squareInputs.size(), 2u);
    EXPECT_TRUE(config.inputSettings.ssiInputs.empty());
    EXPECT_EQ(config.inputSettings.analogInputs.size(), 1u);
    EXPECT_EQ(config.inputSettings.systemFrequency, 48000000);
}

TEST_F(BoxLinkTest, AnEmptyCapabilityReplyMeansOneSinCosInput) {
    boxsim::BoxConfig box = boxWithInputs("sin2sq1ssi1ana1");
    box.faults.emptyCapabilities = true;
    SimulatedBox simulated(box);
    Config config;
    ASSERT_EQ(link.connect(config), ConnectResult::Connected);
    EXPECT_EQ(host.messages, std::vector<std::string>{"Connected Hardware is not a ORVA box"});
    EXPECT_EQ(config.inputSettings.sineInputs.size(), 1u);
    EXPECT_TRUE(config.inputSettings.analogInputs.empty());
}

TEST_F(BoxLinkTest, AWrongIdentificationEndsTheConnectWithTheVersionMessage) {
    boxsim::BoxConfig box = boxWithInputs("sin1");
    box.faults.identification = "TorvenKellmar,ORVA 2 USB,7,V3.1";
    SimulatedBox simulated(box);
    Config config;
    EXPECT_EQ(link.connect(config), ConnectResult::Incompatible);
    EXPECT_EQ(host.messages,
              std::vector<std::string>{"Error: The ORVA_USB software version v1.3.5 is not "
                                       "compatible with ORVA2USB hardware (V3.1) which is "
                                       "currently connected."});
    EXPECT_TRUE(config.inputSettings.sineInputs.empty()); // nothing was configured
}

TEST_F(BoxLinkTest, NoBoxIsReportedAndLeavesTheLinkUnconnected) {
    char pattern[] = "/tmp/orva-empty-XXXXXX";
    setenv("XDG_RUNTIME_DIR", mkdtemp(pattern), 1);
    Config config;
    EXPECT_EQ(link.connect(config), ConnectResult::NoBox);
    EXPECT_EQ(host.messages, std::vector<std::string>{"Can't connect to ORVA Box!"});
    EXPECT_FALSE(link.isConnected());
    unsetenv("XDG_RUNTIME_DIR");
}

TEST_F(BoxLinkTest, StartAndZeroCommandsAreSentAsTheBoxExpects) {
    SimulatedBox box(boxWithInputs("sin2sq1ssi1ana1"));
    Config config;
    addDefaultGraph(config);
    ASSERT_EQ(link.connect(config), ConnectResult::Connected);
    link.startRun();
    link.sendZero("ACTION:MZERO", 5);
    link.stopRun();
    link.disconnect();
    box.stop();
    const std::vector<std::string>& lines = box.model().transcript();
    const std::vector<std::string> tail(lines.end() - 6, lines.end());
    const std::vector<std::string> expected = {"TRIGGER:RUN 1", "TRIGGER:RUN 0", "TRIGGER:RUN 1",
                                               "ACTION:MZERO 5", "TRIGGER:RUN 0"};
    EXPECT_EQ(std::vector<std::string>(tail.begin() + 1, tail.end()), expected);
}

} // namespace
