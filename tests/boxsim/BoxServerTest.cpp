#include "BoxTestSupport.h"

#include "boxsim/BoxServer.h"
#include "boxsim/SimTransport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

using namespace boxsim;
using namespace std::chrono_literals;
namespace fs = std::filesystem;

namespace {

struct Message {
    int endpoint = -1;
    std::string payload;
};

// The host side of the socket, written from the contract alone.
class Host {
public:
    explicit Host(const std::string& path) {
        fd_ = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::snprintf(address.sun_path, sizeof(address.sun_path), "%s", path.c_str());
        if (connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0) {
            ::close(fd_);
            fd_ = -1;
        }
    }
    ~Host() { close(); }
    Host(const Host&) = delete;
    Host& operator=(const Host&) = delete;

    bool connected() const { return fd_ >= 0; }
    void close() {
        if (fd_ >= 0) {
            ::close(fd_);
            fd_ = -1;
        }
    }

    void send(int endpoint, const std::string& payload) {
        std::string bytes(1, static_cast<char>(endpoint));
        for (int i = 0; i < 4; ++i) {
            bytes.push_back(static_cast<char>((payload.size() >> (8 * i)) & 0xFF));
        }
        writeAll(bytes + payload);
    }
    void writeAll(const std::string& bytes) {
        ASSERT_EQ(::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL), ssize_t(bytes.size()));
    }

    // The next message, or nothing after `timeout` or when the box closed the connection.
    std::optional<Message> read(std::chrono::milliseconds timeout = 2000ms) {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        while (!complete()) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            pollfd fd{fd_, POLLIN, 0};
            if (left.count() <= 0 || poll(&fd, 1, int(left.count())) <= 0) {
                return std::nullopt;
            }
            char chunk[65536];
            const ssize_t got = recv(fd_, chunk, sizeof(chunk), 0);
            if (got <= 0) {
                closedByBox_ = true;
                return std::nullopt;
            }
            buffer_.append(chunk, size_t(got));
        }
        Message message{static_cast<uint8_t>(buffer_[0]), buffer_.substr(5, length())};
        buffer_.erase(0, 5 + length());
        return message;
    }

    // The next message on `endpoint`, skipping sample-stream messages.
    std::optional<Message> reply(int endpoint) {
        for (;;) {
            std::optional<Message> message = read();
            if (!message || message->endpoint == endpoint) {
                return message;
            }
            EXPECT_EQ(message->endpoint, kEndpointStream);
        }
    }

    std::string greeting() {
        const std::optional<Message> message = read();
        EXPECT_TRUE(message && message->endpoint == 0xFF);
        return message ? message->payload : "";
    }

    bool closedByBox() {
        while (read()) {
        }
        return closedByBox_;
    }

private:
    size_t length() const { return boxtest::readLE(buffer_, 1, 4); }
    bool complete() const { return buffer_.size() >= 5 && buffer_.size() >= 5 + length(); }

    int fd_ = -1;
    std::string buffer_;
    bool closedByBox_ = false;
};

std::string setup(uint8_t type, uint8_t index, uint16_t length) {
    const uint8_t bytes[8] = {0x80, 6, index, type, 0, 0, uint8_t(length), uint8_t(length >> 8)};
    return std::string(reinterpret_cast<const char*>(bytes), 8);
}

class BoxServerTest : public ::testing::Test {
protected:
    void SetUp() override {
        char name[] = "/tmp/boxsim-test-XXXXXX";
        ASSERT_NE(mkdtemp(name), nullptr);
        root_ = name;
        directory_ = root_ + "/boxes";
    }
    void TearDown() override {
        stop();
        server_.reset();
        fs::remove_all(root_);
    }

    void start(const BoxConfig& config = BoxConfig()) {
        model_ = std::make_unique<BoxModel>(config);
        server_ = std::make_unique<BoxServer>(*model_, directory_);
        std::string error;
        ASSERT_TRUE(server_->open(error)) << error;
        thread_ = std::thread([this] { outcome_ = server_->run(); });
    }
    BoxServer::Outcome stop() {
        if (thread_.joinable()) {
            server_->requestStop();
            thread_.join();
        }
        return outcome_;
    }
    // A host that holds the box; waits while the box still serves a host that has just left.
    std::unique_ptr<Host> holdBox() {
        for (int attempt = 0; attempt < 100; ++attempt) {
            auto host = std::make_unique<Host>(server_->socketPath());
            if (host->connected() && host->greeting() == kGreetingFree) {
                return host;
            }
            std::this_thread::sleep_for(20ms);
        }
        ADD_FAILURE() << "the box stays busy";
        return nullptr;
    }

    std::string root_;
    std::string directory_;
    std::unique_ptr<BoxModel> model_;
    std::unique_ptr<BoxServer> server_;
    std::thread thread_;
    BoxServer::Outcome outcome_ = BoxServer::Outcome::Serving;
};

} // namespace

TEST_F(BoxServerTest, GreetsOneHostAndTurnsOthersAway) {
    start();
    EXPECT_EQ(server_->socketPath(), directory_ + "/sim1.sock");
    struct stat status {};
    ASSERT_EQ(stat(directory_.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0700u);

    Host first(server_->socketPath());
    ASSERT_TRUE(first.connected());
    EXPECT_EQ(first.greeting(), "ORVA-SIM 1");
    Host second(server_->socketPath());
    EXPECT_EQ(second.greeting(), "BUSY");
    EXPECT_TRUE(second.closedByBox());

    first.close();
    ASSERT_TRUE(holdBox()); // free again once the first host has gone
}

TEST_F(BoxServerTest, CarriesCommandsAndControlRequestsBothWays) {
    start();
    std::unique_ptr<Host> host = holdBox();
    ASSERT_TRUE(host);
    host->send(0x01, "*ID");
    host->send(0x01, "N?\nKELLMAR:CAP?\n");
    std::string replies;
    while (replies.size() < 58) {
        const std::optional<Message> reply = host->reply(0x81);
        ASSERT_TRUE(reply);
        replies += reply->payload;
    }
    EXPECT_EQ(replies, "TorvenKellmar,ORVA 2 USB,SIM-sim1,V2.0\nsin2sq1ssi1ana1sf64\n");

    host->send(0x00, setup(1, 0, 18));
    std::optional<Message> answer = host->reply(0x80);
    ASSERT_TRUE(answer);
    ASSERT_EQ(answer->payload.size(), 18u);
    EXPECT_EQ(boxtest::readLE(answer->payload, 8, 2), 0x04B4u);

    host->send(0x02, "ignored");
    host->send(0x00, setup(3, 2, 255));
    answer = host->reply(0x80);
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->payload, std::string("\x16\x03O\0R\0V\0A\0 \0002\0 \0U\0S\0B\0", 22));

    host->send(0x00, "short");
    answer = host->reply(0x80);
    ASSERT_TRUE(answer);
    EXPECT_TRUE(answer->payload.empty());

    host->close();
    stop();
    EXPECT_EQ(model_->transcript(), (std::vector<std::string>{"*IDN?", "KELLMAR:CAP?"}));
}

TEST_F(BoxServerTest, StreamsWholeConsecutiveFramesWhileRunning) {
    start();
    std::unique_ptr<Host> host = holdBox();
    ASSERT_TRUE(host);
    // 10000 frames/s of SinCos position and R and the HTL/TTL level byte: 9-byte frames.
    host->send(0x01, "OUT:USB:FREQ 42949672\nIN:1:SELECT 17\nIN:3:SELECT 4\nTRIGGER:RUN 1\n");
    std::string stream;
    const auto end = std::chrono::steady_clock::now() + 500ms;
    while (std::chrono::steady_clock::now() < end) {
        const std::optional<Message> message = host->read();
        ASSERT_TRUE(message);
        ASSERT_EQ(message->endpoint, kEndpointStream);
        EXPECT_EQ(message->payload.size() % 9, 0u);
        stream += message->payload;
    }
    const std::vector<std::string> frames = boxtest::splitFrames(stream, 9);
    EXPECT_GT(frames.size(), 100u);
    EXPECT_LT(frames.size(), 50000u);
    for (size_t i = 1; i < frames.size(); ++i) {
        ASSERT_EQ(boxtest::counterOf(frames[i]), uint16_t(boxtest::counterOf(frames[i - 1]) + 1));
    }

    host->send(0x01, "TRIGGER:RUN  0\n*IDN?\n");
    ASSERT_TRUE(host->reply(0x81)); // everything sent before the stop has arrived by now
    EXPECT_FALSE(host->read(300ms));
}

// The simulator's process is paused for longer than its sample memory lasts while the host
// could take the frames: they are owed, not lost.
TEST_F(BoxServerTest, APausedSimulatorCatchesUpWithoutOverflowing) {
    BoxConfig config;
    config.fifoBytes = 9000; // 1000 frames of 9 bytes, 100 ms at 10000 frames/s
    model_ = std::make_unique<BoxModel>(config);
    server_ = std::make_unique<BoxServer>(*model_, directory_);
    std::string error;
    ASSERT_TRUE(server_->open(error)) << error;
    Host host(server_->socketPath());
    ASSERT_TRUE(host.connected());
    server_->step(50);
    ASSERT_EQ(host.greeting(), kGreetingFree);
    host.send(0x01, "OUT:USB:FREQ 42949672\nIN:1:SELECT 17\nIN:3:SELECT 4\nTRIGGER:RUN 1\n");
    while (model_->nextFrameTime() == std::nullopt)
        server_->step(50);
    std::this_thread::sleep_for(300ms); // about 3000 frames owed
    server_->step(0);
    EXPECT_EQ(model_->framesLostByOverflow(), 0u);
    std::string stream;
    while (stream.size() < 9 * 2500) {
        const std::optional<Message> message = host.read();
        ASSERT_TRUE(message);
        stream += message->payload;
    }
    const std::vector<std::string> frames = boxtest::splitFrames(stream, 9);
    for (size_t i = 1; i < frames.size(); ++i)
        ASSERT_EQ(boxtest::counterOf(frames[i]), uint16_t(boxtest::counterOf(frames[i - 1]) + 1));
}

TEST_F(BoxServerTest, HostLeavingStopsTheStreamButNotTheSettings) {
    start();
    {
        std::unique_ptr<Host> host = holdBox();
        ASSERT_TRUE(host);
        host->send(0x01, "OUT:USB:FREQ 42949672\nIN:1:SELECT 1\nTRIGGER:RUN 1\n");
        const std::optional<Message> first = host->read();
        ASSERT_TRUE(first);
        EXPECT_EQ(first->endpoint, kEndpointStream);
    }
    std::unique_ptr<Host> next = holdBox();
    ASSERT_TRUE(next);
    EXPECT_FALSE(next->read(300ms)); // no stream without a new "TRIGGER:RUN 1"
    next->close();
    stop();
    EXPECT_FALSE(model_->running());
    EXPECT_EQ(model_->setting("OUT:USB:FREQ"), 42949672);
    EXPECT_EQ(model_->layout().frameSize, 7);
}

TEST_F(BoxServerTest, GarbledMessageEndsOnlyThatConnection) {
    start();
    std::unique_ptr<Host> host = holdBox();
    ASSERT_TRUE(host);
    host->writeAll(std::string("\x01\x00\x00\x00\x7F", 5)); // a 2 GiB command
    EXPECT_TRUE(host->closedByBox());
    ASSERT_TRUE(holdBox());
}

TEST_F(BoxServerTest, VanishingBoxClosesTheConnectionAndRemovesItsSocket) {
    BoxConfig config;
    config.faults.vanishAfterSeconds = 0.2;
    start(config);
    std::unique_ptr<Host> host = holdBox();
    ASSERT_TRUE(host);
    host->send(0x01, "OUT:USB:FREQ 42949672\nTRIGGER:RUN 1\n");
    EXPECT_TRUE(host->closedByBox());
    thread_.join(); // the server ends by itself
    EXPECT_EQ(outcome_, BoxServer::Outcome::Vanished);
    EXPECT_FALSE(fs::exists(server_->socketPath()));
    EXPECT_FALSE(Host(server_->socketPath()).connected());
}

TEST_F(BoxServerTest, SocketFilesAreOursAlone) {
    start();
    // A second box of the same name cannot take over the socket of a live one.
    BoxModel twin;
    BoxServer rival(twin, directory_);
    std::string error;
    EXPECT_FALSE(rival.open(error));
    EXPECT_NE(error.find("already served"), std::string::npos) << error;
    EXPECT_EQ(stop(), BoxServer::Outcome::Stopped);
    EXPECT_FALSE(fs::exists(directory_ + "/sim1.sock")); // removed on stop

    // The socket file of a box that died is replaced.
    const int dead = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof(address.sun_path), "%s/sim1.sock", directory_.c_str());
    ASSERT_EQ(bind(dead, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
    ::close(dead);
    BoxServer revived(twin, directory_);
    EXPECT_TRUE(revived.open(error)) << error;
    revived.close();
    EXPECT_FALSE(fs::exists(directory_ + "/sim1.sock"));
}

TEST_F(BoxServerTest, DirectoryMustBePrivate) {
    std::string error;
    ASSERT_TRUE(prepareBoxDirectory(directory_, error)) << error;
    EXPECT_TRUE(prepareBoxDirectory(directory_, error)); // existing and private is fine
    ASSERT_EQ(chmod(directory_.c_str(), 0755), 0);
    EXPECT_FALSE(prepareBoxDirectory(directory_, error));
    EXPECT_NE(error.find("other users"), std::string::npos) << error;
    BoxModel box;
    BoxServer server(box, directory_);
    EXPECT_FALSE(server.open(error));

    const std::string file = root_ + "/plain";
    fclose(fopen(file.c_str(), "w"));
    EXPECT_FALSE(prepareBoxDirectory(file, error));
    EXPECT_FALSE(prepareBoxDirectory(root_ + "/missing/boxes", error));
    EXPECT_EQ(boxSocketPath("/run/user/7/orva-boxes/", "a"), "/run/user/7/orva-boxes/a.sock");

    const char* saved = std::getenv("XDG_RUNTIME_DIR");
    const std::string previous = saved ? saved : "";
    setenv("XDG_RUNTIME_DIR", "/run/user/7", 1);
    EXPECT_EQ(defaultBoxDirectory(), "/run/user/7/orva-boxes");
    unsetenv("XDG_RUNTIME_DIR");
    EXPECT_EQ(defaultBoxDirectory(), "/tmp/orva-boxes-" + std::to_string(getuid()));
    if (saved) {
        setenv("XDG_RUNTIME_DIR", previous.c_str(), 1);
    }
}
