#pragma once

#include "KLib/Array.h"

#include <cstddef>
#include <vector>

struct FFTRegion;

// Marks the regions that one channel's spectrum violates. pass holds one entry per region
// (1 = pass, 0 = fail); the caller sets every entry to 1 before the first channel of a
// computation, and a failed region stays failed for the later channels. A region fails when a
// bin inside its band, from truncation of (freq - width / 2) * transformLength / sampleRate to
// before truncation of (freq + width / 2) * transformLength / sampleRate, exceeds limitFail.
// Bins below 0 and past the spectrum are not examined, so a band above the Nyquist frequency
// always passes. A comparison with a value that is not a number (bin, limit or band) does not
// fail. spectrumSize: bins in spectrum; sampleRate in Hz.
void checkRegions(const double* spectrum, std::size_t spectrumSize, int transformLength,
                  double sampleRate, const KLib::Array<FFTRegion>& regions, std::vector<int>& pass);
