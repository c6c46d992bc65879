#pragma once

#include <string>

// The per-user directory of the program and its command-line tool, following the XDG
// convention: $XDG_CONFIG_HOME/orva2usb, or ~/.config/orva2usb when XDG_CONFIG_HOME is unset.
std::string userConfigDirectory();

// The default configuration file, "orva.cfg" in the per-user directory.
std::string userConfigFile();
