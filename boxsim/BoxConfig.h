#pragma once

#include "boxsim/FaultPlan.h"
#include "boxsim/Shaft.h"
#include "boxsim/SignalSource.h"
#include "boxsim/SsiEncoder.h"
#include "boxsim/TrackImperfections.h"

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace boxsim {

// How many inputs of each kind the box has. Inputs are numbered from 1 in this order, and
// their frame slots follow each other in the same order.
struct InputCounts {
    static constexpr int kMaxSlots = 40; // a frame has room for slot numbers 0 ... 39

    int sinCos = 2;
    int htl = 1;
    int ssi = 1;
    int analog = 1;

    int total() const { return sinCos + htl + ssi + analog; }
    int slots() const { return 5 * sinCos + 3 * htl + 8 * ssi + analog; }
    bool isSinCos(int number) const { return number >= 1 && number <= sinCos; }
    bool isHtl(int number) const { return number > sinCos && number <= sinCos + htl; }
};

// Reads kind/count pairs such as "sin2sq1ssi1ana1" (sin SinCos, sq HTL/TTL, ssi SSI, ana
// Analog; any order, each kind at most once, missing kinds count 0). The box needs at least
// one input and at most 40 slots.
std::optional<InputCounts> parseInputCounts(std::string_view text);

// The capability reply of a box, e.g. "sin2sq1ssi1ana1sf64" (system clock in MHz).
std::string capabilityText(const InputCounts& inputs, int systemFrequencyHz);

// Box names become file names: letters, digits, '-', '_' and '.', not starting with '.',
// at most 64 characters.
bool validBoxName(std::string_view name);

// Serial numbers appear in the comma-separated identification: printable ASCII without comma,
// at most 64 characters.
bool validSerial(std::string_view serial);

// Everything that makes one simulated box, fixed when it is switched on.
struct BoxConfig {
    std::string name = "sim1";
    InputCounts inputs;
    int systemFrequencyHz = 64000000;
    std::string serial; // empty: "SIM-" and the name
    // Signal periods per turn of the SinCos and HTL/TTL encoders in input order; the last
    // value also serves the inputs that have none of their own.
    std::vector<double> periods{1024.0};
    SpeedProfile speed;
    // Every run plays the same frames: the time of the shaft and of the analog wave, and the
    // frames and seconds that dropped frames and bursts are counted in, start at 0 with each run
    // (the frame counter the host sees goes on counting). Recordings through different
    // transports, started at different moments, can then be compared value for value.
    bool replayEachRun = false;
    SsiLayout ssi;
    AnalogWave analog;
    bool htlReferenceActiveLow = false; // R bit of the HTL/TTL level byte is 0 during the pulse
    // Imperfect tracks by input number (from 1); the inputs not named have ideal tracks.
    std::map<int, SinCosImperfection> sinCosImperfections;
    std::map<int, HtlImperfection> htlImperfections;
    size_t fifoBytes = 1 << 20; // sample memory between the converters and USB
    FaultPlan faults;

    std::string serialNumber() const { return serial.empty() ? "SIM-" + name : serial; }
    // Periods of the `index`-th encoder input (SinCos and HTL/TTL counted together from 0).
    double periodsOf(int index) const;
    // Why the imperfections cannot be applied, e.g. "input 3 is not a SinCos input"; "" when
    // every one names an input of its kind.
    std::string misplacedImperfection() const;
};

} // namespace boxsim
