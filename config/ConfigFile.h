#pragma once

#include "config/Config.h"

#include <string>

// Writes the configuration as an XML file. The file is first written completely beside the
// target and then renamed over it, so a failed save never destroys an existing good file.
// Sets GraphData_BOOST_CLASS_version to the current GraphData version before writing.
bool saveConfig(Config& config, const std::string& path);

// Reads an XML configuration file into the existing configuration. On a format error it returns
// false and leaves what was read before the error; a file that cannot be opened changes nothing.
bool loadConfig(Config& config, const std::string& path);
