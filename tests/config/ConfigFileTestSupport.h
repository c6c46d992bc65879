#pragma once

#include "config/Config.h"

#include <string>

// Helpers shared by the configuration file tests.
std::string readFile(const std::string& path);
void writeFile(const std::string& path, const std::string& bytes);

// A hand-written expected file from tests/data/config. Those files carry archive library
// version 6 in the wrapper; the returned text carries the version the installed Boost writes.
std::string expectedFile(const std::string& name);
std::string withInstalledArchiveVersion(std::string text);

// A fresh path in a private temporary directory.
std::string temporaryPath(const std::string& name);

// The configuration that tests/data/config/full.cfg describes.
Config fullConfig();

// Replaces the first occurrence of `from` (which must exist) by `to`.
std::string replaced(std::string text, const std::string& from, const std::string& to);
