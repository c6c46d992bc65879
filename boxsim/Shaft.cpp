#include "boxsim/Shaft.h"

#include "boxsim/TextFields.h"

#include <cmath>

namespace boxsim {

namespace {

constexpr double kTwoPi = 6.283185307179586;

} // namespace

std::optional<SpeedProfile> parseSpeedProfile(std::string_view text) {
    const std::vector<std::string_view> parts = splitText(text, ':');
    std::vector<double> numbers;
    for (size_t i = 1; i < parts.size(); ++i) {
        const std::optional<double> number = parseReal(parts[i]);
        if (!number) {
            return std::nullopt;
        }
        numbers.push_back(*number);
    }
    SpeedProfile profile;
    if (parts[0] == "constant" && numbers.size() == 1) {
        profile.shape = SpeedProfile::Shape::Constant;
        profile.a = numbers[0];
        profile.b = 0.0;
        return profile;
    }
    if (parts[0] == "ramp" && numbers.size() == 3 && numbers[2] > 0.0) {
        profile.shape = SpeedProfile::Shape::Ramp;
    } else if (parts[0] == "sine" && numbers.size() == 3 && numbers[2] > 0.0) {
        profile.shape = SpeedProfile::Shape::Sine;
    } else {
        return std::nullopt;
    }
    profile.a = numbers[0];
    profile.b = numbers[1];
    profile.seconds = numbers[2];
    return profile;
}

ShaftState Shaft::at(double t) const {
    const SpeedProfile& p = profile_;
    switch (p.shape) {
    case SpeedProfile::Shape::Constant:
        return {p.a * t, p.a};
    case SpeedProfile::Shape::Ramp: {
        if (t <= 0.0) {
            return {p.a * t, p.a};
        }
        const double slope = (p.b - p.a) / p.seconds; // turns/s^2
        if (t < p.seconds) {
            return {p.a * t + 0.5 * slope * t * t, p.a + slope * t};
        }
        const double atEnd = 0.5 * (p.a + p.b) * p.seconds;
        return {atEnd + p.b * (t - p.seconds), p.b};
    }
    case SpeedProfile::Shape::Sine: {
        const double w = kTwoPi / p.seconds; // rad/s
        return {p.a * t + p.b / w * (1.0 - std::cos(w * t)), p.a + p.b * std::sin(w * t)};
    }
    }
    return {};
}

} // namespace boxsim
