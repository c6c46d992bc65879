#pragma once

// The socket transport to a simulated box. This is a contract shared with every tool that serves
// or talks to a simulated box:
//
// * Directory: $XDG_RUNTIME_DIR/orva-boxes/ when XDG_RUNTIME_DIR is set, else
//   /tmp/orva-boxes-<uid>/. The server creates it with mode 0700; a client ignores the directory
//   when it is not a directory owned by the user or when group or others may access it.
// * One listening Unix stream socket per box, <name>.sock. The device path of a box is "sim:"
//   followed by the socket's absolute path. One client at a time: a box that is held answers a
//   second client with a BUSY greeting and closes, so enumeration does not list it.
// * Every message, both ways: 1 byte endpoint address, 4 bytes little-endian payload length,
//   payload. On connect the box sends endpoint 0xFF with "ORVA-SIM 1" (free) or "BUSY".
//   Host to box: 0x01 command bytes (bulk OUT 1); 0x00 a control request whose payload is the
//   8-byte USB setup packet (device and string descriptors), answered by the box on 0x80 with the
//   descriptor bytes. Box to host: 0x81 command reply bytes, 0x82 sample-stream bytes.

#include "KLib/IO/USB/ByteQueue.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace KLib {
namespace USB {

constexpr std::uint8_t simGreetingEndpoint = 0xFF;
constexpr std::uint8_t simControlRequestEndpoint = 0x00;
constexpr std::uint8_t simControlReplyEndpoint = 0x80;
constexpr const char* simFreeGreeting = "ORVA-SIM 1";
constexpr const char* simBusyGreeting = "BUSY";
constexpr const char* simPathPrefix = "sim:";

// The directory in which simulated boxes listen.
std::string simBoxDirectory();
// True for a real directory owned by this user that group and others cannot access.
bool isTrustedBoxDirectory(const std::string& directory);
// "sim:" paths of the boxes that are free now, sorted by socket name.
std::vector<std::string> listSimBoxes();

// The 5-byte header of a message.
std::vector<std::uint8_t> simMessageHeader(std::uint8_t endpoint, std::uint32_t length);

// One connection to a simulated box. A receive thread splits the incoming messages by endpoint
// into queues, so the command pipe and the data pipe can be read from different threads.
class SimConnection {
public:
    // Connects and reads the greeting; null unless the box greeted as free.
    static std::shared_ptr<SimConnection> open(const std::string& socketPath);
    ~SimConnection();
    SimConnection(const SimConnection&) = delete;
    SimConnection& operator=(const SimConnection&) = delete;

    // Sends one message; false when the box is gone or did not take it within timeoutMs.
    bool send(std::uint8_t endpoint, const void* data, std::size_t length, int timeoutMs);
    // The queue of an IN endpoint (0x80 control replies, 0x81 replies, 0x82 stream).
    ByteQueue& queue(std::uint8_t endpoint);
    // Sends a control request and waits for its reply; empty when none came within timeoutMs.
    std::vector<std::uint8_t> controlRequest(const std::uint8_t (&setup)[8], int timeoutMs);
    bool alive() const { return alive_; }

private:
    explicit SimConnection(int fd);
    void receiveLoop();
    // Reads a message's `length` bytes into `payload`; false when the box hung up or went quiet.
    bool readPayload(std::vector<std::uint8_t>& payload, std::uint32_t length);
    void deliver(std::uint8_t endpoint, std::vector<std::uint8_t> payload);

    int fd_;
    std::atomic<bool> alive_{true};
    std::atomic<bool> stopping_{false};
    std::mutex sendMutex_;
    std::mutex controlMutex_;
    ByteQueue controlReplies_;
    ByteQueue commandReplies_;
    ByteQueue stream_;
    std::thread receiver_;
};

} // namespace USB
} // namespace KLib
