#include "signal/Catalogue.h"

#include "signal/ClockExponent.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

namespace {

// Scales are computed in double and stored as float. A result that a float cannot hold (zero
// periods, an absurd SSI scale factor from a file) is stored as 0 so that the curve stays flat
// instead of filling the graph with infinities or NaN.
float storedScale(double scale) {
    if (!std::isfinite(scale) || std::fabs(scale) > FLT_MAX)
        return 0.0f;
    return static_cast<float>(scale);
}

void appendSinCos(Catalogue& catalogue, int systemFrequency, double periods) {
    const int s = catalogue.slotCount;
    catalogue.inputs.push_back(
        {{s, positionScale(periods), 4, SignalEntry::Int32},
         {s + 1, velocityScale(systemFrequency, periods), 4, SignalEntry::Int32},
         {s + 2, voltageScale(), 2, SignalEntry::Int16},
         {s + 3, voltageScale(), 2, SignalEntry::Int16},
         {s + 4, 1.0f, 1, SignalEntry::BitR}});
    catalogue.slotCount += 5;
}

// The three digital levels A, B and R share one byte.
void appendHtlTtl(Catalogue& catalogue, int systemFrequency, double periods) {
    const int s = catalogue.slotCount;
    catalogue.inputs.push_back(
        {{s, positionScale(periods), 4, SignalEntry::Int32},
         {s + 1, velocityScale(systemFrequency, periods), 4, SignalEntry::Int32},
         {s + 2, 1.0f, 1, SignalEntry::BitA},
         {s + 2, 1.0f, 1, SignalEntry::BitB},
         {s + 2, 1.0f, 1, SignalEntry::BitR}});
    catalogue.slotCount += 3;
}

} // namespace

// The position counter advances 1048576 / 256 = 4096 counts per signal period.
float positionScale(double periods) {
    return storedScale(256.0 / (periods * 1048576.0));
}

float velocityScale(int systemFrequency, double periods) {
    // A clock of 0 Hz or less (only possible from a damaged file) measures no velocity.
    if (systemFrequency <= 0)
        return 0.0f;
    const int k = velocityExponent(systemFrequency);
    const double rate = systemFrequency / std::ldexp(1.0, k - 1); // Hz
    return storedScale(4.0 * rate / (periods * 1048576.0));
}

float ssiWordScale(const SSIInputWordDetails& word) {
    switch (word.type) {
    case SSIInputWordDetails::Position:
        return storedScale(word.scaleFactor / std::exp2(double(word.numBitsSingleTurn)));
    case SSIInputWordDetails::Velocity: {
        // A signed word spends one bit on the sign.
        const double bits = double(word.numBits) - (word.sign ? 1.0 : 0.0);
        return storedScale(word.scaleFactor / std::exp2(bits));
    }
    default:
        // Raw words, and words of a type this program does not know, are the plain number
        // times the scale factor.
        return storedScale(word.scaleFactor);
    }
}

float voltageScale() {
    return storedScale(0.625 / 32768.0);
}

Catalogue buildCatalogue(const InputSettings& inputs) {
    Catalogue catalogue;
    for (const SineInput& input : inputs.sineInputs)
        appendSinCos(catalogue, inputs.systemFrequency, input.periods);
    for (const SquareInput& input : inputs.squareInputs)
        appendHtlTtl(catalogue, inputs.systemFrequency, input.periods);
    for (const SSIInput& input : inputs.ssiInputs) {
        // All eight words keep their slots whatever the number of words in use.
        std::vector<SignalEntry> words;
        for (int w = 0; w < SSIInput::wordCount; ++w)
            words.push_back(
                {catalogue.slotCount + w, ssiWordScale(input.words[w]), 4, SignalEntry::Int32});
        catalogue.inputs.push_back(std::move(words));
        catalogue.slotCount += SSIInput::wordCount;
    }
    for (size_t i = 0; i < inputs.analogInputs.size(); ++i) {
        catalogue.inputs.push_back({{catalogue.slotCount, voltageScale(), 2, SignalEntry::Int16}});
        catalogue.slotCount += 1;
    }
    return catalogue;
}

const SignalEntry* nearestSignal(const Catalogue& catalogue, int input, int signal) {
    if (catalogue.inputs.empty())
        return nullptr;
    const int lastInput = static_cast<int>(catalogue.inputs.size()) - 1;
    const auto& signals = catalogue.inputs[static_cast<size_t>(std::clamp(input, 0, lastInput))];
    const int lastSignal = static_cast<int>(signals.size()) - 1;
    return &signals[static_cast<size_t>(std::clamp(signal, 0, lastSignal))];
}
