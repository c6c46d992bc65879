#include "boxsim/SignalSource.h"

#include "boxsim/TextFields.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace boxsim {

namespace {

constexpr double kTwoPi = 6.283185307179586;
constexpr double kRadian = kTwoPi / 360.0; // rad per degree

double fraction(double x) {
    return x - std::floor(x);
}

} // namespace

std::optional<AnalogWave> parseAnalogWave(std::string_view text) {
    const std::vector<std::string_view> parts = splitText(text, ':');
    if (parts.size() != 3) {
        return std::nullopt;
    }
    AnalogWave wave;
    if (parts[0] == "sine") {
        wave.shape = AnalogWave::Shape::Sine;
    } else if (parts[0] == "square") {
        wave.shape = AnalogWave::Shape::Square;
    } else if (parts[0] == "triangle") {
        wave.shape = AnalogWave::Shape::Triangle;
    } else {
        return std::nullopt;
    }
    const std::optional<double> amplitude = parseReal(parts[1]);
    const std::optional<double> frequency = parseReal(parts[2]);
    if (!amplitude || !frequency || *amplitude < 0.0 || *frequency < 0.0) {
        return std::nullopt;
    }
    wave.amplitudeVolts = *amplitude;
    wave.frequencyHz = *frequency;
    return wave;
}

namespace signals {

int64_t sinCosPositionCounts(double turns, double periods) {
    return static_cast<int64_t>(std::floor(turns * periods * kCountsPerPeriod));
}

int64_t htlPositionCounts(double turns, double periods) {
    return static_cast<int64_t>(std::floor(turns * periods * 4.0)) * (kCountsPerPeriod / 4);
}

double velocityUnit(double periods, int systemFrequencyHz) {
    int k = 0; // floor(log2(F div 488)), exactly, from the highest set bit
    for (int q = systemFrequencyHz / 488; q > 1; q >>= 1) {
        ++k;
    }
    return 4.0 * (systemFrequencyHz / std::ldexp(1.0, k - 1)) / (periods * 1048576.0);
}

int32_t velocityCounts(double turnsPerSecond, double unit) {
    const double counts = std::round(turnsPerSecond / unit);
    return static_cast<int32_t>(std::clamp(counts, -2147483648.0, 2147483647.0));
}

int16_t voltsToCounts(double volts) {
    const double counts = std::round(volts / kVoltsPerCount);
    return static_cast<int16_t>(std::clamp(counts, -32768.0, 32767.0));
}

SinCosTracks::SinCosTracks(const SinCosImperfection& imperfection)
    : peakA(imperfection.peakA), peakB(imperfection.peakB), offsetA(imperfection.offsetA),
      offsetB(imperfection.offsetB), cosPhase(std::cos(imperfection.phaseErrorDegrees * kRadian)),
      sinPhase(std::sin(imperfection.phaseErrorDegrees * kRadian)),
      noiseRms(imperfection.noiseRms) {}

AnalogPair analogAB(double turns, double periods, const SinCosTracks& tracks,
                    const NoisePair& noise) {
    // Sine and cosine of one angle: the compiler computes both in one call. cos(angle + phase)
    // is expanded so that it needs no further call, and without imperfections every term added
    // or multiplied is an exact 0 or 1: the ideal values come out to the last bit.
    const double angle = kTwoPi * fraction(turns * periods);
    const double sine = std::sin(angle);
    const double cosine = std::cos(angle);
    const double shiftedCosine = cosine * tracks.cosPhase - sine * tracks.sinPhase;
    return {voltsToCounts(tracks.offsetA + tracks.peakA * sine + tracks.noiseRms * noise.first),
            voltsToCounts(tracks.offsetB + tracks.peakB * shiftedCosine +
                          tracks.noiseRms * noise.second)};
}

bool referencePulse(double turns, double previousTurns, double periods) {
    const bool passedMark = std::floor(turns) != std::floor(previousTurns);
    return passedMark || fraction(turns) * periods < 1.0;
}

HtlTracks::HtlTracks(const HtlImperfection& imperfection)
    : highA(imperfection.dutyA / 100.0), highB(imperfection.dutyB / 100.0),
      riseB(0.25 + imperfection.phaseErrorDegrees / 360.0) {}

uint8_t htlLevels(double turns, double previousTurns, double periods, const HtlTracks& tracks) {
    const double phase = fraction(turns * periods); // within one signal period
    uint8_t levels = 0;
    if (phase < tracks.highA) {
        levels |= kBitA;
    }
    if (fraction(phase - tracks.riseB) < tracks.highB) {
        levels |= kBitB;
    }
    if (referencePulse(turns, previousTurns, periods)) {
        levels |= kBitR;
    }
    return levels;
}

int16_t analogInput(const AnalogWave& wave, double seconds) {
    const double phase = fraction(wave.frequencyHz * seconds);
    double shape = 0.0; // -1 ... 1
    switch (wave.shape) {
    case AnalogWave::Shape::Sine:
        shape = std::sin(kTwoPi * phase);
        break;
    case AnalogWave::Shape::Square:
        shape = phase < 0.5 ? 1.0 : -1.0;
        break;
    case AnalogWave::Shape::Triangle:
        shape = phase < 0.5 ? 4.0 * phase - 1.0 : 3.0 - 4.0 * phase;
        break;
    }
    return voltsToCounts(wave.amplitudeVolts * shape);
}

} // namespace signals

} // namespace boxsim
