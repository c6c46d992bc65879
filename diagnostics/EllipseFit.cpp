#include "diagnostics/EllipseFit.h"

#include "diagnostics/AngleDifference.h"
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

Normalisation normalisation(const double* a, const double* b, std::size_t count) {
    Normalisation n;
    for (std::size_t i = 0; i < count; ++i)
        if (hasValue(a[i], b[i])) {
            n.meanA += a[i];
            n.meanB += b[i];
            ++n.samples;
        }
    if (n.samples == 0)
        return n;
    n.meanA /= static_cast<double>(n.samples);
    n.meanB /= static_cast<double>(n.samples);
    for (std::size_t i = 0; i < count; ++i)
        if (hasValue(a[i], b[i])) {
            n.scaleA += (a[i] - n.meanA) * (a[i] - n.meanA);
            n.scaleB += (b[i] - n.meanB) * (b[i] - n.meanB);
        }
    n.scaleA = std::sqrt(n.scaleA / static_cast<double>(n.samples));
    n.scaleB = std::sqrt(n.scaleB / static_cast<double>(n.samples));
    return n;
}

// The least-squares conic coefficients of the normalised samples: the normal equations of
// sum (terms . c - 1)^2 with the terms x^2, x y, y^2, x, y. The centred samples surround the
// origin, so the conic does not pass through it and the right-hand side 1 is a valid scale.
bool fitConic(const double* a, const double* b, std::size_t count, const Normalisation& n,
              SolveVector& conic) {
    SymmetricMatrix normal{};
    SolveVector rhs{};
    for (std::size_t i = 0; i < count; ++i) {
        if (!hasValue(a[i], b[i]))
            continue;
        const double x = (a[i] - n.meanA) / n.scaleA;
        const double y = (b[i] - n.meanB) / n.scaleB;
        const SolveVector terms{x * x, x * y, y * y, x, y};
        for (int r = 0; r < choleskySize; ++r) {
            for (int c = 0; c <= r; ++c)
                normal[r][c] += terms[r] * terms[c];
            rhs[r] += terms[r];
        }
    }
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

// Periods spanned by the unwrapped corrected angle and the RMS deviation of the corrected
// radius from 1.
void measureCoverage(const double* a, const double* b, std::size_t count, EllipseFit& fit) {
    const HeydemannCorrection correction(fit.parameters);
    double unwrapped = 0.0;
    double lowest = 0.0;
    double highest = 0.0;
    double previous = NAN;
    double squaredDeviation = 0.0;
    for (std::size_t i = 0; i < count; ++i) {
        if (!hasValue(a[i], b[i]))
            continue;
        const double angle = correction.angle(a[i], b[i]);
        if (!std::isnan(previous)) {
            unwrapped += angleDifference(angle, previous);
            lowest = std::min(lowest, unwrapped);
            highest = std::max(highest, unwrapped);
        }
        previous = angle;
        const double deviation = correction.radius(a[i], b[i]) - 1.0;
        squaredDeviation += deviation * deviation;
    }
    fit.periods = (highest - lowest) / (2.0 * M_PI);
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
    const Normalisation n = normalisation(a, b, count);
    fit.samples = n.samples;
    if (n.samples < ellipseFitMinimumSamples)
        return fit;
    SolveVector conic{};
    HeydemannParameters normalised;
    if (!(n.scaleA > 0.0 && n.scaleB > 0.0) || !fitConic(a, b, count, n, conic) ||
        !heydemannOfConic(conic, normalised)) {
        fit.refusal = EllipseFitRefusal::NotAnEllipse;
        return fit;
    }
    fit.parameters = inVolts(normalised, n);
    measureCoverage(a, b, count, fit);
    if (fit.scatter > ellipseFitMaximumScatter)
        fit.refusal = EllipseFitRefusal::TooScattered;
    else if (fit.periods < ellipseFitMinimumPeriods)
        fit.refusal = EllipseFitRefusal::TooLittleOfAPeriod;
    else
        fit.refusal = EllipseFitRefusal::None;
    return fit;
}
