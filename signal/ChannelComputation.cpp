#include "signal/ChannelComputation.h"

#include <algorithm>
#include <cmath>

namespace {

double sourceScale(const Catalogue& catalogue, int input, int signal) {
    const SignalEntry* entry = nearestSignal(catalogue, input, signal);
    return entry ? entry->scale : 0.0;
}

int usableCount(int count, const std::vector<double>& values) {
    const auto limit = std::min(values.size(), static_cast<size_t>(maxChunkValues));
    return std::clamp(count, 0, static_cast<int>(limit));
}

// Each value becomes the difference to its predecessor times the rate; the first one is taken
// against the last value of the previous chunk (0 for the first chunk of the record).
void differentiate(ChannelRuntime& record, std::vector<double>& values, int count, double rate) {
    if (count == 0)
        return;
    const double last = values[static_cast<size_t>(count - 1)];
    for (size_t i = static_cast<size_t>(count - 1); i >= 1; --i)
        values[i] = (values[i] - values[i - 1]) * rate;
    values[0] = (values[0] - record.keptValue) * rate;
    record.keptValue = last;
}

void applyOffsetAndSign(const ChannelRuntime& record, std::vector<double>& values, int count) {
    if (record.offset == 0.0 && record.sign == 1.0)
        return;
    for (size_t i = 0; i < static_cast<size_t>(count); ++i)
        values[i] = record.offset == 0.0 ? record.sign * values[i]
                                         : record.offset + record.sign * values[i];
}

} // namespace

ChannelRuntime makeChannelRuntime(const ChannelData& channel, const Catalogue& catalogue) {
    ChannelRuntime record;
    // Both factors are products of two floats, exact in double.
    const double unit = unitFactor(channel.unit);
    record.factor = unit * sourceScale(catalogue, channel.input, channel.channel);
    record.factor2 = unit * sourceScale(catalogue, channel.input2, channel.channel2);
    record.op = channel.op;
    record.sign = channel.invert ? -1.0 : 1.0;
    // An offset typed as "inf" or "nan" would wipe out the whole curve; it counts as 0.
    const double offset = leadingNumber(channel.offset);
    record.offset = std::isfinite(offset) ? offset : 0.0;
    return record;
}

int computeChannel(ChannelRuntime& record, std::vector<double>& values,
                   const std::vector<double>& values2, int count, int count2, double rate) {
    int n = usableCount(count, values);
    switch (record.op) {
    case OperationAdd:
        n = std::min(n, usableCount(count2, values2));
        for (size_t i = 0; i < static_cast<size_t>(n); ++i)
            values[i] += values2[i];
        break;
    case OperationSubtract:
        n = std::min(n, usableCount(count2, values2));
        for (size_t i = 0; i < static_cast<size_t>(n); ++i)
            values[i] -= values2[i];
        break;
    case OperationDifferentiate:
        differentiate(record, values, n, rate);
        break;
    default:
        break;
    }
    applyOffsetAndSign(record, values, n);
    return n;
}
