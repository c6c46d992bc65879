#include "config/ConfigFile.h"

#include "config/ConfigArchive.h"
#include "config/ConfigIArchive.h"
#include "config/ConfigSerialization.h"

#include <cerrno>
#include <cstdio>
#include <exception>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool writeAll(int fd, const std::string& bytes) {
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        written += static_cast<std::size_t>(n);
    }
    return true;
}

// Writes the bytes to a temporary file in the target's directory, flushes them to the disk and
// renames the temporary file over the target. The target keeps its permissions.
bool replaceFile(const std::string& path, const std::string& bytes) {
    std::string temporary = path + ".XXXXXX";
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0)
        return false;
    struct stat existing {};
    const mode_t mode = ::stat(path.c_str(), &existing) == 0 ? existing.st_mode & 07777 : 0644;
    bool ok = ::fchmod(fd, mode) == 0 && writeAll(fd, bytes) && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    if (ok && std::rename(temporary.c_str(), path.c_str()) == 0)
        return true;
    std::remove(temporary.c_str());
    return false;
}

} // namespace

bool saveConfig(Config& config, const std::string& path) {
    std::ostringstream text;
    return saveConfig(config, text) && replaceFile(path, text.str());
}

bool saveConfig(Config& config, std::ostream& out) {
    config.GraphData_BOOST_CLASS_version = Config::graphDataClassVersion;
    std::ostringstream text;
    try {
        // The archive writes the closing wrapper line when it is destroyed.
        ConfigOArchive archive(text);
        archive << boost::serialization::make_nvp("config", config);
    } catch (const std::exception&) {
        return false;
    }
    std::string bytes = text.str();
    // Boost's text primitive ends every archive with one more line end after the closing
    // wrapper line; the file ends with the wrapper line and a single line end.
    if (bytes.size() >= 2 && bytes.compare(bytes.size() - 2, 2, "\n\n") == 0)
        bytes.pop_back();
    return text.good() && out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

bool loadConfig(Config& config, const std::string& path) {
    std::ifstream file(path);
    return file && loadConfig(config, file);
}

bool loadConfig(Config& config, std::istream& text) {
    try {
        ConfigIArchive archive(text);
        // Boost's XML reader accepts any archive library version; a newer one was written by a
        // newer serialization library whose layout this reader may not know.
        if (archive.get_library_version() > boost::archive::BOOST_ARCHIVE_VERSION())
            return false;
        archive >> boost::serialization::make_nvp("config", config);
        archive.readTrailer();
    } catch (const std::exception&) {
        return false;
    }
    return true;
}
