#include "boxsim/BoxServer.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace boxsim {

namespace {

// Sample bytes per stream message: large enough for few system calls at the highest rates,
// small enough that a command reply queued behind it is not held up for long.
constexpr size_t kStreamMessageBytes = 65536;
// Frames are made in batches at least this far apart (ms), to keep the wake-ups affordable.
constexpr int kMinWaitMs = 2;

bool socketAddress(const std::string& path, sockaddr_un& address) {
    address = sockaddr_un{};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof(address.sun_path)) {
        return false;
    }
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    return true;
}

// Whether a box answers on the socket file at `address`.
bool boxAnswers(const sockaddr_un& address) {
    const int probe = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (probe < 0) {
        return false;
    }
    const bool answers =
        connect(probe, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0;
    ::close(probe);
    return answers;
}

} // namespace

BoxServer::BoxServer(BoxModel& model, std::string directory)
    : model_(model), directory_(std::move(directory)),
      path_(boxSocketPath(directory_, model.config().name)),
      start_(std::chrono::steady_clock::now()) {}

BoxServer::~BoxServer() {
    close();
    if (wakeRead_ >= 0) {
        ::close(wakeRead_);
        ::close(wakeWrite_);
    }
}

double BoxServer::now() const {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
}

bool BoxServer::open(std::string& error) {
    if (listener_ >= 0) {
        error = "already open";
        return false;
    }
    if (!validBoxName(model_.config().name)) {
        error = "invalid box name '" + model_.config().name + "'";
        return false;
    }
    if (!prepareBoxDirectory(directory_, error)) {
        return false;
    }
    sockaddr_un address{};
    if (!socketAddress(path_, address)) {
        error = "socket path too long: " + path_;
        return false;
    }
    struct stat status {};
    if (lstat(path_.c_str(), &status) == 0) {
        if (!S_ISSOCK(status.st_mode)) {
            error = path_ + " exists and is not a socket";
            return false;
        }
        if (boxAnswers(address)) {
            error = "a box named '" + model_.config().name + "' is already served at " + path_;
            return false;
        }
        unlink(path_.c_str()); // left behind by a box that died
    }
    if (wakeRead_ < 0) {
        int pipeEnds[2];
        if (pipe2(pipeEnds, O_NONBLOCK | O_CLOEXEC) != 0) {
            error = std::string("cannot create a pipe: ") + std::strerror(errno);
            return false;
        }
        wakeRead_ = pipeEnds[0];
        wakeWrite_ = pipeEnds[1];
    }
    listener_ = socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (listener_ < 0 ||
        bind(listener_, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0 ||
        listen(listener_, 8) != 0 || lstat(path_.c_str(), &status) != 0) {
        error = "cannot listen on " + path_ + ": " + std::strerror(errno);
        if (listener_ >= 0) {
            ::close(listener_);
            listener_ = -1;
        }
        return false;
    }
    socketDevice_ = status.st_dev;
    socketInode_ = status.st_ino;
    outcome_ = Outcome::Serving;
    start_ = std::chrono::steady_clock::now();
    return true;
}

void BoxServer::requestStop() {
    const char byte = 1;
    // A failed write means the pipe is full, so a wake-up is pending anyway.
    [[maybe_unused]] const ssize_t written = write(wakeWrite_, &byte, 1);
}

BoxServer::Outcome BoxServer::run() {
    while (step(1000)) {
    }
    return outcome_;
}

bool BoxServer::step(int maxWaitMs) {
    if (outcome_ != Outcome::Serving) {
        return false;
    }
    if (listener_ < 0) {
        finish(Outcome::Failed);
        return false;
    }
    produceAndShip();
    if (model_.vanished()) {
        finish(Outcome::Vanished);
        return false;
    }

    int waitMs = maxWaitMs;
    if (const std::optional<double> due = model_.nextFrameTime()) {
        const double untilDue = std::ceil((*due - now()) * 1000.0);
        waitMs = static_cast<int>(std::clamp(untilDue, double(kMinWaitMs), double(maxWaitMs)));
    }
    std::array<pollfd, 3> fds{};
    fds[0] = {wakeRead_, POLLIN, 0};
    fds[1] = {listener_, POLLIN, 0};
    nfds_t count = 2;
    if (client_ >= 0) {
        const bool pending = outSent_ < out_.size() || model_.waitingBytes() > 0;
        fds[2] = {client_, static_cast<short>(POLLIN | (pending ? POLLOUT : 0)), 0};
        count = 3;
    }
    if (poll(fds.data(), count, waitMs) < 0) {
        if (errno == EINTR) {
            return true;
        }
        finish(Outcome::Failed);
        return false;
    }
    if (fds[0].revents & POLLIN) {
        char drain[64];
        while (read(wakeRead_, drain, sizeof(drain)) > 0) {
        }
        finish(Outcome::Stopped);
        return false;
    }
    if (fds[1].revents & (POLLERR | POLLNVAL)) {
        finish(Outcome::Failed);
        return false;
    }
    if (fds[1].revents & POLLIN) {
        acceptClients();
    }
    if (count == 3 && client_ >= 0 && (fds[2].revents & (POLLIN | POLLHUP | POLLERR))) {
        readClient();
    }
    if (model_.vanished()) {
        finish(Outcome::Vanished);
        return false;
    }
    flush();
    return true;
}

bool BoxServer::clientHungUp() const {
    pollfd p{client_, POLLRDHUP, 0};
    return poll(&p, 1, 0) > 0 && (p.revents & (POLLRDHUP | POLLHUP | POLLERR)) != 0;
}

void BoxServer::acceptClients() {
    for (;;) {
        const int fd = accept4(listener_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0) {
            return; // EAGAIN: all taken; other errors concern only that one client
        }
        // A client that has just hung up (a host that only looked at the greeting while
        // listing boxes, say) no longer holds the box, even if its end has not been read yet.
        if (client_ >= 0 && clientHungUp()) {
            dropClient();
        }
        if (client_ >= 0) {
            // Held by another client: say so and hang up. The greeting is tiny, so it always
            // fits into the fresh socket's buffer and is read by the client after the close.
            // A client that has gone already needs no answer, so the result does not matter.
            const std::string busy = encodeMessage(kEndpointGreeting, kGreetingBusy);
            send(fd, busy.data(), busy.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
            ::close(fd);
            continue;
        }
        client_ = fd;
        reader_ = MessageReader();
        out_ = encodeMessage(kEndpointGreeting, kGreetingFree);
        outSent_ = 0;
    }
}

void BoxServer::readClient() {
    char buffer[65536];
    for (;;) {
        const ssize_t got = recv(client_, buffer, sizeof(buffer), MSG_DONTWAIT);
        if (got > 0) {
            reader_.feed(std::string_view(buffer, static_cast<size_t>(got)));
            while (const std::optional<SimMessage> message = reader_.next()) {
                handleMessage(*message);
            }
            if (reader_.broken()) {
                dropClient();
                return;
            }
            continue;
        }
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            return;
        }
        dropClient(); // closed by the host, or a failed connection
        return;
    }
}

void BoxServer::handleMessage(const SimMessage& message) {
    switch (message.endpoint) {
    case kEndpointCommand: {
        const std::string reply = model_.receiveCommandBytes(message.payload, now());
        if (!reply.empty()) {
            out_ += encodeMessage(kEndpointCommandReply, reply);
        }
        break;
    }
    case kEndpointControl: {
        std::string answer;
        if (message.payload.size() == 8) {
            std::array<uint8_t, 8> setup{};
            std::memcpy(setup.data(), message.payload.data(), setup.size());
            answer = model_.controlRequest(setup);
        }
        out_ += encodeMessage(kEndpointControlReply, answer);
        break;
    }
    default:
        break; // e.g. bytes for the data OUT endpoint, which the box does not use
    }
}

void BoxServer::produceAndShip() {
    // The box converts and ships at the same time. This process may not be scheduled for a
    // while and then owes many frames at once; they are produced in slices of half the sample
    // memory and each slice is shipped before the next, so that the memory overflows only when
    // the host does not read, as in the box, and not because the simulator itself was paused.
    const double target = now();
    const double slice = model_.sampleMemorySeconds() / 2.0;
    for (;;) {
        const std::optional<double> next = model_.nextFrameTime();
        if (!next || *next > target || !(slice > 0.0)) {
            model_.advance(target);
            flush();
            return;
        }
        model_.advance(std::min(target, *next + slice));
        const bool shipped = flush();
        if (!shipped || model_.vanished() || model_.nextFrameTime() == next) {
            return;
        }
    }
}

bool BoxServer::flush() {
    while (client_ >= 0) {
        if (outSent_ == out_.size()) {
            out_.clear();
            outSent_ = 0;
            const std::string frames = model_.takeFrames(kStreamMessageBytes);
            if (frames.empty()) {
                return true;
            }
            out_ = encodeMessage(kEndpointStream, frames);
        }
        const ssize_t sent = send(client_, out_.data() + outSent_, out_.size() - outSent_,
                                  MSG_NOSIGNAL | MSG_DONTWAIT);
        if (sent >= 0) {
            outSent_ += static_cast<size_t>(sent);
        } else if (errno == EAGAIN || errno == EWOULDBLOCK) {
            return false; // frames wait in the model's sample memory, which drops when full
        } else if (errno != EINTR) {
            dropClient();
        }
    }
    return false;
}

void BoxServer::dropClient() {
    if (client_ < 0) {
        return;
    }
    ::close(client_);
    client_ = -1;
    out_.clear();
    outSent_ = 0;
    reader_ = MessageReader();
    model_.hostDisconnected(now());
}

void BoxServer::finish(Outcome outcome) {
    outcome_ = outcome;
    close();
}

void BoxServer::close() {
    if (client_ >= 0) {
        // Without a final flush: a box that stops or is unplugged just goes away.
        ::close(client_);
        client_ = -1;
        model_.hostDisconnected(now());
    }
    if (listener_ >= 0) {
        ::close(listener_);
        listener_ = -1;
        struct stat status {};
        if (lstat(path_.c_str(), &status) == 0 && status.st_dev == socketDevice_ &&
            status.st_ino == socketInode_) {
            unlink(path_.c_str());
        }
    }
}

} // namespace boxsim
