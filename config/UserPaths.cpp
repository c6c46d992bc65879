#include "config/UserPaths.h"

#include <cstdlib>
#include <pwd.h>
#include <unistd.h>

namespace {

std::string homeDirectory() {
    const char* home = std::getenv("HOME");
    if (home && *home)
        return home;
    const passwd* entry = getpwuid(getuid());
    return entry && entry->pw_dir ? entry->pw_dir : "/tmp";
}

} // namespace

std::string userConfigDirectory() {
    // The XDG convention wants an absolute path; a relative one is ignored.
    const char* configHome = std::getenv("XDG_CONFIG_HOME");
    const std::string base =
        configHome && configHome[0] == '/' ? configHome : homeDirectory() + "/.config";
    return base + "/orva2usb";
}

std::string userConfigFile() {
    return userConfigDirectory() + "/orva.cfg";
}
