#include "FakeSimBox.h"

#include <cstring>
#include <poll.h>
#include <stdexcept>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

void sendMessage(int fd, std::uint8_t endpoint, const std::vector<std::uint8_t>& payload) {
    std::vector<std::uint8_t> bytes = {endpoint};
    const auto n = static_cast<std::uint32_t>(payload.size());
    for (int shift = 0; shift < 32; shift += 8)
        bytes.push_back(static_cast<std::uint8_t>(n >> shift));
    bytes.insert(bytes.end(), payload.begin(), payload.end());
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t r = ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (r <= 0)
            return;
        sent += static_cast<std::size_t>(r);
    }
}

bool readExactly(int fd, std::uint8_t* out, std::size_t n) {
    std::size_t got = 0;
    while (got < n) {
        const ssize_t r = ::recv(fd, out + got, n - got, 0);
        if (r <= 0)
            return false;
        got += static_cast<std::size_t>(r);
    }
    return true;
}

} // namespace

std::vector<std::uint8_t> bytesOf(const std::string& text) {
    return std::vector<std::uint8_t>(text.begin(), text.end());
}

FakeSimBox::FakeSimBox(const std::string& socketPath, std::string greeting, Handler handler)
    : path_(socketPath), greeting_(std::move(greeting)), handler_(std::move(handler)) {
    listener_ = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path_.c_str(), sizeof address.sun_path - 1);
    if (::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(listener_, 4) != 0)
        throw std::runtime_error("cannot listen on " + path_);
    thread_ = std::thread([this] { serve(); });
}

FakeSimBox::~FakeSimBox() {
    stopping_ = true;
    hangUp();
    ::shutdown(listener_, SHUT_RDWR);
    thread_.join();
    ::close(listener_);
    ::unlink(path_.c_str());
}

void FakeSimBox::serve() {
    while (!stopping_) {
        pollfd p{listener_, POLLIN, 0};
        if (::poll(&p, 1, 50) <= 0)
            continue;
        const int fd = ::accept(listener_, nullptr, nullptr);
        if (fd < 0)
            continue;
        sendMessage(fd, 0xFF, bytesOf(greeting_));
        client_ = fd;
        std::uint8_t header[5];
        while (!stopping_ && readExactly(fd, header, sizeof header)) {
            Message message{header[0], {}};
            const std::uint32_t length = header[1] | header[2] << 8 | header[3] << 16 |
                                         static_cast<std::uint32_t>(header[4]) << 24;
            message.payload.resize(length);
            if (!readExactly(fd, message.payload.data(), length))
                break;
            {
                std::lock_guard<std::mutex> lock(mutex_);
                received_.push_back(message);
            }
            for (const Message& reply : handler_(message))
                sendMessage(fd, reply.endpoint, reply.payload);
        }
        client_ = -1;
        ::close(fd);
    }
}

void FakeSimBox::send(std::uint8_t endpoint, const std::vector<std::uint8_t>& payload) {
    while (client_ < 0)
        std::this_thread::yield();
    sendMessage(client_, endpoint, payload);
}

// Only shuts the connection down; the serving thread sees the end and closes the socket.
void FakeSimBox::hangUp() {
    const int fd = client_;
    if (fd >= 0)
        ::shutdown(fd, SHUT_RDWR);
}

std::vector<FakeSimBox::Message> FakeSimBox::received() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return received_;
}
