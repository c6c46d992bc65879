#include "diagnostics/EllipseFit.h"

#include "diagnostics/CholeskySolve.h"

#include <algorithm>
#include <cmath>

namespace {

bool hasValue(double a, double b) {
    return !std::isnan(a) && !std::isnan(b);
}

// Centre and scale of the samples: the conic is fitted to (a - meanA) / scaleA and
// (b - meanB) / scaleB. Offsets much larger than the amplitude would otherwise put the
// constant term and the quadratic terms of the normal equations orders of magnitude apart.
struct Normalisation {
    double meanA = 0.0;
    double meanB = 0.0;
    double scaleA = 0.0; // V, RMS deviation of A
    double scaleB = 0.0; // V
    std::size_t samples = 0;
};

// The sums are kept in locals rather than in the result: accumulating through memory made these
// loops wait on a store for every sample.
Normalisation normalisation(const double* a, const double* b, std::size_t count,
                            std::size_t stride) {
    Normalisation n;
    double sumA = 0.0;
    double sumB = 0.0;
    std::size_t samples = 0;
    for (std::size_t i = 0; i < count; i += stride)
        if (hasValue(a[i], b[i])) {
            sumA += a[i];
            sumB += b[i];
            ++samples;
        }
    n.samples = samples;
    if (samples == 0)
        return n;
    const double meanA = sumA / static_cast<double>(samples);
    const double meanB = sumB / static_cast<double>(samples);
    double squaresA = 0.0;
    double squaresB = 0.0;
    for (std::size_t i = 0; i < count; i += stride)
        if (hasValue(a[i], b[i])) {
            squaresA += (a[i] - meanA) * (a[i] - meanA);
            squaresB += (b[i] - meanB) * (b[i] - meanB);
        }
    n.meanA = meanA;
    n.meanB = meanB;
    n.scaleA = std::sqrt(squaresA / static_cast<double>(samples));
    n.scaleB = std::sqrt(squaresB / static_cast<double>(samples));
    return n;
}

// The least-squares conic coefficients of the normalised samples: the normal equations of
// sum (terms . c - 1)^2 with the terms x^2, x y, y^2, x, y. The centred samples surround the
// origin, so the conic does not pass through it and the right-hand side 1 is a valid scale.
bool fitConic(const double* a, const double* b, std::size_t count, std::size_t stride,
              const Normalisation& n, SolveVector& conic) {
    // The products of the terms are sums of the monomials x^i y^j, i + j <= 4: fourteen sums
    // held in registers instead of the fifteen matrix cells and five right-hand sides in memory.
    double x4 = 0, x3y = 0, x2y2 = 0, xy3 = 0, y4 = 0, x3 = 0, x2y = 0, xy2 = 0, y3 = 0;
    double x2 = 0, xy = 0, y2 = 0, x1 = 0, y1 = 0;
    const double inverseScaleA = 1.0 / n.scaleA;
    const double inverseScaleB = 1.0 / n.scaleB;
    for (std::size_t i = 0; i < count; i += stride) {
        if (!hasValue(a[i], b[i]))
            continue;
        const double x = (a[i] - n.meanA) * inverseScaleA;
        const double y = (b[i] - n.meanB) * inverseScaleB;
        const double xx = x * x;
        const double yy = y * y;
        const double cross = x * y;
        x4 += xx * xx;
        x3y += xx * cross;
        x2y2 += xx * yy;
        xy3 += cross * yy;
        y4 += yy * yy;
        x3 += xx * x;
        x2y += xx * y;
        xy2 += x * yy;
        y3 += yy * y;
        x2 += xx;
        xy += cross;
        y2 += yy;
        x1 += x;
        y1 += y;
    }
    // Terms in the order x^2, x y, y^2, x, y; the lower triangle of their products.
    const SymmetricMatrix normal{{{x4, 0, 0, 0, 0},
                                  {x3y, x2y2, 0, 0, 0},
                                  {x2y2, xy3, y4, 0, 0},
                                  {x3, x2y, xy2, x2, 0},
                                  {x2y, xy2, y3, xy, y2}}};
    SolveVector rhs{x2, xy, y2, x1, y1};
    return choleskySolve(normal, rhs, conic);
}

// Heydemann's parameters of the conic in normalised coordinates. The centre (p, q) is where
// the conic's gradient vanishes; around it the conic reads
//   c0 u^2 + c1 u v + c2 v^2 = k,  k = 1 - (c3 p + c4 q) / 2,
// which the model turns into
//   u^2 / a^2 + 2 sin(e) u v / (a b) + v^2 / b^2 = cos^2(e)
// with a, b the amplitudes and e the phase error.
bool heydemannOfConic(const SolveVector& c, HeydemannParameters& h) {
    const double determinant = 4.0 * c[0] * c[2] - c[1] * c[1];
    if (!(determinant > 0.0))
        return false;
    const double p = (c[1] * c[4] - 2.0 * c[2] * c[3]) / determinant;
    const double q = (c[1] * c[3] - 2.0 * c[0] * c[4]) / determinant;
    const double sign = c[0] > 0.0 ? 1.0 : -1.0;
    const double k = sign * (1.0 - (c[3] * p + c[4] * q) / 2.0);
    const double xx = sign * c[0];
    const double yy = sign * c[2];
    if (!(k > 0.0))
        return false;
    h.offsetA = p;
    h.offsetB = q;
    h.phaseError = std::asin(sign * c[1] / (2.0 * std::sqrt(xx * yy)));
    h.amplitudeA = std::sqrt(k / xx) / std::cos(h.phaseError);
    h.amplitudeB = std::sqrt(k / yy) / std::cos(h.phaseError);
    return true;
}

HeydemannParameters inVolts(HeydemannParameters h, const Normalisation& n) {
    h.offsetA = n.meanA + n.scaleA * h.offsetA;
    h.offsetB = n.meanB + n.scaleB * h.offsetB;
    h.amplitudeA *= n.scaleA;
    h.amplitudeB *= n.scaleB;
    return h;
}

// A stand-in for the angle of (x, y) in quarter turns, 0 ... 4: it rises with the angle and
// gains exactly 2 over half a turn, so successive pairs unwrap by it as by the angle, at the
// cost of a division instead of an atan2 (a window of 500,000 pairs took 21 ms with atan2).
double diamondAngle(double x, double y) {
    if (y >= 0.0)
        return x >= 0.0 ? (x + y > 0.0 ? y / (x + y) : 0.0) : 1.0 - x / (y - x);
    return x < 0.0 ? 2.0 - y / (-x - y) : 3.0 + x / (x - y);
}

// The angle of (x, y) in 0 ... 2 pi, matching diamondAngle's turn.
double fullTurnAngle(double x, double y) {
    const double angle = std::atan2(y, x);
    return angle < 0.0 ? angle + 2.0 * M_PI : angle;
}

// One end of the unwrapped path: its pair and the whole turns before it.
struct PathEnd {
    double unwrapped = 0.0; // quarter turns
    std::size_t pair = 0;
    long turns = 0;
};

// Periods spanned by the unwrapped corrected angle and the RMS deviation of the corrected
// radius from 1. The path is unwrapped by the diamond angle; only its two ends take an atan2.
void measureCoverage(const double* a, const double* b, std::size_t count, EllipseFit& fit) {
    const HeydemannCorrection correction(fit.parameters);
    long turns = 0;
    double previous = NAN;
    PathEnd lowest;
    PathEnd highest;
    double squaredDeviation = 0.0;
    const double inverseCosPhase = 1.0 / std::cos(fit.parameters.phaseError);
    for (std::size_t i = 0; i < count; ++i) {
        if (!hasValue(a[i], b[i]))
            continue;
        double x = 0.0;
        double y = 0.0;
        correction.direction(a[i], b[i], x, y);
        const double quarters = diamondAngle(x, y);
        if (std::isnan(previous)) {
            lowest = highest = PathEnd{quarters, i, 0};
        } else if (quarters - previous < -2.0) {
            ++turns;
        } else if (quarters - previous >= 2.0) {
            --turns;
        }
        previous = quarters;
        const double unwrapped = 4.0 * static_cast<double>(turns) + quarters;
        if (unwrapped < lowest.unwrapped)
            lowest = PathEnd{unwrapped, i, turns};
        if (unwrapped > highest.unwrapped)
            highest = PathEnd{unwrapped, i, turns};
        // The direction is the corrected pair scaled by cos(phaseError).
        const double deviation = std::sqrt(x * x + y * y) * inverseCosPhase - 1.0;
        squaredDeviation += deviation * deviation;
        ++fit.samples;
    }
    const auto angleAt = [&](const PathEnd& end) {
        double x = 0.0;
        double y = 0.0;
        correction.direction(a[end.pair], b[end.pair], x, y);
        return 2.0 * M_PI * static_cast<double>(end.turns) + fullTurnAngle(x, y);
    };
    fit.periods = (angleAt(highest) - angleAt(lowest)) / (2.0 * M_PI);
    fit.scatter = std::sqrt(squaredDeviation / static_cast<double>(fit.samples));
}

} // namespace

std::string ellipseFitRefusalText(EllipseFitRefusal refusal) {
    switch (refusal) {
    case EllipseFitRefusal::None:
        return "";
    case EllipseFitRefusal::TooFewSamples:
        return "too few samples";
    case EllipseFitRefusal::NotAnEllipse:
        return "the signals do not form an ellipse";
    case EllipseFitRefusal::TooScattered:
        return "the signals scatter too far from an ellipse";
    case EllipseFitRefusal::TooLittleOfAPeriod:
        return "too little of a period";
    }
    return "";
}

EllipseFit fitEllipse(const double* a, const double* b, std::size_t count) {
    EllipseFit fit;
    const std::size_t stride = (count + ellipseFitPairLimit - 1) / ellipseFitPairLimit;
    const Normalisation n = normalisation(a, b, count, std::max<std::size_t>(stride, 1));
    fit.samples = n.samples;
    if (n.samples < ellipseFitMinimumSamples)
        return fit;
    SolveVector conic{};
    HeydemannParameters normalised;
    if (!(n.scaleA > 0.0 && n.scaleB > 0.0) ||
        !fitConic(a, b, count, std::max<std::size_t>(stride, 1), n, conic) ||
        !heydemannOfConic(conic, normalised)) {
        fit.refusal = EllipseFitRefusal::NotAnEllipse;
        return fit;
    }
    fit.parameters = inVolts(normalised, n);
    fit.samples = 0;
    measureCoverage(a, b, count, fit);
    if (fit.scatter > ellipseFitMaximumScatter)
        fit.refusal = EllipseFitRefusal::TooScattered;
    else if (fit.periods < ellipseFitMinimumPeriods)
        fit.refusal = EllipseFitRefusal::TooLittleOfAPeriod;
    else
        fit.refusal = EllipseFitRefusal::None;
    return fit;
}
