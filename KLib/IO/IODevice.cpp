#include "KLib/IO/IODevice.h"

#include "KLib/Log.h"

#include <string>

namespace KLib {

namespace {
// Source path under which the line layer logs its traffic.
const char* const logSource = "KLib\\IO\\IODevice";
} // namespace

bool IODevice::writeLine(const std::string& text) {
    Log::write("-> " + text, LogTraffic, logSource, __LINE__);
    const std::string line = text + '\n';
    return write(line.data(), static_cast<int>(line.size())) == static_cast<int>(line.size());
}

std::string IODevice::readLine(bool* ended) {
    std::string line;
    char c = 0;
    bool lineFeed = false;
    while (line.size() < maxLineLength && read(&c, 1) == 1) {
        lineFeed = c == '\n';
        if (lineFeed)
            break;
        line += c;
    }
    if (ended)
        *ended = lineFeed;
    if (line.size() == maxLineLength)
        Log::write("line cut after " + std::to_string(maxLineLength) + " characters", LogWarning,
                   logSource, __LINE__);
    Log::write("<- " + line, LogTraffic, logSource, __LINE__);
    return line;
}

} // namespace KLib
