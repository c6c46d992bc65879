#pragma once

#include <string>

// A data file is first written beside its target and only then renamed over it, so a failed
// save (full disk, data too large) never destroys a file already on disk.

// The name the file is written under until it is complete.
std::string stagingPath(const std::string& path);

// Renames the complete staging file over the target; removes it when that fails.
bool commitStaged(const std::string& path);

// Removes the staging file of a failed save.
void discardStaged(const std::string& path);

// Puts a data file and its side file in place together: the staged side file (or, when none was
// staged, no side file at all, as an earlier one does not describe the new data) and the staged
// data file. When a step fails, the earlier side file is put back and both staging files are
// removed, so the pair on disk always comes from one save.
bool commitStagedPair(const std::string& dataPath, const std::string& sidePath, bool sideStaged);
