#pragma once

#include <string>

// The path of a run-time image ("AutoZoom.png", ...): "Images/<name>" in the working directory
// when it is there, else in the "Images" folder beside the executable, so the program also runs
// from any other directory.
std::string imageFile(const std::string& name);
