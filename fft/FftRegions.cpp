#include "fft/FftRegions.h"

#include "config/Config.h"

#include <algorithm>
#include <cmath>

void checkRegions(const double* spectrum, std::size_t spectrumSize, int transformLength,
                  double sampleRate, const KLib::Array<FFTRegion>& regions,
                  std::vector<int>& pass) {
    pass.resize(regions.size(), 1);
    const double size = static_cast<double>(spectrumSize);
    const double binsPerHz = transformLength / sampleRate;
    for (std::size_t i = 0; i < regions.size(); ++i) {
        if (pass[i] == 0)
            continue;
        const FFTRegion& region = regions[i];
        // Bin positions stay doubles until clamped to 0 ... spectrumSize: a huge or not-a-number
        // band must not reach the integer conversion.
        const double lo = std::trunc((region.freq - 0.5 * region.width) * binsPerHz);
        const double hi = std::trunc((region.freq + 0.5 * region.width) * binsPerHz);
        if (!(lo < size) || !(hi > 0.0))
            continue;
        const std::size_t first = lo > 0.0 ? static_cast<std::size_t>(lo) : 0;
        const std::size_t last = hi < size ? static_cast<std::size_t>(hi) : spectrumSize;
        for (std::size_t j = first; j < last; ++j) {
            if (spectrum[j] > region.limitFail) {
                pass[i] = 0;
                break;
            }
        }
    }
}
