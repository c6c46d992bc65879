#pragma once

#include "diagnostics/HeydemannCorrection.h"

#include <cstddef>
#include <string>

// Why samples of Analog A and B gave no correction.
enum class EllipseFitRefusal {
    None,
    TooFewSamples,      // fewer than ellipseFitMinimumSamples pairs with values
    NotAnEllipse,       // the best conic is a line pair, parabola, hyperbola or nothing real
    TooScattered,       // the pairs lie no closer to the ellipse than a noise cloud does
    TooLittleOfAPeriod, // the corrected angle spans less than ellipseFitMinimumPeriods
};

constexpr std::size_t ellipseFitMinimumSamples = 8;
// Signal periods the samples must span. Below it the five conic coefficients are soon
// ill-determined: with noise of 1 % of the amplitude on 5000 pairs the phase error came out
// within 0.18 degrees over half a period, 0.54 over 0.4, 1.4 over 0.3 and 9 over 0.2 periods
// (amplitude ratio within 0.3 %, 1 %, 3 % and 23 %); over a full period within 0.05 degrees.
constexpr double ellipseFitMinimumPeriods = 0.5;
// The conic is fitted to at most this many pairs, taken evenly spread over a longer window (the
// fit does not depend on their order); the periods and the scatter take every pair. Beyond a few
// ten thousand pairs the coefficients hardly change, while summing them cost 2.5 ms per 500,000.
constexpr std::size_t ellipseFitPairLimit = 65536;
// The largest RMS deviation of the samples' corrected radius from 1 (the fitted ellipse) that is
// taken for a signal: harmonics and noise of real tracks stay well below it, while the noise of
// a standing shaft, which the fit would wrap into a small ellipse, lies around 0.5.
constexpr double ellipseFitMaximumScatter = 0.2;

// The text shown for a refusal; "" for None.
std::string ellipseFitRefusalText(EllipseFitRefusal refusal);

struct EllipseFit {
    EllipseFitRefusal refusal = EllipseFitRefusal::TooFewSamples;
    // The fitted model; meaningful only without a refusal.
    HeydemannParameters parameters;
    // Signal periods the corrected angle of the samples spans, from its lowest to its highest
    // unwrapped value (a shaft that turns back covers the same periods again, not more).
    double periods = 0.0;
    // RMS deviation of the samples' corrected radius from 1: noise and harmonics relative to the
    // amplitude.
    double scatter = 0.0;
    std::size_t samples = 0; // pairs with values that were measured

    bool succeeded() const { return refusal == EllipseFitRefusal::None; }
};

// Heydemann's correction for count pairs of Analog A and B (V): a least-squares fit of the
// conic c0 x^2 + c1 x y + c2 y^2 + c3 x + c4 y = 1 to the pairs, after centring them on their
// mean and scaling each track by its RMS deviation. A pair with a NaN has no value and is left
// out. The pairs must follow the angle closely enough that successive pairs are less than half
// a period apart; the periods spanned are counted by unwrapping the corrected angle.
//
// The general conic is fitted rather than one constrained to be an ellipse (Fitzgibbon): on
// samples that span at least half a period its solution is an ellipse anyway, it is the fit
// Heydemann's correction was defined with, it needs only a 5 x 5 linear solve instead of a
// generalised eigenproblem, and a result that is not an ellipse is a finding worth refusing
// with, where the constrained fit would force an ellipse onto a line or a noise cloud.
EllipseFit fitEllipse(const double* a, const double* b, std::size_t count);
