#include "diagview/QualityRows.h"

#include <cmath>
#include <cstdio>

namespace {

// The degree sign in the program's 8-bit texts.
const std::string degrees = "\xB0";

QualityRow row(const std::string& label, double value, int decimals, const std::string& unit,
               const std::string& field) {
    return QualityRow{label, figureText(value, decimals, unit), field, value};
}

// A figure with the resolution one sample gives it: "49.98 % (± 0.25 %)".
QualityRow resolvedRow(const std::string& label, double value, double resolution, int decimals,
                       const std::string& unit, const std::string& field) {
    QualityRow line = row(label, value, decimals, unit, field);
    if (!std::isnan(value))
        line.text += " (\xB1 " + figureText(resolution, decimals, unit) + ")";
    return line;
}

} // namespace

std::string figureText(double value, int decimals, const std::string& unit) {
    if (std::isnan(value))
        return "-";
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return unit.empty() ? text : std::string(text) + " " + unit;
}

std::vector<QualityRow> sinCosRows(const SinCosQuality& quality) {
    const bool fitted = quality.fit.succeeded();
    const HeydemannParameters& p = quality.fit.parameters;
    const auto figure = [fitted](double value) { return fitted ? value : NAN; };
    std::vector<QualityRow> rows;
    if (!fitted)
        rows.push_back({"Not fitted: " + ellipseFitRefusalText(quality.fit.refusal), "", "", NAN});
    rows.push_back(row("Amplitude A", figure(p.peakToPeakA()), 3, "Vpp", "amplitudeA_Vpp"));
    rows.push_back(row("Amplitude B", figure(p.peakToPeakB()), 3, "Vpp", "amplitudeB_Vpp"));
    rows.push_back(row("Ratio B/A", figure(p.amplitudeRatio()), 4, "", "amplitudeRatio"));
    rows.push_back(row("Offset A", figure(p.offsetA * 1000.0), 1, "mV", "offsetA_mV"));
    rows.push_back(row("Offset B", figure(p.offsetB * 1000.0), 1, "mV", "offsetB_mV"));
    rows.push_back(row("Phase error", figure(p.phaseErrorDegrees()), 2, degrees, "phaseError_deg"));
    rows.push_back(row("Periods fitted", figure(quality.fit.periods), 1, "", "periods"));
    rows.push_back(row("Interpolation error", figure(quality.error.peakToPeakPeriods), 4, "periods",
                       "interpolationError_periods"));
    rows.push_back(
        row("", figure(quality.error.peakToPeakArcSeconds), 1, "\"", "interpolationError_arcsec"));
    return rows;
}

std::vector<QualityRow> pulseRows(const PulseTiming& timing) {
    const bool measured = timing.succeeded();
    const auto figure = [measured](double value) { return measured ? value : NAN; };
    std::vector<QualityRow> rows;
    if (!measured)
        rows.push_back({"Not measured: " + pulseTimingRefusalText(timing.refusal), "", "", NAN});
    rows.push_back(resolvedRow("Duty cycle A", figure(timing.dutyA), timing.dutyResolution, 2, "%",
                               "dutyA_pct"));
    rows.push_back(resolvedRow("Duty cycle B", figure(timing.dutyB), timing.dutyResolution, 2, "%",
                               "dutyB_pct"));
    rows.push_back(resolvedRow("Phase A to B", figure(timing.phase), timing.phaseResolution, 2,
                               degrees, "phase_deg"));
    rows.push_back(resolvedRow("Smallest edge gap", figure(timing.smallestEdgeSeparation * 1e6),
                               timing.separationResolution * 1e6, 1, "\xB5s",
                               "smallestEdgeGap_us"));
    return rows;
}

std::vector<QualityRow> driftRows(const PositionDrift& drift, const std::string& unit,
                                  const std::string& fieldPrefix) {
    const bool any = drift.samples > 0;
    const auto figure = [any](double value) { return any ? value : NAN; };
    return {row("Minimum", figure(drift.minimum), 6, unit, fieldPrefix + "min"),
            row("Maximum", figure(drift.maximum), 6, unit, fieldPrefix + "max"),
            row("Last", figure(drift.last), 6, unit, fieldPrefix + "last")};
}
