#include "files/StagedFile.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

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

bool commitStagedPair(const std::string& dataPath, const std::string& sidePath, bool sideStaged) {
    // The earlier side file waits under this name until the new pair is in place.
    const std::string previous = sidePath + ".previous";
    std::error_code ignored;
    const bool hadSide = std::filesystem::exists(sidePath, ignored);
    if (!hadSide || std::rename(sidePath.c_str(), previous.c_str()) == 0) {
        if ((!sideStaged || commitStaged(sidePath)) && commitStaged(dataPath)) {
            std::remove(previous.c_str());
            return true;
        }
        std::remove(sidePath.c_str());
        if (hadSide)
            std::rename(previous.c_str(), sidePath.c_str());
    }
    discardStaged(sidePath);
    discardStaged(dataPath);
    return false;
}
