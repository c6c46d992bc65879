#include "KLib/IO/USB/SimTransport.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace KLib {
namespace USB {

namespace {

constexpr int greetingTimeoutMs = 1000;
// A payload larger than this is a broken peer, not a box.
constexpr std::uint32_t maxPayload = 16u * 1024 * 1024;
// Stream bytes the host keeps while nobody reads them, about 1.2 s at the fastest stream.
constexpr std::size_t streamQueueLimit = 64u * 1024 * 1024;
constexpr std::size_t replyQueueLimit = 1024u * 1024;

// Waits until fd is readable (events POLLIN) or writable (POLLOUT), or has hung up or failed, so
// that the following recv or send tells which; false on time-out.
bool waitFor(int fd, short events, int timeoutMs) {
    pollfd p{fd, events, 0};
    for (;;) {
        const int r = ::poll(&p, 1, timeoutMs);
        if (r < 0 && errno == EINTR)
            continue;
        return r > 0;
    }
}

// Reads exactly n bytes within timeoutMs per wait; false on end, error or time-out.
bool readExactly(int fd, std::uint8_t* out, std::size_t n, int timeoutMs) {
    std::size_t got = 0;
    while (got < n) {
        if (!waitFor(fd, POLLIN, timeoutMs))
            return false;
        const ssize_t r = ::recv(fd, out + got, n - got, 0);
        if (r < 0 && (errno == EINTR || errno == EAGAIN))
            continue;
        if (r <= 0)
            return false;
        got += static_cast<std::size_t>(r);
    }
    return true;
}

std::uint32_t little32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

int connectTo(const std::string& socketPath) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (socketPath.size() >= sizeof address.sun_path)
        return -1;
    std::memcpy(address.sun_path, socketPath.c_str(), socketPath.size() + 1);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return -1;
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// Reads the greeting message; the text, or empty when there was none.
std::string readGreeting(int fd) {
    std::uint8_t header[5];
    if (!readExactly(fd, header, sizeof header, greetingTimeoutMs) ||
        header[0] != simGreetingEndpoint)
        return std::string();
    const std::uint32_t length = little32(header + 1);
    if (length > 64)
        return std::string();
    std::string text(length, '\0');
    if (!readExactly(fd, reinterpret_cast<std::uint8_t*>(text.data()), length, greetingTimeoutMs))
        return std::string();
    return text;
}

} // namespace

std::string simBoxDirectory() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && *runtime)
        return std::string(runtime) + "/orva-boxes";
    return "/tmp/orva-boxes-" + std::to_string(::getuid());
}

bool isTrustedBoxDirectory(const std::string& directory) {
    struct stat info {};
    return ::lstat(directory.c_str(), &info) == 0 && S_ISDIR(info.st_mode) &&
           info.st_uid == ::getuid() && (info.st_mode & 077) == 0;
}

std::vector<std::string> listSimBoxes() {
    std::vector<std::string> paths;
    const std::string directory = simBoxDirectory();
    if (!isTrustedBoxDirectory(directory))
        return paths;
    DIR* dir = ::opendir(directory.c_str());
    if (!dir)
        return paths;
    std::vector<std::string> names;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name.size() > 5 && name.compare(name.size() - 5, 5, ".sock") == 0)
            names.push_back(name);
    }
    ::closedir(dir);
    std::sort(names.begin(), names.end());
    for (const std::string& name : names) {
        const std::string socketPath = directory + "/" + name;
        const int fd = connectTo(socketPath);
        if (fd < 0)
            continue;
        if (readGreeting(fd) == simFreeGreeting)
            paths.push_back(simPathPrefix + socketPath);
        ::close(fd);
    }
    return paths;
}

std::vector<std::uint8_t> simMessageHeader(std::uint8_t endpoint, std::uint32_t length) {
    return {endpoint, static_cast<std::uint8_t>(length), static_cast<std::uint8_t>(length >> 8),
            static_cast<std::uint8_t>(length >> 16), static_cast<std::uint8_t>(length >> 24)};
}

std::shared_ptr<SimConnection> SimConnection::open(const std::string& socketPath) {
    const int fd = connectTo(socketPath);
    if (fd < 0)
        return nullptr;
    if (readGreeting(fd) != simFreeGreeting) {
        ::close(fd);
        return nullptr;
    }
    return std::shared_ptr<SimConnection>(new SimConnection(fd));
}

SimConnection::SimConnection(int fd)
    : fd_(fd), controlReplies_(replyQueueLimit), commandReplies_(replyQueueLimit),
      stream_(streamQueueLimit), receiver_([this] { receiveLoop(); }) {}

SimConnection::~SimConnection() {
    stopping_ = true;
    ::shutdown(fd_, SHUT_RDWR);
    receiver_.join();
    ::close(fd_);
}

ByteQueue& SimConnection::queue(std::uint8_t endpoint) {
    if (endpoint == simControlReplyEndpoint)
        return controlReplies_;
    return endpoint == 0x82 ? stream_ : commandReplies_;
}

void SimConnection::deliver(std::uint8_t endpoint, std::vector<std::uint8_t> payload) {
    if (endpoint == simControlReplyEndpoint || endpoint == 0x81 || endpoint == 0x82)
        queue(endpoint).push(std::move(payload));
}

void SimConnection::receiveLoop() {
    std::uint8_t header[5];
    while (!stopping_) {
        if (!waitFor(fd_, POLLIN, 100))
            continue;
        if (!readExactly(fd_, header, sizeof header, greetingTimeoutMs))
            break;
        const std::uint32_t length = little32(header + 1);
        if (length > maxPayload)
            break;
        std::vector<std::uint8_t> payload;
        if (!readPayload(payload, length))
            break;
        deliver(header[0], std::move(payload));
    }
    alive_ = false;
    controlReplies_.close();
    commandReplies_.close();
    stream_.close();
}

bool SimConnection::readPayload(std::vector<std::uint8_t>& payload, std::uint32_t length) {
    // The room grows with the bytes that arrive, a piece at a time: a header that announces
    // megabytes and then hangs up costs no more than the bytes that came.
    constexpr std::size_t piece = 64u * 1024;
    while (payload.size() < length) {
        const std::size_t at = payload.size();
        const std::size_t count = std::min<std::size_t>(piece, length - at);
        payload.resize(at + count);
        if (!readExactly(fd_, payload.data() + at, count, greetingTimeoutMs))
            return false;
    }
    return true;
}

bool SimConnection::send(std::uint8_t endpoint, const void* data, std::size_t length,
                         int timeoutMs) {
    if (!alive_ || length > maxPayload)
        return false;
    std::vector<std::uint8_t> message =
        simMessageHeader(endpoint, static_cast<std::uint32_t>(length));
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    message.insert(message.end(), bytes, bytes + length);
    std::lock_guard<std::mutex> lock(sendMutex_);
    std::size_t sent = 0;
    while (sent < message.size()) {
        if (!waitFor(fd_, POLLOUT, timeoutMs))
            return false;
        const ssize_t n =
            ::send(fd_, message.data() + sent, message.size() - sent, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n < 0 && (errno == EINTR || errno == EAGAIN))
            continue;
        if (n <= 0)
            return false;
        sent += static_cast<std::size_t>(n);
    }
    return true;
}

std::vector<std::uint8_t> SimConnection::controlRequest(const std::uint8_t (&setup)[8],
                                                        int timeoutMs) {
    std::lock_guard<std::mutex> lock(controlMutex_);
    controlReplies_.discard();
    std::vector<std::uint8_t> reply;
    if (!send(simControlRequestEndpoint, setup, sizeof setup, timeoutMs))
        return reply;
    std::uint8_t buffer[256];
    const int n = controlReplies_.pop(buffer, sizeof buffer, std::chrono::milliseconds(timeoutMs));
    if (n > 0)
        reply.assign(buffer, buffer + n);
    return reply;
}

} // namespace USB
} // namespace KLib
