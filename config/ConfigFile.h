#pragma once

#include "config/Config.h"

#include <istream>
#include <ostream>
#include <string>

// Writes the configuration as an XML file. The file is first written completely beside the
// target and then renamed over it, so a failed save never destroys an existing good file.
// Sets GraphData_BOOST_CLASS_version to the current GraphData version before writing.
bool saveConfig(Config& config, const std::string& path);
// Writes the text of the configuration file to the stream.
bool saveConfig(Config& config, std::ostream& out);

// Reads an XML configuration file into the existing configuration. On a format error it returns
// false and leaves what was read before the error; a file that cannot be opened changes nothing.
bool loadConfig(Config& config, const std::string& path);
// The same for the text of a configuration file already open as a stream.
bool loadConfig(Config& config, std::istream& text);
