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
