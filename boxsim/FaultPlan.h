#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace boxsim {

// Faults the simulated box can show, to test how the program copes with them. Times are
// seconds of streaming, counted over all runs while "TRIGGER:RUN 1" is in force.
struct FaultPlan {
    enum class StallEnd {
        DropMissed,  // the frames of the stall are lost; the counter jumps
        DeliverLate, // the frames of the stall arrive in one burst when it ends
    };

    int dropEvery = 0;                       // every N-th frame is lost (0: none)
    double burstEverySeconds = 0.0;          // every so many seconds ...
    int burstFrames = 0;                     // ... that many consecutive frames are lost
    std::optional<double> stallAfterSeconds; // once, after so many seconds ...
    double stallMilliseconds = 0.0;          // ... nothing is sent for this long
    StallEnd stallEnd = StallEnd::DropMissed;
    std::optional<double> vanishAfterSeconds;  // the box is unplugged after so many seconds
    std::optional<std::string> identification; // replaces the whole "*IDN?" reply
    bool emptyCapabilities = false;            // "KELLMAR:CAP?" answers an empty line
    bool mute = false; // takes every command but answers no query, like a hung box
};

// Reads "SECONDS:FRAMES".
bool parseBurst(std::string_view text, FaultPlan& plan);
// Reads "SECONDS:MILLISECONDS[:drop|late]".
bool parseStall(std::string_view text, FaultPlan& plan);

// Applies a plan frame by frame; keeps the state a burst needs.
class FaultInjector {
public:
    FaultPlan plan;

    // Whether frame number `frameIndex` (counted from 0 over the box's life, lost frames
    // included), sampled at `streamSeconds`, is lost on the way to the host.
    bool loses(uint64_t frameIndex, double streamSeconds);

    // While a stall that delivers late holds the output back at `streamSeconds`: the moment
    // up to which frames may still be produced (the stall's start). Otherwise nothing.
    std::optional<double> holdBack(double streamSeconds) const;

    bool vanishes(double streamSeconds) const {
        return plan.vanishAfterSeconds && streamSeconds >= *plan.vanishAfterSeconds;
    }

private:
    bool inStall(double streamSeconds) const;

    int64_t lastBurstPeriod_ = 0;
    int burstLeft_ = 0;
};

} // namespace boxsim
