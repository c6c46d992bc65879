#include "EmulatedUsbTest.h"
#include "KLib/IO/USB/Enumeration.h"
#include "RecordingEngine.h"
#include "SciPyDump.h"
#include "SimulatedBox.h"
#include "acquisition/FrameReader.h"
#include "device/BoxLink.h"
#include "signal/Catalogue.h"
#include "signal/ChannelSelection.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <thread>

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

using LibusbBackendTest = EmulatedUsbTest;

// Follows the frames of a stream read in pieces of any size: each must begin with the box's
// marker, and the counter goes up by one from frame to frame except where frames were lost.
class FrameStream {
public:
    explicit FrameStream(std::size_t frameSize) : frameSize_(frameSize) {}

    // False at the first frame that does not begin with the marker.
    bool take(const std::uint8_t* bytes, std::size_t count) {
        carry_.insert(carry_.end(), bytes, bytes + count);
        std::size_t at = 0;
        for (; at + frameSize_ <= carry_.size(); at += frameSize_) {
            if (carry_[at] != boxsim::BoxModel::kFrameMarker)
                return false;
            const int counter = carry_[at + 1] | carry_[at + 2] << 8;
            if (frames > 0)
                lost += (counter - last_ - 1) & 0xFFFF;
            last_ = counter;
            ++frames;
        }
        carry_.erase(carry_.begin(), carry_.begin() + static_cast<std::ptrdiff_t>(at));
        return true;
    }

    long frames = 0;
    long lost = 0; // counted from the gaps, modulo the counter's 65536

private:
    std::size_t frameSize_;
    std::vector<std::uint8_t> carry_;
    int last_ = 0;
};

// Every signal of every input of the configuration's box in the graph.
void showEverySignal(const InputSettings& inputs, GraphData& graph) {
    graph.channelList.clear();
    const Catalogue catalogue = buildCatalogue(inputs);
    for (std::size_t input = 0; input < catalogue.inputs.size(); ++input)
        for (std::size_t signal = 0; signal < catalogue.inputs[input].size(); ++signal) {
            ChannelData& channel = addChannel(graph);
            channel.input = static_cast<int>(input);
            channel.channel = static_cast<int>(signal);
        }
}

std::size_t emulatedFrameSize() {
    std::size_t frameSize = 0;
    EmulatedUsbBox::instance().inspect([&](const boxsim::BoxModel& model) {
        frameSize = static_cast<std::size_t>(model.layout().frameSize);
    });
    return frameSize;
}

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

// orva-cli finds the box through libusb with its strings, and connects to it exactly as to a
// box on the socket transport: the same output, the same commands received. The child process
// inherits the emulated bus: umockdev's preload library and the testbed are named in the
// environment, and this process serves the device node.
TEST_F(LibusbBackendTest, TheCommandLineToolWorksThroughLibusbAsThroughTheSocket) {
    const std::string cli = "XDG_CONFIG_HOME=" + runtime_ + "/config " + ORVA_CLI_PATH;
    EXPECT_EQ(commandOutput(cli + " scan"), boxPath + "\tORVA 2 USB\tSIM-sim1\nexit 0");
    const std::string viaUsb = commandOutput(cli + " info " + boxPath);
    std::vector<std::string> usbTranscript;
    EmulatedUsbBox::instance().inspect(
        [&](const boxsim::BoxModel& model) { usbTranscript = model.transcript(); });
    SimulatedBox simulated{boxsim::BoxConfig()};
    const std::string viaSocket = commandOutput(cli + " info " + simulated.path());
    simulated.stop();
    EXPECT_NE(viaUsb.find("Identification: TorvenKellmar,ORVA 2 USB,SIM-sim1,V2.0"),
              std::string::npos)
        << viaUsb;
    EXPECT_EQ(viaUsb, viaSocket);
    EXPECT_EQ(usbTranscript, simulated.model().transcript());
}

// A box that takes commands but never answers: the identification times out after the command
// pipe's 1 s, the user is told so, and the program goes on unconnected instead of ending with
// the version message.
TEST_F(LibusbBackendTest, ABoxThatNeverAnswersTimesOutWithAClearMessage) {
    boxsim::BoxConfig box;
    box.faults.mute = true;
    EmulatedUsbBox::instance().reset(box);
    TestLink test;
    const auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(test.connect(), ConnectResult::NoReply);
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(3));
    EXPECT_EQ(test.host.messages,
              std::vector<std::string>{"No answer from the ORVA Box within 1 s. Check its power "
                                       "and USB cable, then choose Options > Connect."});
    EXPECT_FALSE(test.link.isConnected());
}

// Started, the box streams frames into the URBs that the data pipe keeps submitted: whole
// frames with the marker and a counter that goes up by one.
TEST_F(LibusbBackendTest, StreamDeliversFramesThroughSubmittedUrbs) {
    TestLink test;
    addDefaultGraph(test.config);
    ASSERT_EQ(test.connect(), ConnectResult::Connected);
    ASSERT_NE(test.host.dataPipe, nullptr);
    FrameStream stream(emulatedFrameSize());
    test.link.startRun();

    // 200 frames take 20 ms at the default 10000 frames/s; the deadline only ends a hang.
    std::vector<std::uint8_t> chunk(4096);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (stream.frames < 200 && std::chrono::steady_clock::now() < deadline) {
        const int n = test.host.dataPipe->read(chunk.data(), static_cast<int>(chunk.size()));
        ASSERT_GE(n, 0);
        ASSERT_TRUE(stream.take(chunk.data(), static_cast<std::size_t>(n)))
            << "frame " << stream.frames;
    }
    test.link.stopRun();
    test.link.disconnect();
    EXPECT_GE(stream.frames, 200);
    EXPECT_EQ(stream.lost, 0);
}

// A reader that stops taking bytes holds the box back: the transfers wait, the box's sample
// memory overflows and drops whole frames, which the frame counter shows. Every byte read
// afterwards still belongs to a whole frame in its place; no part of a transfer was thrown away.
TEST_F(LibusbBackendTest, AReaderThatFallsBehindLosesWholeCountedFramesOnly) {
    TestLink test;
    // 14 MB/s: the first frame after the loss waits behind some 80 MB of held transfers, which
    // the reader must take faster than the box sends; at 36 MB/s a loaded machine could not.
    test.config.inputSettings.rate = 200000;
    addDefaultGraph(test.config);
    ASSERT_EQ(test.connect(), ConnectResult::Connected);
    // Every signal of every input: the largest frame, the queue's limit soonest.
    showEverySignal(test.config.inputSettings, test.config.graphList.front());
    test.link.sendSelection(test.config);
    FrameStream stream(emulatedFrameSize());
    test.link.startRun();

    // Nothing is read until every transfer is held back and the box has lost frames.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    std::uint64_t overflowed = 0;
    while (std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        EmulatedUsbBox::instance().inspect(
            [&](const boxsim::BoxModel& model) { overflowed = model.framesLostByOverflow(); });
        if (overflowed > 0 && EmulatedUsbBox::instance().waitingStreamUrbs() == 0)
            break;
    }
    // Then the reader takes what the box sends until the loss shows in the counter; the box is
    // stopped then, and the rest is read up to its last frame.
    std::vector<std::uint8_t> chunk(FrameReader::readSize);
    const auto gapDeadline = std::chrono::steady_clock::now() + std::chrono::seconds(40);
    bool stopped = false;
    int n = 0;
    do {
        if (!stopped && (stream.lost > 0 || std::chrono::steady_clock::now() > gapDeadline)) {
            EmulatedUsbBox::instance().command("TRIGGER:RUN 0");
            stopped = true;
        }
        n = test.host.dataPipe->read(chunk.data(), static_cast<int>(chunk.size()));
        ASSERT_GE(n, 0);
        ASSERT_TRUE(stream.take(chunk.data(), static_cast<std::size_t>(n)))
            << "frame " << stream.frames;
    } while (!stopped || n > 0);
    std::uint64_t lostByBox = 0;
    EmulatedUsbBox::instance().inspect(
        [&](const boxsim::BoxModel& model) { lostByBox = model.framesLostByOverflow(); });
    test.link.stopRun();
    test.link.disconnect();
    // The counter shows the loss; it tells lost frames apart only modulo its 65536 values, and
    // frames lost just before the stop are followed by none that would show them, so it may
    // show fewer than the box lost, never more.
    ASSERT_GT(overflowed, 0u);
    EXPECT_GT(stream.lost, 0);
    EXPECT_LE(static_cast<std::uint64_t>(stream.lost), lostByBox);
}

// Two seconds at `rate` from the box at `path`, recorded as the program records: every signal
// of the first SinCos input (position, velocity, A, B, R) and the first signal of each other
// kind of input.
struct TwoSeconds {
    TwoSeconds(int rate, const std::string& path) {
        Config config;
        config.inputSettings.rate = rate;
        config.inputSettings.failure_add_value = -7.0f;
        GraphData& shown = addGraph(config);
        for (const auto& [input, signal] : std::vector<std::pair<int, int>>{
                 {0, 0}, {0, 1}, {0, 2}, {0, 3}, {0, 4}, {2, 0}, {3, 0}, {4, 0}}) {
            ChannelData& channel = addChannel(shown);
            channel.input = input;
            channel.channel = signal;
        }
        graph = std::make_unique<RecordedGraph>(static_cast<int>(shown.channelList.size()));
        Engine engine;
        connected = engine.connect(config, path) == ConnectResult::Connected;
        if (!connected)
            return;
        const auto started = std::chrono::steady_clock::now();
        engine.record(std::chrono::milliseconds(2000), *graph);
        seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        lostFrames = engine.decoder().lostFrames();
    }
    std::unique_ptr<RecordedGraph> graph;
    bool connected = false;
    double seconds = 0.0;
    long lostFrames = 0;
};

// The samples two recordings of a replaying box have in common: up to the end of the shorter
// one, or up to the first loss that the one has and the other has not. A loaded machine may
// make either drop frames, which its decoder counts and fills; up to there both got the same
// frames.
std::size_t sameFramesUpTo(const RecordedGraph& a, const RecordedGraph& b) {
    const std::size_t end = std::min(a.values[0].size(), b.values[0].size());
    const std::size_t shared = std::min(a.losses.size(), b.losses.size());
    for (std::size_t i = 0; i < shared; ++i)
        if (!sameLoss(a.losses[i], b.losses[i]))
            return std::min({end, a.losses[i].atSample, b.losses[i].atSample});
    const RecordedGraph& more = a.losses.size() > shared ? a : b;
    return more.losses.size() > shared ? std::min(end, more.losses[shared].atSample) : end;
}

// The same recording through libusb and through the socket transport. The box replays its run
// (the same signals, the same frames dropped), so the graphs must get the same values and the
// same substitutes, sample for sample, at the slowest and the fastest rate.
TEST_F(LibusbBackendTest, ARecordingGetsExactlyTheValuesItGetsThroughTheSocket) {
    for (const int rate : {10000, 500000}) {
        SCOPED_TRACE(rate);
        boxsim::BoxConfig box;
        box.replayEachRun = true;
        box.faults.dropEvery = 997;
        box.fifoBytes = 16 << 20; // room for a loaded test machine
        EmulatedUsbBox::instance().reset(box);
        const TwoSeconds viaUsb(rate, boxPath);
        std::unique_ptr<TwoSeconds> viaSocket;
        {
            SimulatedBox simulated(box);
            viaSocket = std::make_unique<TwoSeconds>(rate, simulated.path());
        }
        ASSERT_TRUE(viaUsb.connected);
        ASSERT_TRUE(viaSocket->connected);
        const std::vector<std::vector<double>>& usb = viaUsb.graph->values;
        const std::vector<std::vector<double>>& socket = viaSocket->graph->values;
        const std::size_t common = sameFramesUpTo(*viaUsb.graph, *viaSocket->graph);
        // Well under the two seconds: a sanitized build decodes far slower than the box sends.
        ASSERT_GT(common, static_cast<std::size_t>(rate / 10));
        for (std::size_t c = 0; c < usb.size(); ++c)
            for (std::size_t i = 0; i < common; ++i)
                ASSERT_EQ(usb[c][i], socket[c][i]) << "channel " << c << ", sample " << i;
        const auto substitutes = std::count(usb[0].begin(), usb[0].begin() + common, -7.0);
        EXPECT_NEAR(substitutes, common / 997.0, 2.0);
        RecordProperty("libusb_frames_per_second_at_" + std::to_string(rate),
                       std::to_string(usb[0].size() / viaUsb.seconds));
        RecordProperty("libusb_lost_frames_at_" + std::to_string(rate),
                       std::to_string(viaUsb.lostFrames));
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
