#pragma once

#include <ostream>
#include <string>

// orva-cli convert IN OUT: copies a recording or data file into another file type, a block of
// rows at a time; its exit status.
int runConvert(const std::string& input, const std::string& output, std::ostream& err);
