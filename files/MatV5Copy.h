#pragma once

#include "files/FileProgress.h"
#include "files/Mat73Source.h"

#include <string>

// Whether every variable of the recording fits a MATLAB 5 MAT file, whose elements hold at most
// 4 GiB and 2^31 - 1 values per dimension.
bool fitsMatV5(const Mat73Source& source);

// Writes the variables of a version-7.3 recording as a MATLAB 5 MAT file at `path`, a column
// at a time through a block of memory: the graph structs with "fft" and their channel structs
// with "data", "unit" and "color", "time" (s) and "lost". A long copy reports its progress.
// False, with `error` set, when the file can't be written.
bool copyToMatV5(Mat73Source& source, const std::string& path, std::string& error,
                 FileProgress* progress = nullptr);
