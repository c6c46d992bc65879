#pragma once

#include "boxsim/BoxModel.h"
#include "boxsim/SimTransport.h"

#include <chrono>
#include <string>
#include <sys/types.h>

namespace boxsim {

// Serves one BoxModel on its Unix socket (see SimTransport.h for the contract). One thread:
// everything happens inside run() or step(); only requestStop() may be called from elsewhere.
// Box time for the model is the time since open().
class BoxServer {
public:
    enum class Outcome {
        Serving,  // not finished yet
        Stopped,  // requestStop() was called
        Vanished, // the model's vanish fault struck: the socket is gone
        Failed,   // the listening socket failed
    };

    // The socket will be "<directory>/<box name>.sock".
    BoxServer(BoxModel& model, std::string directory);
    ~BoxServer();
    BoxServer(const BoxServer&) = delete;
    BoxServer& operator=(const BoxServer&) = delete;

    // Prepares the directory, replaces a stale socket file left by a dead box and starts
    // listening. False with a reason in `error` when that is not possible (for instance when a
    // live box of the same name is already served there).
    bool open(std::string& error);

    // Serves until requestStop() or until the box vanishes.
    Outcome run();
    // One pass: waits up to `maxWaitMs` for traffic or for frames to fall due, then handles it.
    // False once the server has finished.
    bool step(int maxWaitMs);
    // Safe from another thread and from a signal handler, between open() and close().
    void requestStop();
    // Disconnects the client, stops listening and removes the socket file.
    void close();

    const std::string& socketPath() const { return path_; }
    Outcome outcome() const { return outcome_; }
    bool clientConnected() const { return client_ >= 0; }

private:
    double now() const;
    void acceptClients();
    bool clientHungUp() const;
    void readClient();
    void handleMessage(const SimMessage& message);
    // Ships waiting frames until the sample memory is empty (true) or the host's socket is full.
    bool flush();
    // Produces the frames due now and ships them; see the definition.
    void produceAndShip();
    void dropClient();
    void finish(Outcome outcome);

    BoxModel& model_;
    std::string directory_;
    std::string path_;
    std::chrono::steady_clock::time_point start_;
    int listener_ = -1;
    int client_ = -1;
    int wakeRead_ = -1;
    int wakeWrite_ = -1;
    dev_t socketDevice_ = 0; // identify our socket file, so that close() never removes
    ino_t socketInode_ = 0;  // a file some other box put in its place
    MessageReader reader_;
    std::string out_; // messages for the client; out_[outSent_...] still to send
    size_t outSent_ = 0;
    Outcome outcome_ = Outcome::Serving;
};

} // namespace boxsim
