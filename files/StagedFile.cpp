#include "files/StagedFile.h"

#include <cstdio>

std::string stagingPath(const std::string& path) {
    return path + ".partial";
}

bool commitStaged(const std::string& path) {
    if (std::rename(stagingPath(path).c_str(), path.c_str()) == 0)
        return true;
    discardStaged(path);
    return false;
}

void discardStaged(const std::string& path) {
    std::remove(stagingPath(path).c_str());
}
