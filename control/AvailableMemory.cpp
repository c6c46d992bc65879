#include "control/AvailableMemory.h"

#include <cstdio>
#include <fstream>
#include <sstream>
#include <unistd.h>

std::uint64_t availableMemoryBytes() {
    std::ifstream meminfo("/proc/meminfo");
    std::string line;
    while (std::getline(meminfo, line)) {
        std::istringstream fields(line);
        std::string name;
        std::uint64_t kibibytes = 0;
        if (fields >> name >> kibibytes && name == "MemAvailable:")
            return kibibytes * 1024;
    }
    const long pages = sysconf(_SC_AVPHYS_PAGES);
    const long pageSize = sysconf(_SC_PAGESIZE);
    return pages > 0 && pageSize > 0 ? static_cast<std::uint64_t>(pages) * pageSize : 0;
}

std::string memoryText(std::uint64_t bytes) {
    char text[32];
    const double megabytes = static_cast<double>(bytes) / (1024.0 * 1024.0);
    if (megabytes < 1024.0)
        std::snprintf(text, sizeof text, "%.0f MB", megabytes);
    else
        std::snprintf(text, sizeof text, "%.1f GB", megabytes / 1024.0);
    return text;
}
