#include "signal/SampleRates.h"

const std::vector<int>& sampleRates() {
    static const std::vector<int> rates = {100,   200,   500,   1000,   2000,   5000,
                                           10000, 20000, 50000, 100000, 200000, 500000};
    return rates;
}
