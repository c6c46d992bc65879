#include "EmulatedUsbBox.h"
#include "KLib/IO/USB/Enumeration.h"
#include "device/BoxLink.h"
#include "signal/ChannelSelection.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>

namespace {

// The path the program gives the emulated box: bus 1, port 1.
const std::string boxPath = "usb:1-1";

// Takes what the link asks of the program; nothing is asked in these tests but the data pipe.
class QuietHost : public BoxHost {
public:
    BoxLink* link = nullptr;
    std::vector<std::string> messages;
    KLib::IODevice* dataPipe = nullptr;

    void showMessage(const std::string& text) override { messages.push_back(text); }
    int chooseDevice(const std::vector<std::string>&) override { return 0; }
    void showStatus(const std::string&) override {}
    void stopRecording() override { link->stopRun(); }
    void selectionSent(const ChannelSelection&) override {}
    void dataPipeChanged(KLib::IODevice* pipe) override { dataPipe = pipe; }
};

// A link to the emulated box as the program drives it, without its pauses between commands,
// with the configuration it sizes.
struct TestLink {
    TestLink() {
        host.link = &link;
        link.setCommandPause(std::chrono::milliseconds(0));
    }
    ConnectResult connect() { return link.connect(config, boxPath); }
    QuietHost host;
    BoxLink link{host};
    Config config;
};

class LibusbBackendTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!EmulatedUsbBox::preloadActive())
            GTEST_SKIP() << "umockdev's preload library is not active (run under umockdev-wrapper)";
        // No simulated socket boxes: an empty runtime directory of our own.
        char pattern[] = "/tmp/orva-usb-test-XXXXXX";
        runtime_ = mkdtemp(pattern);
        setenv("XDG_RUNTIME_DIR", runtime_.c_str(), 1);
        EmulatedUsbBox::instance().reset(boxsim::BoxConfig());
    }
    void TearDown() override {
        if (runtime_.empty())
            return;
        unsetenv("XDG_RUNTIME_DIR");
        std::filesystem::remove_all(runtime_);
    }

    std::string runtime_;
};

std::string unknownRequests() {
    std::string text;
    for (unsigned long request : EmulatedUsbBox::instance().unknownRequests())
        text += " " + std::to_string(request);
    return text;
}

TEST_F(LibusbBackendTest, EnumerationFindsTheBoxWithProductAndSerial) {
    std::vector<std::string> paths;
    KLib::USB::enumerateDevices(paths);
    ASSERT_EQ(paths, std::vector<std::string>{boxPath}) << "unknown ioctls:" << unknownRequests();
    EXPECT_EQ(BoxLink::describeDevices(paths),
              std::vector<std::string>{"ORVA 2 USB," + boxsim::BoxConfig().serialNumber()});
}

// A box whose interface is claimed through another handle is not offered: the claim is refused
// as busy.
TEST_F(LibusbBackendTest, EnumerationLeavesOutABoxThatIsHeld) {
    KLib::Ref<KLib::USB::Device> held = KLib::USB::openDevice(boxPath);
    ASSERT_TRUE(held);
    std::vector<std::string> paths;
    KLib::USB::enumerateDevices(paths);
    held->close();
    EXPECT_TRUE(paths.empty());
}

// The identification and the capability reply come back over the command pipe: the link sizes
// the configuration to the inputs the box reports.
TEST_F(LibusbBackendTest, ConnectSequenceRunsOverTheCommandPipe) {
    boxsim::BoxConfig box;
    box.inputs = *boxsim::parseInputCounts("sin2sq1ssi1ana1");
    EmulatedUsbBox::instance().reset(box);
    TestLink test;
    ASSERT_EQ(test.connect(), ConnectResult::Connected) << "unknown ioctls:" << unknownRequests();
    const std::string identification = test.link.identification();
    test.link.disconnect();
    EXPECT_EQ(test.config.inputSettings.sineInputs.size(), 2u);
    EXPECT_EQ(test.config.inputSettings.ssiInputs.size(), 1u);
    EmulatedUsbBox::instance().inspect([&](const boxsim::BoxModel& model) {
        EXPECT_EQ(identification, model.identification());
        ASSERT_GE(model.transcript().size(), 2u);
        EXPECT_EQ(model.transcript().front(), "*IDN?");
        EXPECT_NE(std::find(model.transcript().begin(), model.transcript().end(), "KELLMAR:CAP?"),
                  model.transcript().end());
    });
}

// Started, the box streams frames into the URBs that the data pipe keeps submitted: whole
// frames with the marker and a counter that goes up by one.
TEST_F(LibusbBackendTest, StreamDeliversFramesThroughSubmittedUrbs) {
    TestLink test;
    addDefaultGraph(test.config);
    ASSERT_EQ(test.connect(), ConnectResult::Connected);
    ASSERT_NE(test.host.dataPipe, nullptr);
    std::size_t frameSize = 0;
    EmulatedUsbBox::instance().inspect([&](const boxsim::BoxModel& model) {
        frameSize = static_cast<std::size_t>(model.layout().frameSize);
    });
    test.link.startRun();

    // 200 frames take 20 ms at the default 10000 frames/s; the deadline only ends a hang.
    constexpr std::size_t wantedFrames = 200;
    std::vector<std::uint8_t> bytes;
    std::vector<std::uint8_t> chunk(4096);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (bytes.size() < wantedFrames * frameSize && std::chrono::steady_clock::now() < deadline) {
        const int n = test.host.dataPipe->read(chunk.data(), static_cast<int>(chunk.size()));
        ASSERT_GE(n, 0);
        bytes.insert(bytes.end(), chunk.begin(), chunk.begin() + n);
    }
    test.link.stopRun();
    test.link.disconnect();

    ASSERT_GE(bytes.size(), wantedFrames * frameSize);
    for (std::size_t frame = 0; frame + 1 < wantedFrames; ++frame) {
        const std::uint8_t* at = bytes.data() + frame * frameSize;
        ASSERT_EQ(at[0], boxsim::BoxModel::kFrameMarker) << "frame " << frame;
        const int counter = at[1] | at[2] << 8;
        const int next = at[frameSize + 1] | at[frameSize + 2] << 8;
        ASSERT_EQ(next, (counter + 1) & 0xFFFF) << "frame " << frame;
    }
}

// A stalled or overflowing data endpoint ends the stream as a failed read, once the bytes that
// came before are taken; it does not just fall silent.
TEST_F(LibusbBackendTest, AStalledOrOverflowingStreamFailsTheDataPipe) {
    for (const int fault : {EPIPE, EOVERFLOW}) {
        SCOPED_TRACE(fault);
        EmulatedUsbBox::instance().reset(boxsim::BoxConfig());
        TestLink test;
        addDefaultGraph(test.config);
        ASSERT_EQ(test.connect(), ConnectResult::Connected);
        test.link.startRun();
        std::vector<std::uint8_t> chunk(4096);
        int got = 0;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (got == 0 && std::chrono::steady_clock::now() < deadline)
            got = test.host.dataPipe->read(chunk.data(), static_cast<int>(chunk.size()));
        ASSERT_GT(got, 0);
        EmulatedUsbBox::instance().failStream(-fault);
        while (got >= 0 && std::chrono::steady_clock::now() < deadline)
            got = test.host.dataPipe->read(chunk.data(), static_cast<int>(chunk.size()));
        EXPECT_EQ(got, -1);
        test.link.disconnect();
    }
}

} // namespace
