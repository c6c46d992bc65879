#pragma once

#include <string>

// A MAT file read as the program reads one back: first element by element the way a general
// reader walks any file (structures nested to any depth), then as one of our data files, whose
// graphs and channels are then added to a configuration as "load data" does without a side
// file. Every read must succeed or refuse the file; what it hands out must match what the
// file's headers claim.
void readMatFileEveryWay(const std::string& path);
