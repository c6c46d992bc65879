#include "KLib/Log.h"

#include <atomic>
#include <cstdio>
#include <memory>
#include <sstream>
#include <vector>

namespace KLib {

namespace {

struct Registry {
    std::vector<Ref<LogChannel>> channels;
    // Atomic so that worker threads that log at the same time stay free of data races.
    std::atomic<bool> dispatching{false};
};

// Channels are only added at start-up and removed at exit, while no worker thread runs, so the
// registry itself needs no lock.
std::unique_ptr<Registry>& registry() {
    static std::unique_ptr<Registry> instance;
    return instance;
}

} // namespace

void LogDebugChannel::write(const std::string& message, int, const std::string& file, int line) {
    if (message.empty())
        return;
    std::ostringstream text;
    text << file << '(' << line << ") : " << message << '\n';
    const std::string out = text.str();
    // One fwrite per line keeps lines from different threads whole.
    std::fwrite(out.data(), 1, out.size(), stderr);
}

void Log::init() {
    if (!registry())
        registry() = std::make_unique<Registry>();
}

void Log::addChannel(const Ref<LogChannel>& channel) {
    if (registry() && channel)
        registry()->channels.push_back(channel);
}

bool Log::write(const std::string& message, int level, const std::string& file, int line) {
    Registry* log = registry().get();
    if (!log)
        return false;
    const bool wasDispatching = log->dispatching.exchange(true);
    for (const Ref<LogChannel>& channel : log->channels)
        channel->write(message, level, file, line);
    log->dispatching = wasDispatching;
    return false;
}

void Log::shutdown() {
    Registry* log = registry().get();
    if (!log)
        return;
    for (const Ref<LogChannel>& channel : log->channels)
        channel->close();
    registry().reset();
}

bool Log::isInitialised() {
    return registry() != nullptr;
}

bool Log::isDispatching() {
    return registry() && registry()->dispatching;
}

} // namespace KLib
