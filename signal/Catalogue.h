#pragma once

#include "config/Config.h"

#include <vector>

// One signal of the channel catalogue: where the box puts it in the sample frame and how its
// raw number becomes a value in the signal's base unit (turns, turns per second, volts or a
// plain number).
struct SignalEntry {
    // How the bytes of the slot are read.
    enum Kind { BitA = 1, BitB = 2, BitR = 3, Int16 = 4, Int32 = 5 };

    int slot = 0;       // slot number in the frame, counted over the whole box
    float scale = 0.0f; // base units per raw count
    int size = 0;       // bytes of the slot: 4, 2 or 1
    int kind = 0;       // a Kind
};

struct Catalogue {
    std::vector<std::vector<SignalEntry>> inputs; // the signals of each input, in input order
    int slotCount = 0;                            // slots used, i.e. the next free slot number
};

Catalogue buildCatalogue(const InputSettings& inputs);

// The entry of (input, signal) after moving both to the nearest existing input and signal;
// nullptr only when the box has no inputs.
const SignalEntry* nearestSignal(const Catalogue& catalogue, int input, int signal);

// Turns per count of an encoder position counter with `periods` signal periods per turn.
float positionScale(double periods);

// Turns per second per count of an encoder velocity counter; systemFrequency in Hz.
float velocityScale(int systemFrequency, double periods);

// Base units per count of an SSI word, by the word's type.
float ssiWordScale(const SSIInputWordDetails& word);

// Volts per count of an analog input (±0.625 V over the signed 16-bit range).
float voltageScale();
