#include "boxsim/TrackImperfections.h"

#include "boxsim/TextFields.h"

#include <climits>
#include <vector>

namespace boxsim {

namespace {

constexpr double kLargestVolts = 10.0; // far beyond the converters' +-0.625 V, which clip

// The input number and the `count` comma-separated numbers of "INPUT:V,V,...".
std::optional<std::pair<int, std::vector<double>>> numberedValues(std::string_view text,
                                                                  size_t count) {
    const std::vector<std::string_view> parts = splitText(text, ':');
    if (parts.size() != 2) {
        return std::nullopt;
    }
    const std::optional<int64_t> input = parseInteger(parts[0]);
    if (!input || *input < 1 || *input > INT_MAX) {
        return std::nullopt;
    }
    std::vector<double> values;
    for (std::string_view part : splitText(parts[1], ',')) {
        const std::optional<double> value = parseReal(part);
        if (!value) {
            return std::nullopt;
        }
        values.push_back(*value);
    }
    if (values.size() != count) {
        return std::nullopt;
    }
    return std::make_pair(static_cast<int>(*input), values);
}

bool within(double value, double low, double high) {
    return value >= low && value <= high;
}

bool phaseErrorValid(double degrees) {
    return degrees > -90.0 && degrees < 90.0;
}

} // namespace

std::optional<std::pair<int, SinCosImperfection>> parseSinCosImperfection(std::string_view text) {
    const auto numbered = numberedValues(text, 6);
    if (!numbered) {
        return std::nullopt;
    }
    const std::vector<double>& v = numbered->second;
    const SinCosImperfection imperfection{v[0], v[1], v[2], v[3], v[4], v[5]};
    if (!within(imperfection.peakA, 0.0, kLargestVolts) ||
        !within(imperfection.peakB, 0.0, kLargestVolts) ||
        !within(imperfection.offsetA, -kLargestVolts, kLargestVolts) ||
        !within(imperfection.offsetB, -kLargestVolts, kLargestVolts) ||
        !phaseErrorValid(imperfection.phaseErrorDegrees) ||
        !within(imperfection.noiseRms, 0.0, kLargestVolts)) {
        return std::nullopt;
    }
    return std::make_pair(numbered->first, imperfection);
}

std::optional<std::pair<int, HtlImperfection>> parseHtlImperfection(std::string_view text) {
    const auto numbered = numberedValues(text, 3);
    if (!numbered) {
        return std::nullopt;
    }
    const std::vector<double>& v = numbered->second;
    const HtlImperfection imperfection{v[0], v[1], v[2]};
    const auto dutyValid = [](double percent) { return percent > 0.0 && percent < 100.0; };
    if (!dutyValid(imperfection.dutyA) || !dutyValid(imperfection.dutyB) ||
        !phaseErrorValid(imperfection.phaseErrorDegrees)) {
        return std::nullopt;
    }
    return std::make_pair(numbered->first, imperfection);
}

} // namespace boxsim
