#pragma once

#include <ostream>
#include <string>
#include <vector>

// orva-cli record: see the usage text. Returns the exit status.
int runRecord(const std::vector<std::string>& arguments, std::ostream& err);
