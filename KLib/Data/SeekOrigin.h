#pragma once

namespace KLib {

// Reference point of a seek in a byte sink or source; the values are the ones the data files
// have always used (0 start, 1 current position, 2 end).
enum SeekOrigin { SeekStart = 0, SeekCurrent = 1, SeekEnd = 2 };

} // namespace KLib
