#include "fuzz/ScratchFolder.h"

#include <cstdlib>
#include <filesystem>
#include <vector>

namespace {

// Memory when the system offers it: on a disk, every file replaced by a rename waits for its
// data to be written out, which cost more than the reading and writing fuzzed.
std::filesystem::path parentFolder() {
    std::error_code failed;
    const std::filesystem::path memory = "/dev/shm";
    return std::filesystem::is_directory(memory, failed) ? memory
                                                         : std::filesystem::temp_directory_path();
}

} // namespace

ScratchFolder::ScratchFolder() {
    std::string pattern = (parentFolder() / "orva-fuzz-XXXXXX").string();
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    // Without the folder no input can be written; running on would only report false findings.
    if (!::mkdtemp(name.data()))
        std::abort();
    path_ = name.data();
}

ScratchFolder::~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}
