#pragma once

#include "files/FrameLoss.h"

#include <cstdint>
#include <vector>

// The table "lost" of a recording in a MAT file: n x 3 doubles, one row per loss with the data
// row where it stands (from 1, as MATLAB counts), the frames lost and the substitutes written.

// The table's values in MATLAB's column-major order.
std::vector<double> lossTableValues(const std::vector<FrameLoss>& losses);

// The losses of a table of the given dimensions; empty when it has another shape. Rows with a
// value out of range are left out.
std::vector<FrameLoss> lossTable(const std::vector<double>& values,
                                 const std::vector<std::int32_t>& dimensions);
