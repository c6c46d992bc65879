#pragma once

#include "KLib/Object.h"
#include "KLib/Ref.h"

#include <string>

namespace KLib {

// Severity levels passed to Log::write.
enum LogLevel { LogTraffic = 1, LogWarning = 2 };

class LogChannel : public Object {
public:
    virtual void write(const std::string& message, int level, const std::string& file,
                       int line) = 0;
    // Called once when the log shuts down.
    virtual void close() {}
};

// Writes every non-empty message as one line "file(line) : message" to standard error, the
// Linux counterpart of the debugger output. Safe to call from any thread.
class LogDebugChannel : public LogChannel {
public:
    void write(const std::string& message, int level, const std::string& file, int line) override;
};

// The process-wide log. Calls before init() or after shutdown() are dropped silently.
class Log {
public:
    static void init();
    static void addChannel(const Ref<LogChannel>& channel);
    // Hands the message to every channel in the order they were added. Always returns false.
    static bool write(const std::string& message, int level, const std::string& file, int line);
    static void shutdown();

    static bool isInitialised();
    // True while write() is handing a message to the channels.
    static bool isDispatching();
};

} // namespace KLib
