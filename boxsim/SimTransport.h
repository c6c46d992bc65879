#pragma once

// Socket transport between the program and a simulated box.
//
// Where the box is found: one listening Unix stream socket per box, named "<box name>.sock", in
// $XDG_RUNTIME_DIR/orva-boxes/ when XDG_RUNTIME_DIR is set, else in /tmp/orva-boxes-<uid>/.
// The simulator creates that directory with mode 0700. A directory that is not owned by the
// user, or that others may access, is not used: the program ignores it and the simulator
// refuses to serve there. The program's device path for a box is "sim:" followed by the
// socket's absolute path.
//
// Who may talk: one client at a time. A box that is held answers a further client with the
// BUSY greeting and closes that connection, so that an enumeration does not list a held box.
// When the client goes away the box stops streaming, keeps its settings and waits for the next.
//
// Messages, in both directions: 1 byte endpoint address, 4 bytes payload length (little-endian,
// unsigned), then the payload.
//   box -> host, once on connect:  0xFF  "ORVA-SIM 1" (the box is free) or "BUSY"
//   host -> box:                   0x01  command bytes (bulk OUT endpoint 1)
//                                  0x00  control request; the payload is the 8-byte USB setup
//                                        packet (device, configuration and string descriptors)
//   box -> host:                   0x80  the answer to a control request (descriptor bytes,
//                                        empty for a request the box does not know)
//                                  0x81  command reply bytes (bulk IN endpoint 1)
//                                  0x82  sample-stream bytes, whole frames only (bulk IN 2)
// Messages to other endpoints are ignored. A payload longer than kMaxPayloadBytes breaks the
// connection.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace boxsim {

constexpr uint8_t kEndpointControl = 0x00;
constexpr uint8_t kEndpointCommand = 0x01;
constexpr uint8_t kEndpointControlReply = 0x80;
constexpr uint8_t kEndpointCommandReply = 0x81;
constexpr uint8_t kEndpointStream = 0x82;
constexpr uint8_t kEndpointGreeting = 0xFF;

constexpr std::string_view kGreetingFree = "ORVA-SIM 1";
constexpr std::string_view kGreetingBusy = "BUSY";

constexpr size_t kMessageHeaderBytes = 5;
constexpr uint32_t kMaxPayloadBytes = 1u << 20;

struct SimMessage {
    uint8_t endpoint = 0;
    std::string payload;
};

std::string encodeMessage(uint8_t endpoint, std::string_view payload);

// Collects received bytes and hands out the complete messages in them.
class MessageReader {
public:
    void feed(std::string_view bytes) { buffer_.append(bytes); }
    // The next complete message, or nothing while it is incomplete or the stream is broken.
    std::optional<SimMessage> next();
    // A message announced a payload above kMaxPayloadBytes; nothing more can be trusted.
    bool broken() const { return broken_; }

private:
    std::string buffer_;
    bool broken_ = false;
};

// The directory for box sockets by the environment: $XDG_RUNTIME_DIR/orva-boxes when that is an
// absolute path, else /tmp/orva-boxes-<uid>.
std::string defaultBoxDirectory();

// Creates `directory` (its parent must exist) with mode 0700, or checks that the existing one
// is a real directory owned by the user and closed to others. On failure `error` says why.
bool prepareBoxDirectory(const std::string& directory, std::string& error);

// "<directory>/<name>.sock"
std::string boxSocketPath(const std::string& directory, const std::string& name);

} // namespace boxsim
