#include "files/LossTable.h"

#include <limits>

std::vector<double> lossTableValues(const std::vector<FrameLoss>& losses) {
    // Column-major: all rows, then all frame counts, then all substitute counts.
    const std::size_t n = losses.size();
    std::vector<double> table(3 * n);
    for (std::size_t i = 0; i < n; ++i) {
        table[i] = static_cast<double>(losses[i].atSample + 1);
        table[n + i] = static_cast<double>(losses[i].frames);
        table[2 * n + i] = losses[i].substitutes;
    }
    return table;
}

std::vector<FrameLoss> lossTable(const std::vector<double>& values,
                                 const std::vector<std::int32_t>& dimensions) {
    std::vector<FrameLoss> losses;
    if (dimensions.size() != 2 || dimensions[1] != 3 ||
        values.size() != 3 * std::size_t(dimensions[0]))
        return losses;
    // Column-major: the rows (from 1), then the frames, then the substitutes.
    const std::size_t n = values.size() / 3;
    const auto inRange = [](double value, double highest) {
        return value >= 0 && value <= highest;
    };
    for (std::size_t i = 0; i < n; ++i)
        if (values[i] >= 1 && inRange(values[i], 9e18) && inRange(values[n + i], 9e18) &&
            inRange(values[2 * n + i], std::numeric_limits<int>::max()))
            losses.push_back({static_cast<std::uint64_t>(values[i]) - 1,
                              static_cast<std::int64_t>(values[n + i]),
                              static_cast<int>(values[2 * n + i])});
    return losses;
}
