#include "KLib/IO/USB/SimTransport.h"
#include "FakeSimBox.h"
#include "KLib/IO/USB/Enumeration.h"
#include "KLib/Log.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sys/stat.h>

using namespace KLib;
using namespace KLib::USB;

namespace {

// Every test gets its own runtime directory with a private box directory inside.
class SimTransport : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/orva-transport-XXXXXX";
        runtime_ = mkdtemp(pattern);
        setenv("XDG_RUNTIME_DIR", runtime_.c_str(), 1);
        boxes_ = runtime_ + "/orva-boxes";
        ::mkdir(boxes_.c_str(), 0700);
    }
    void TearDown() override {
        unsetenv("XDG_RUNTIME_DIR");
        std::filesystem::remove_all(runtime_);
    }
    std::string socket(const std::string& name) const { return boxes_ + "/" + name + ".sock"; }

    std::string runtime_;
    std::string boxes_;
};

std::vector<FakeSimBox::Message> noReply(const FakeSimBox::Message&) {
    return {};
}

// Answers descriptor requests like a box: device descriptor and string descriptors 2 and 3.
std::vector<FakeSimBox::Message> descriptors(const FakeSimBox::Message& m) {
    if (m.endpoint != 0x00 || m.payload.size() != 8)
        return {};
    if (m.payload[3] == 1)
        return {{0x80,
                 {18, 1, 0x00, 0x02, 0, 0, 0, 64, 0xB4, 0x04, 0x34, 0x12, 0x00, 0x01, 1, 2, 3, 1}}};
    const std::string text = m.payload[2] == 2 ? "ORVA 2 USB" : "SN7";
    std::vector<std::uint8_t> d = {static_cast<std::uint8_t>(2 + 2 * text.size()), 3};
    for (const char c : text) {
        d.push_back(static_cast<std::uint8_t>(c));
        d.push_back(0);
    }
    return {{0x80, d}};
}

TEST_F(SimTransport, EnumerationListsFreeBoxesInNameOrderAndSkipsHeldOnes) {
    FakeSimBox b(socket("b"), "ORVA-SIM 1", noReply);
    FakeSimBox a(socket("a"), "ORVA-SIM 1", noReply);
    FakeSimBox held(socket("c"), "BUSY", noReply);
    std::vector<std::string> paths;
    enumerateDevices(paths);
    const std::vector<std::string> expected = {"sim:" + socket("a"), "sim:" + socket("b")};
    EXPECT_EQ(paths, expected);
    EXPECT_FALSE(openDevice("sim:" + socket("c")));
    EXPECT_FALSE(openDevice("sim:" + socket("missing")));
    EXPECT_FALSE(openDevice("elsewhere:" + socket("a")));
}

TEST_F(SimTransport, DirectoryOthersCanReachIsIgnored) {
    FakeSimBox box(socket("a"), "ORVA-SIM 1", noReply);
    ::chmod(boxes_.c_str(), 0755);
    EXPECT_FALSE(isTrustedBoxDirectory(boxes_));
    std::vector<std::string> paths;
    enumerateDevices(paths);
    EXPECT_TRUE(paths.empty());
    EXPECT_FALSE(openDevice(""));
}

TEST_F(SimTransport, DescriptorsComeThroughControlRequests) {
    FakeSimBox box(socket("a"), "ORVA-SIM 1", descriptors);
    Ref<Device> device = openDevice("");
    ASSERT_TRUE(device);
    DeviceDescriptor descriptor;
    ASSERT_TRUE(device->getDeviceDescriptor(descriptor));
    EXPECT_EQ(descriptor.idVendor, 0x04B4);
    EXPECT_EQ(descriptor.idProduct, 0x1234);
    EXPECT_EQ(descriptor.bcdUSB, 0x0200);
    EXPECT_EQ(device->getStringDescriptor(descriptor.iProduct), "ORVA 2 USB");
    EXPECT_EQ(device->getStringDescriptor(descriptor.iSerialNumber), "SN7");
    // The host asked with GET_DESCRIPTOR setup packets.
    const std::vector<FakeSimBox::Message> sent = box.received();
    ASSERT_EQ(sent.size(), 3u);
    const std::vector<std::uint8_t> deviceRequest = {0x80, 6, 0, 1, 0, 0, 18, 0};
    EXPECT_EQ(sent[0].payload, deviceRequest);
    device->close();
}

TEST_F(SimTransport, CommandLinesTravelOnEndpointOneAndRepliesMayArriveInPieces) {
    FakeSimBox box(socket("a"), "ORVA-SIM 1", [](const FakeSimBox::Message& m) {
        std::vector<FakeSimBox::Message> replies;
        if (m.endpoint == 0x01 && m.payload == bytesOf("*IDN?\n")) {
            replies.push_back({0x81, bytesOf("TorvenKellmar,ORVA")});
            replies.push_back({0x81, bytesOf(" 2 USB,1,V2.0\r\nnext\n")});
        }
        return replies;
    });
    Ref<Device> device = openDevice("sim:" + socket("a"));
    ASSERT_TRUE(device);
    Ref<IODevice> commands = device->openStandardPipe(commandTimeoutMs, 1, 1);
    ASSERT_TRUE(commands->writeLine("*IDN?"));
    EXPECT_EQ(commands->readLine(), "TorvenKellmar,ORVA 2 USB,1,V2.0\r");
    EXPECT_EQ(commands->readLine(), "next");
    commands->close();
    device->close();
}

TEST_F(SimTransport, DataPipeReadsStreamDrainsAndTimesOut) {
    FakeSimBox box(socket("a"), "ORVA-SIM 1", noReply);
    Ref<Device> device = openDevice("");
    ASSERT_TRUE(device);
    Ref<IODevice> data = device->openStandardPipe(dataTimeoutMs, 2, 2);
    std::uint8_t buffer[16] = {};
    EXPECT_EQ(data->read(buffer, sizeof buffer), 0); // nothing streamed: time-out

    box.send(0x82, {1, 2, 3, 4, 5});
    box.send(0x81, {9}); // a command reply is not stream data
    int got = 0;
    while (got < 5) {
        const int n = data->read(buffer + got, 5 - got);
        ASSERT_GT(n, 0);
        got += n;
    }
    EXPECT_EQ(std::vector<std::uint8_t>(buffer, buffer + 5),
              (std::vector<std::uint8_t>{1, 2, 3, 4, 5}));

    box.send(0x82, {6, 7});
    data->drain();
    EXPECT_EQ(data->read(buffer, sizeof buffer), 0);
    data->close();
    device->close();
}

TEST_F(SimTransport, AStreamMessageOfManyReadsArrivesWholeAndInOrder) {
    FakeSimBox box(socket("a"), "ORVA-SIM 1", noReply);
    Ref<Device> device = openDevice("");
    ASSERT_TRUE(device);
    Ref<IODevice> data = device->openStandardPipe(dataTimeoutMs, 2, 2);
    std::vector<std::uint8_t> sent(200000);
    for (std::size_t i = 0; i < sent.size(); ++i)
        sent[i] = static_cast<std::uint8_t>(i * 7 + i / 256);
    box.send(0x82, sent);
    std::vector<std::uint8_t> received(sent.size());
    std::size_t got = 0;
    while (got < received.size()) {
        const int n = data->read(received.data() + got, static_cast<int>(received.size() - got));
        ASSERT_GT(n, 0);
        got += static_cast<std::size_t>(n);
    }
    EXPECT_EQ(received, sent);
    data->close();
    device->close();
}

TEST_F(SimTransport, PipesShareTheDeviceThroughItsOpenCount) {
    FakeSimBox box(socket("a"), "ORVA-SIM 1", noReply);
    Ref<Device> device = openDevice("");
    ASSERT_TRUE(device);
    Ref<IODevice> commands = device->openStandardPipe(commandTimeoutMs, 1, 1);
    Ref<IODevice> data = device->openStandardPipe(dataTimeoutMs, 2, 2);
    EXPECT_EQ(device->openCount(), 3);
    commands->close();
    EXPECT_EQ(device->openCount(), 2);
    data->close();
    EXPECT_EQ(device->openCount(), 1);
    device->close();
    EXPECT_EQ(device->openCount(), 0);
    EXPECT_FALSE(device->isOpen());
    EXPECT_FALSE(device->openStandardPipe(commandTimeoutMs, 1, 1));
}

TEST_F(SimTransport, DestroyingAnOpenPipeWarnsOnceAndStillFreesIt) {
    FakeSimBox box(socket("a"), "ORVA-SIM 1", noReply);
    Log::init();
    Log::addChannel(Ref<LogChannel>(new LogDebugChannel));
    Ref<Device> device = openDevice("");
    ASSERT_TRUE(device);
    testing::internal::CaptureStderr();
    device->openStandardPipe(dataTimeoutMs, 2, 2); // dropped at once, still open
    const std::string log = testing::internal::GetCapturedStderr();
    Log::shutdown();
    EXPECT_EQ(device->openCount(), 1);
    EXPECT_NE(log.find("USB IO device was not closed"), std::string::npos);
    EXPECT_EQ(log.find("USB IO device was not closed"), log.rfind("USB IO device was not closed"));
    device->close();
}

TEST_F(SimTransport, AVanishedBoxFailsReadsAndWrites) {
    FakeSimBox box(socket("a"), "ORVA-SIM 1", noReply);
    Ref<Device> device = openDevice("");
    ASSERT_TRUE(device);
    Ref<IODevice> commands = device->openStandardPipe(commandTimeoutMs, 1, 1);
    Ref<IODevice> data = device->openStandardPipe(dataTimeoutMs, 2, 2);
    box.send(0x82, {1, 2});
    box.hangUp();
    std::uint8_t buffer[8];
    int n = 0;
    do
        n = data->read(buffer, sizeof buffer);
    while (n > 0); // bytes received before the box vanished are still delivered
    EXPECT_EQ(n, -1);
    EXPECT_EQ(commands->write("x", 1), -1);
    commands->close();
    data->close();
    device->close();
}

} // namespace
