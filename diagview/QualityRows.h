#pragma once

#include "diagnostics/PositionDrift.h"
#include "diagnostics/PulseTiming.h"
#include "diagview/SinCosQuality.h"

#include <string>
#include <vector>

// One line of a figures table: what it is, its value as shown, and the same figure as a data
// file field.
struct QualityRow {
    std::string label;  // "Amplitude A"
    std::string text;   // "1.012 Vpp"; "-" without a value
    std::string field;  // the field name in a data file; "" for a line without a figure
    double value = 0.0; // in the unit the field name ends with; NaN without a value
};

// The fit's figures: peak-to-peak amplitudes, their ratio, offsets, phase error, periods,
// interpolation error. Without a fit the first line says why and every figure is NaN.
std::vector<QualityRow> sinCosRows(const SinCosQuality& quality);

// Duty cycles, phase and smallest edge separation of A and B, each with the resolution one
// sample gives it.
std::vector<QualityRow> pulseRows(const PulseTiming& timing);

// Minimum, maximum and last difference of two position channels; unit is the channels' unit
// name, fieldPrefix starts the field names.
std::vector<QualityRow> driftRows(const PositionDrift& drift, const std::string& unit,
                                  const std::string& fieldPrefix);

// "%.*f" of the value with the unit after a space, or "-" for NaN.
std::string figureText(double value, int decimals, const std::string& unit);
