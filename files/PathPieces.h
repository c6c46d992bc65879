#pragma once

#include <string>

// The pieces of a data file path as typed; both "/" and "\" separate folders.
struct PathPieces {
    std::string directory; // up to and including the last separator; "" without one
    std::string fileName;  // after the last separator
    std::string extension; // after the last "." of the file name; "" without one
    std::string baseName;  // the file name without its last "." and extension
};

PathPieces splitPath(const std::string& path);

// The configuration file written beside a MAT file: directory + base name + ".cfg".
std::string sideConfigPath(const std::string& path);
