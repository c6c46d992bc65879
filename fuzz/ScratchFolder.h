#pragma once

#include <string>

// A folder of a fuzz target's own, for writers and readers that keep files beside each other
// (a CSV file and its table of losses); removed with its files when the run ends.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    std::string file(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};
