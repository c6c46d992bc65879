// The message framing of the socket transport to a simulated box, on both sides and on the same
// bytes. The input after its first byte is what a box sends, greeting first. The program's
// connection takes it from a real socket; the simulator's message reader takes it in pieces of
// 1 + the first byte's value, as the reads of its socket deliver them. Both must find the same
// messages: the connection opens exactly when the first message is the free greeting, and then
// each of its endpoint queues holds the payloads of the messages to that endpoint, in order, up
// to the first message the reader cannot complete.

#include "KLib/IO/USB/SimTransport.h"
#include "boxsim/SimTransport.h"
#include "fuzz/Check.h"
#include "fuzz/ScratchFolder.h"

#include <pthread.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <map>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace {

// A box that listens where the connection looks for it. Its thread serves the bytes offered to
// the next connection and hangs up; one thread for the whole run, as a thread start costs more
// than an input.
class ListeningBox {
public:
    ListeningBox() : path_(folder_.file("box.sock")) {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::memcpy(address.sun_path, path_.c_str(), path_.size() + 1);
        listener_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        require(listener_ >= 0 &&
                ::bind(listener_, reinterpret_cast<const sockaddr*>(&address), sizeof address) ==
                    0 &&
                ::listen(listener_, 1) == 0);
        server_ = std::thread([this] { run(); });
    }
    ~ListeningBox() {
        // Wakes the thread from its accept.
        ::shutdown(listener_, SHUT_RDWR);
        server_.join();
        ::close(listener_);
    }

    const std::string& path() const { return path_; }

    // The bytes for the next connection; they must stay valid until served() returns.
    void offer(std::string_view bytes) {
        std::lock_guard<std::mutex> lock(mutex_);
        bytes_ = bytes;
        served_ = false;
    }
    // Waits until the connection has been served and hung up on.
    void served() {
        std::unique_lock<std::mutex> lock(mutex_);
        done_.wait(lock, [this] { return served_; });
    }

private:
    void run() {
        for (;;) {
            const int client = ::accept(listener_, nullptr, nullptr);
            // libFuzzer's time-out alarm interrupts whichever thread it lands on; only the
            // shutdown in the destructor ends the box.
            if (client < 0 && errno == EINTR)
                continue;
            if (client < 0)
                return;
            std::unique_lock<std::mutex> lock(mutex_);
            send(client, bytes_);
            ::close(client);
            served_ = true;
            done_.notify_all();
        }
    }

    static void send(int client, std::string_view bytes) {
        std::size_t sent = 0;
        while (sent < bytes.size()) {
            const ssize_t n =
                ::send(client, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                return; // the connection gave up on the greeting and hung up
            sent += static_cast<std::size_t>(n);
        }
    }

    ScratchFolder folder_;
    std::string path_;
    int listener_ = -1;
    std::mutex mutex_;
    std::condition_variable done_;
    std::string_view bytes_;
    bool served_ = true;
    std::thread server_;
};

std::vector<boxsim::SimMessage> simulatorMessages(std::string_view bytes, std::size_t piece) {
    boxsim::MessageReader reader;
    std::vector<boxsim::SimMessage> messages;
    for (std::size_t at = 0; at < bytes.size() && !reader.broken(); at += piece) {
        reader.feed(bytes.substr(at, piece));
        while (std::optional<boxsim::SimMessage> message = reader.next())
            messages.push_back(std::move(*message));
    }
    return messages;
}

// Everything a queue of the connection receives until the connection has ended.
std::string drained(KLib::USB::ByteQueue& queue) {
    std::string bytes;
    char block[4096];
    int count = 0;
    while ((count = queue.pop(block, sizeof block, std::chrono::seconds(1))) >= 0)
        bytes.append(block, static_cast<std::size_t>(count));
    return bytes;
}

} // namespace

// Threads (the box's here, the connection's receivers) start with 256 KiB of stack instead of the
// 8 MiB the stack limit gives: the sanitizer clears the shadow of the whole stack at every
// thread start, which cost more than everything else an input does.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
    pthread_attr_t attributes;
    require(pthread_attr_init(&attributes) == 0 &&
            pthread_attr_setstacksize(&attributes, 256 * 1024) == 0 &&
            pthread_setattr_default_np(&attributes) == 0);
    pthread_attr_destroy(&attributes);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    static ListeningBox box;
    const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);
    const std::vector<boxsim::SimMessage> messages =
        simulatorMessages(bytes, std::size_t(data[0]) + 1);
    const bool greeted = !messages.empty() &&
                         messages.front().endpoint == boxsim::kEndpointGreeting &&
                         messages.front().payload == boxsim::kGreetingFree;

    box.offer(bytes);
    const std::shared_ptr<KLib::USB::SimConnection> connection =
        KLib::USB::SimConnection::open(box.path());
    require((connection != nullptr) == greeted);
    if (connection) {
        std::map<std::uint8_t, std::string> expected;
        for (std::size_t m = 1; m < messages.size(); ++m)
            expected[messages[m].endpoint] += messages[m].payload;
        for (std::uint8_t endpoint : {boxsim::kEndpointControlReply, boxsim::kEndpointCommandReply,
                                      boxsim::kEndpointStream})
            require(drained(connection->queue(endpoint)) == expected[endpoint]);
        require(!connection->alive());
    }
    box.served();
    return 0;
}
