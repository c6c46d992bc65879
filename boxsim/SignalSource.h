#pragma once

#include "boxsim/Shaft.h"
#include "boxsim/SsiEncoder.h"
#include "boxsim/TrackImperfections.h"
#include "boxsim/TrackNoise.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace boxsim {

// The signal on the box's analog input.
struct AnalogWave {
    enum class Shape { Sine, Square, Triangle };
    Shape shape = Shape::Sine;
    double amplitudeVolts = 0.5; // the input saturates at +-0.625 V
    double frequencyHz = 50.0;
};

// Reads "sine|square|triangle:AMPLITUDE_V:FREQUENCY_HZ".
std::optional<AnalogWave> parseAnalogWave(std::string_view text);

// Raw slot values of the encoder inputs, computed from the shaft like the box's counters and
// converters would see it. Pure functions of the shaft state; zero offsets are the caller's.
namespace signals {

constexpr double kVoltsPerCount = 0.625 / 32768.0; // 16-bit converters, +-0.625 V
constexpr int kCountsPerPeriod = 4096;             // interpolation of one signal period
constexpr uint8_t kBitA = 0x01;
constexpr uint8_t kBitB = 0x02;
constexpr uint8_t kBitR = 0x04;

// Position counter of an interpolating SinCos input, not wrapped: periods * 4096 per turn.
int64_t sinCosPositionCounts(double turns, double periods);

// Position counter of an HTL/TTL input. The counter has the same unit as the SinCos one, but
// a square-wave encoder only has four edges per period, so it moves in steps of 1024 counts.
int64_t htlPositionCounts(double turns, double periods);

// Velocity counter: turns/s divided by the velocity unit of the box's measuring clock,
// 4 * (F / 2^(k-1)) / (periods * 2^20) turns/s per count with k = floor(log2(F div 488)).
// The unit is worked out once per input; the counter is needed for every frame.
double velocityUnit(double periods, int systemFrequencyHz);
int32_t velocityCounts(double turnsPerSecond, double unit);

// The analog tracks of one SinCos input, worked out once from its imperfection.
struct SinCosTracks {
    explicit SinCosTracks(const SinCosImperfection& imperfection);

    double peakA;    // V
    double peakB;    // V
    double offsetA;  // V
    double offsetB;  // V
    double cosPhase; // of the phase error
    double sinPhase;
    double noiseRms; // V
};

// Analog A and B in converter counts, clipped: sine and cosine of the electrical angle as
// SinCosImperfection describes them, with `noise` in units of the tracks' RMS noise. Ideal
// tracks have 0.5 V amplitude. The position counter does not see these tracks: it follows the
// shaft, like the interpolating counter of a box whose own comparators are ideal.
struct AnalogPair {
    int16_t a = 0;
    int16_t b = 0;
};
AnalogPair analogAB(double turns, double periods, const SinCosTracks& tracks,
                    const NoisePair& noise);

// The zero pulse: high during the first signal period of every turn, and also when the shaft
// passed a whole turn since the previous frame (`previousTurns`), because the box latches the
// pulse until the next frame so that a slow frame rate does not miss it.
bool referencePulse(double turns, double previousTurns, double periods);

// The square tracks of one HTL/TTL input, worked out once from its imperfection; in shares of
// a signal period.
struct HtlTracks {
    explicit HtlTracks(const HtlImperfection& imperfection);

    double highA; // A is high from its rising edge for this share
    double highB;
    double riseB; // from A's rising edge to B's, turning forwards
};

// A, B quadrature square waves of an HTL/TTL encoder (A leads B when turning forwards) and R,
// as the bits of the level byte. Like the counter, they follow the shaft.
uint8_t htlLevels(double turns, double previousTurns, double periods, const HtlTracks& tracks);

// The analog input's converter counts at `seconds` of box time, clipped to the 16-bit range.
int16_t analogInput(const AnalogWave& wave, double seconds);

// Volts as converter counts, clipped.
int16_t voltsToCounts(double volts);

} // namespace signals

} // namespace boxsim
