#include "boxsim/SimTransport.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace boxsim {

std::string encodeMessage(uint8_t endpoint, std::string_view payload) {
    const auto length = static_cast<uint32_t>(payload.size());
    std::string message;
    message.reserve(kMessageHeaderBytes + payload.size());
    message.push_back(static_cast<char>(endpoint));
    for (int byte = 0; byte < 4; ++byte) {
        message.push_back(static_cast<char>((length >> (8 * byte)) & 0xFF));
    }
    message.append(payload);
    return message;
}

std::optional<SimMessage> MessageReader::next() {
    if (broken_ || buffer_.size() < kMessageHeaderBytes) {
        return std::nullopt;
    }
    uint32_t length = 0;
    for (int byte = 3; byte >= 0; --byte) {
        length = length << 8 | static_cast<uint8_t>(buffer_[1 + byte]);
    }
    if (length > kMaxPayloadBytes) {
        broken_ = true;
        return std::nullopt;
    }
    if (buffer_.size() < kMessageHeaderBytes + length) {
        return std::nullopt;
    }
    SimMessage message{static_cast<uint8_t>(buffer_[0]),
                       buffer_.substr(kMessageHeaderBytes, length)};
    buffer_.erase(0, kMessageHeaderBytes + length);
    return message;
}

std::string defaultBoxDirectory() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime != nullptr && runtime[0] == '/') {
        return std::string(runtime) + "/orva-boxes";
    }
    return "/tmp/orva-boxes-" + std::to_string(getuid());
}

bool prepareBoxDirectory(const std::string& directory, std::string& error) {
    if (directory.empty()) {
        error = "no directory given";
        return false;
    }
    if (mkdir(directory.c_str(), 0700) == 0) {
        // The umask may have taken more than we asked for; set exactly 0700.
        if (chmod(directory.c_str(), 0700) != 0) {
            error = "cannot set the mode of " + directory + ": " + std::strerror(errno);
            return false;
        }
    } else if (errno != EEXIST) {
        error = "cannot create " + directory + ": " + std::strerror(errno);
        return false;
    }
    struct stat status {};
    if (lstat(directory.c_str(), &status) != 0) {
        error = "cannot examine " + directory + ": " + std::strerror(errno);
        return false;
    }
    if (!S_ISDIR(status.st_mode)) {
        error = directory + " is not a directory";
        return false;
    }
    if (status.st_uid != getuid()) {
        error = directory + " belongs to another user";
        return false;
    }
    if ((status.st_mode & 077) != 0) {
        error = directory + " is accessible to other users (mode must be 0700)";
        return false;
    }
    return true;
}

std::string boxSocketPath(const std::string& directory, const std::string& name) {
    std::string path = directory;
    while (path.size() > 1 && path.back() == '/') {
        path.pop_back();
    }
    return path + "/" + name + ".sock";
}

} // namespace boxsim
