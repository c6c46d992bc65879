#pragma once

#include <cstddef>
#include <string>

// Why the levels of A and B gave no timing.
enum class PulseTimingRefusal {
    None,
    TooFewPeriods, // A or B completes fewer than two full periods between missing values
};

// The text shown for a refusal; "" for None.
std::string pulseTimingRefusalText(PulseTimingRefusal refusal);

// The timing of the square tracks A and B of an HTL/TTL input. Edges are known to one sample,
// so every figure comes with the resolution one sample gives it at the mean period.
struct PulseTiming {
    PulseTimingRefusal refusal = PulseTimingRefusal::TooFewPeriods;
    int periods = 0;     // full periods of A measured, rising edge to rising edge
    double period = 0.0; // s, mean period of A
    double dutyA = 0.0;  // %, high share of A's full periods
    double dutyB = 0.0;  // %, high share of B's full periods
    // Degrees of a period by which B's rising edge follows A's, as the circular mean over A's
    // full periods, in -180 ... 180: about 90 while A leads, about -90 while B leads (the shaft
    // turning the other way). NaN when no rising edge of B fell into a full period of A.
    double phase = 0.0;
    // s, the shortest time between an edge of A and an edge of B, rising or falling, measured
    // between the two nearest edges on either side; 0 when both change in the same sample, NaN
    // when no stretch holds edges of both.
    double smallestEdgeSeparation = 0.0;
    double dutyResolution = 0.0;       // %, one sample of the mean period
    double phaseResolution = 0.0;      // degrees, 360 * (1 / rate) / period
    double separationResolution = 0.0; // s, 1 / rate

    bool succeeded() const { return refusal == PulseTimingRefusal::None; }
};

// The timing of count samples of A and B taken at rate samples per second. A level is high when
// above threshold: 0.5 for the 0/1 levels of the box's "A" and "B" signals, half the supply for
// levels in volts (for example 12 for HTL at 24 V). A sample with a NaN in either track has no
// value: it ends the stretch measured so far, and periods and edge separations are taken only
// within stretches without such a sample.
PulseTiming measurePulseTiming(const double* a, const double* b, std::size_t count, double rate,
                               double threshold = 0.5);
