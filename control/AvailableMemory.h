#pragma once

#include <cstdint>
#include <string>

// Bytes the system can still give this program without swapping: MemAvailable of
// /proc/meminfo, or the free physical pages where that is missing.
std::uint64_t availableMemoryBytes();

// "850 MB" or "12.3 GB", for messages.
std::string memoryText(std::uint64_t bytes);
