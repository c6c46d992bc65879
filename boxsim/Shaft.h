#pragma once

#include <optional>
#include <string_view>

namespace boxsim {

// How fast the simulated shaft turns over time, in turns per second.
struct SpeedProfile {
    enum class Shape {
        Constant, // speed `a`
        Ramp,     // from `a` to `b` over `seconds`, then `b` for ever
        Sine,     // `a` + `b` * sin(2 pi t / `seconds`)
    };
    Shape shape = Shape::Sine;
    double a = 5.0;
    double b = 2.0;
    double seconds = 4.0;
};

// Reads "constant:V", "ramp:FROM:TO:SECONDS" or "sine:MEAN:AMPLITUDE:PERIOD" (turns/s and s).
std::optional<SpeedProfile> parseSpeedProfile(std::string_view text);

// Where the shaft is at one moment.
struct ShaftState {
    double turns = 0.0;          // angle since the box was switched on, in turns
    double turnsPerSecond = 0.0; // speed
};

// The shaft all encoders of the box are mounted on. It starts at angle 0 when the box is
// switched on (time 0) and follows its speed profile; the angle is the exact integral of the
// speed, so positions and velocities always agree.
class Shaft {
public:
    explicit Shaft(const SpeedProfile& profile = SpeedProfile()) : profile_(profile) {}

    // The state at `seconds` of box time (earlier than 0 extends the profile backwards).
    ShaftState at(double seconds) const;

    const SpeedProfile& profile() const { return profile_; }

private:
    SpeedProfile profile_;
};

} // namespace boxsim
