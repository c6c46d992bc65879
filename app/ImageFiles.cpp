#include "app/ImageFiles.h"

#include <climits>
#include <unistd.h>

namespace {

bool readable(const std::string& path) {
    return ::access(path.c_str(), R_OK) == 0;
}

std::string executableDirectory() {
    char path[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0)
        return ".";
    const std::string executable(path, static_cast<std::size_t>(n));
    return executable.substr(0, executable.rfind('/'));
}

} // namespace

std::string imageFile(const std::string& name) {
    const std::string local = "Images/" + name;
    if (readable(local))
        return local;
    const std::string besideExecutable = executableDirectory() + "/Images/" + name;
    return readable(besideExecutable) ? besideExecutable : local;
}
