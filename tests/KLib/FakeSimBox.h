#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// A minimal box on a Unix socket for transport tests: greets, records what the host sends and
// answers through a handler. Written for these tests only, independent of the simulator.
class FakeSimBox {
public:
    struct Message {
        std::uint8_t endpoint;
        std::vector<std::uint8_t> payload;
    };
    // Called for every message from the host; returns the messages to send back.
    using Handler = std::function<std::vector<Message>(const Message&)>;

    FakeSimBox(const std::string& socketPath, std::string greeting, Handler handler);
    ~FakeSimBox();

    // Sends a message to the connected host (waits for a host to connect).
    void send(std::uint8_t endpoint, const std::vector<std::uint8_t>& payload);
    // Drops the connection, as an unplugged box would.
    void hangUp();
    std::vector<Message> received() const;

private:
    void serve();

    std::string path_;
    std::string greeting_;
    Handler handler_;
    int listener_ = -1;
    std::atomic<int> client_{-1};
    std::atomic<bool> stopping_{false};
    mutable std::mutex mutex_;
    std::vector<Message> received_;
    std::thread thread_;
};

std::vector<std::uint8_t> bytesOf(const std::string& text);
